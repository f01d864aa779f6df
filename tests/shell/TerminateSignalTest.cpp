#include "shell/TerminateSignal.h"

#include "tests/support/ShellTestSupport.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>

#include <csignal>
#include <gtest/gtest.h>

namespace {

// Runs the program loop with window shown and a modal message box opened over it (parented to the
// window or standing alone), sends SIGTERM once the box is up, and checks that everything closed
// and the loop ended by itself.
void ExpectSigtermEndsTheLoopWithABoxOpen(bool boxHasParent) {
    QApplication& application = TestApplication();
    QMainWindow window;
    window.show();
    const TTerminateSignal terminate(window);

    bool boxShown = false;
    bool boxReturned = false;
    WhenModal<QMessageBox>([&boxShown](QMessageBox*) {
        boxShown = true;
        raise(SIGTERM);
    });
    QTimer::singleShot(0, &window, [&window, &boxReturned, boxHasParent] {
        QMessageBox box(QMessageBox::Critical, "Dunmere GL", "A load failed.", QMessageBox::Ok,
                        boxHasParent ? &window : nullptr);
        box.exec();
        boxReturned = true;
    });
    // Should the signal be lost, the loop would run on; this ends it as a failure instead.
    bool gaveUp = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&gaveUp] {
        gaveUp = true;
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
        QApplication::quit();
    });
    guard.start(kPatienceMs);

    const int exitCode = application.exec();
    EXPECT_FALSE(gaveUp);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(boxShown);
    EXPECT_TRUE(boxReturned);
    EXPECT_FALSE(window.isVisible());
}

TEST(TerminateSignal, SigtermClosesAModalDialogOverTheWindowThenTheWindowAndTheLoopEnds) {
    ExpectSigtermEndsTheLoopWithABoxOpen(true);
}

TEST(TerminateSignal, SigtermClosesAModalDialogWithoutParentThenTheWindowAndTheLoopEnds) {
    ExpectSigtermEndsTheLoopWithABoxOpen(false);
}

TEST(TerminateSignal, ThePreviousHandlerComesBackWithTheObject) {
    TestApplication();
    QWidget window;
    struct sigaction before = {};
    sigaction(SIGTERM, nullptr, &before);
    {
        const TTerminateSignal terminate(window);
        struct sigaction during = {};
        sigaction(SIGTERM, nullptr, &during);
        EXPECT_NE(during.sa_handler, before.sa_handler);
    }
    struct sigaction after = {};
    sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

} // namespace
