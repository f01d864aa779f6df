// dunmeregl: the viewer.
//   dunmeregl [-W<width>] [-H<height>] [ARCHIVE.POD]
//   dunmeregl --help | -h | --version | -V
#include "core/base/Heap.h"
#include "core/settings/Version.h"
#include "core/vfs/FileTools.h"
#include "core/view/ViewCommands.h"
#include "shell/AppIcon.h"
#include "shell/MainForm.h"
#include "shell/ShellText.h"
#include "shell/TerminateSignal.h"
#include "shell/ViewWindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QSurfaceFormat>

#include <clocale>
#include <exception>
#include <iostream>

int main(int argc, char* argv[]) {
    KeepFreedHeapForReuse();
    // Answered before Qt starts: they need no display and open no window.
    const TCommandLineCheck early =
        CheckCommandLine(TStringList(argv + 1, argv + argc), FileExists);
    if (early.Request == TCommandLineRequest::ShowHelp) {
        std::cout << ViewerUsageText();
        return 0;
    }
    if (early.Request == TCommandLineRequest::ShowVersion) {
        std::cout << ViewerVersionText(TVersion().FormatVersion("%MAJOR.%MINOR.%RELEASE.%BUILD"))
                  << '\n';
        return 0;
    }

    // The default format has to be in place before the first window exists.
    QSurfaceFormat::setDefaultFormat(ViewSurfaceFormat());
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dunmere GL"));
    QApplication::setDesktopFileName(kDesktopFileName);
    QApplication::setWindowIcon(ApplicationIcon());
    // Qt sets the locale from the environment; numbers in files and on screen always use ".".
    setlocale(LC_NUMERIC, "C");

    // Qt has taken out the options meant for it (--platform, --style ...): what is left is ours.
    const TStringList arguments(argv + 1, argv + argc);
    const TCommandLineCheck check = CheckCommandLine(arguments, FileExists);
    if (check.Request == TCommandLineRequest::UnknownOption ||
        check.Request == TCommandLineRequest::BadSize) {
        std::cerr << ViewerRefusalText(check);
        return 2;
    }
    try {
        TFormMain form(arguments);
        const TTerminateSignal terminate(form);
        form.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Dunmere GL"), ToMessageText(error.what()));
        return 1;
    }
}
