#include "shell/TerminateSignal.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QWidget>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler can reach nothing but this descriptor; the object that owns it sets and clears it.
int signalWriteEnd = -1;

void OnTerminate(int) {
    const char byte = 1;
    // Nothing else is safe inside a signal handler; the event loop picks the byte up.
    [[maybe_unused]] const ssize_t written = write(signalWriteEnd, &byte, 1);
}

} // namespace

TTerminateSignal::TTerminateSignal(QWidget& window) : window_(window) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipe_) != 0) {
        return;
    }
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = read(pipe_[0], &byte, 1);
        CloseEverything();
    });
    signalWriteEnd = pipe_[1];
    struct sigaction action = {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, &previousTerm_);
    sigaction(SIGINT, &action, &previousInt_);
}

TTerminateSignal::~TTerminateSignal() {
    if (notifier_ == nullptr) {
        return;
    }
    sigaction(SIGTERM, &previousTerm_, nullptr);
    sigaction(SIGINT, &previousInt_, nullptr);
    signalWriteEnd = -1;
    close(pipe_[0]);
    close(pipe_[1]);
}

// A modal dialog's own event loop would keep the program alive after the window closed; each is
// answered as its Cancel or close button would (the caller sees a refusal), innermost first.
void TTerminateSignal::CloseEverything() {
    for (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr;) {
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
        QWidget* next = QApplication::activeModalWidget();
        modal = next == modal ? nullptr : next;
    }
    window_.close();
}
