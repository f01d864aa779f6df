// SIGTERM and SIGINT end the viewer as its close button does, also while a modal dialog (the
// track choice, an error box) runs an event loop of its own: the dialogs are closed first, then
// the window, so that the session log gets its last line and the stores are freed with the GL
// context current.
#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;
class QWidget;

class TTerminateSignal : public QObject {
public:
    // Handles the signals for the life of this object; the handlers it replaced come back after.
    explicit TTerminateSignal(QWidget& window);
    ~TTerminateSignal() override;
    TTerminateSignal(const TTerminateSignal&) = delete;
    TTerminateSignal& operator=(const TTerminateSignal&) = delete;

private:
    void CloseEverything();

    QWidget& window_;
    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
    struct sigaction previousTerm_ = {};
    struct sigaction previousInt_ = {};
};
