// dunmeregl: the viewer.
//   dunmeregl [-W<width>] [-H<height>] [ARCHIVE.POD]
//   dunmeregl --help | --version
#include "core/base/Heap.h"
#include "core/settings/Version.h"
#include "core/vfs/FileTools.h"
#include "core/view/ViewCommands.h"
#include "shell/MainForm.h"
#include "shell/ShellText.h"
#include "shell/ViewWindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QSurfaceFormat>

#include <sys/socket.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <exception>
#include <iostream>

namespace {

int terminatePipe[2] = {-1, -1};

void OnTerminate(int) {
    const char byte = 1;
    // Nothing else is safe inside a signal handler; the event loop picks the byte up.
    [[maybe_unused]] const ssize_t written = write(terminatePipe[1], &byte, 1);
}

// SIGTERM and SIGINT close the main window like its close button, so that the session log gets
// its last line and the stores are freed with the GL context current.
void CloseOnTerminate(QWidget& window) {
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, terminatePipe) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(terminatePipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = read(terminatePipe[0], &byte, 1);
        window.close();
    });
    struct sigaction action = {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

} // namespace

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
    // Qt sets the locale from the environment; numbers in files and on screen always use ".".
    setlocale(LC_NUMERIC, "C");

    // Qt has taken out the options meant for it (--platform, --style ...): what is left is ours.
    const TStringList arguments(argv + 1, argv + argc);
    const TCommandLineCheck check = CheckCommandLine(arguments, FileExists);
    if (check.Request == TCommandLineRequest::UnknownOption) {
        std::cerr << "dunmeregl: unrecognized option '" << check.Option << "'\n"
                  << "Try 'dunmeregl --help'.\n";
        return 2;
    }
    try {
        TFormMain form(arguments);
        CloseOnTerminate(form);
        form.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Dunmere GL"), ToMessageText(error.what()));
        return 1;
    }
}
