// dunmeregl: the viewer.
//   dunmeregl [-W<width>] [-H<height>] [ARCHIVE.POD]
#include "app/MainForm.h"
#include "app/ShellText.h"
#include "app/ViewWindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QSurfaceFormat>

#include <clocale>
#include <exception>

int main(int argc, char* argv[]) {
    // The default format has to be in place before the first window exists.
    QSurfaceFormat::setDefaultFormat(ViewSurfaceFormat());
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dunmere GL"));
    // Qt sets the locale from the environment; numbers in files and on screen always use ".".
    setlocale(LC_NUMERIC, "C");

    TStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
    try {
        TFormMain form(arguments);
        form.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Dunmere GL"), ToMessageText(error.what()));
        return 1;
    }
}
