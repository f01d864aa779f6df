// Helpers for the tests of the viewer's windows: one QApplication on the "offscreen" platform
// (no display needed), and watchers that act on modal windows from inside their exec().
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

// Qt's sound stack warns on every sound effect of a machine without a sound device, as test
// machines are; the fanfare needs none to be tested. Only those lines are kept out of the test
// output, and only here: the viewer itself still says so.
inline void QuietTheMissingSoundDevice() {
    static const QtMessageHandler passOn = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (type == QtWarningMsg &&
                (message == QLatin1String("No audio device detected") ||
                 message == QLatin1String("PulseAudioService: pa_context_connect() failed"))) {
                return;
            }
            passOn(type, context, message);
        });
}

// The process's QApplication, made on first use. The test's entry has already pointed HOME and
// the XDG folders away from the user's (TTestEnvironment), so Qt's file dialog history and
// caches go there.
inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "dunmere-shell-test";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QuietTheMissingSoundDevice();
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// A window's widget by its object name, as the window keeps its widgets to itself: the tests reach
// them by what they are called, as a user does by what they show. A missing one fails the test.
template <typename W> W* Widget(const QObject& window, const char* name) {
    W* widget = window.findChild<W*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        throw std::logic_error(std::string("no widget \"") + name + "\" in " +
                               window.metaObject()->className());
    }
    return widget;
}

// How long a test waits for something that takes milliseconds on an idle machine: long enough
// that only a fault, never a busy machine, runs it out.
constexpr int kPatienceMs = 20000;

// Lets the events run until condition holds, for kPatienceMs at most. The assertions that follow
// on the same values tell what was expected, and what came instead.
template <typename Condition> void WaitUntil(Condition condition) {
    static_cast<void>(QTest::qWaitFor(condition, kPatienceMs));
}

// Runs action once on the first modal window of type T that comes up. A window that never
// comes up within the time limit is a test failure, and whatever modal window is open then is
// rejected so the test cannot hang.
template <typename T> void WhenModal(std::function<void(T*)> action, int limitMs = kPatienceMs) {
    auto* timer = new QTimer(&TestApplication());
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action, limitMs] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            action(window);
        } else if (clock->elapsed() > limitMs) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            ADD_FAILURE() << "the expected modal window did not come up";
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                dialog->reject();
            }
        }
    });
    timer->start(10);
}

// While it lives, closes every message box that comes up (with its first button) and keeps
// the boxes' texts, titles and icons in the order they appeared. Given a window, it also hands
// the activation straight back to it, as a desktop's window manager does once a box closes
// (the offscreen platform leaves that to the program).
class TMessageBoxCatcher {
public:
    explicit TMessageBoxCatcher(QWidget* reactivate = nullptr) {
        QObject::connect(&timer_, &QTimer::timeout, [this, reactivate] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box != nullptr && box->isVisible() && !box->buttons().isEmpty()) {
                    Texts << box->text();
                    Titles << box->windowTitle();
                    Icons.push_back(box->icon());
                    box->buttons().first()->click();
                    if (reactivate != nullptr) {
                        QApplication::setActiveWindow(reactivate);
                    }
                }
            }
        });
        timer_.start(10);
    }

    QStringList Texts;
    QStringList Titles;
    std::vector<QMessageBox::Icon> Icons;

private:
    QTimer timer_;
};
