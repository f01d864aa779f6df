// Where the viewer's windows go on the screen.
#include "shell/WindowPlacement.h"

#include "tests/support/ShellTestSupport.h"

#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QRect FreeArea() {
    return TestApplication().primaryScreen()->availableGeometry();
}

} // namespace

TEST(WindowPlacement, AWindowIsCentredAndOneLargerThanTheScreenStartsAtItsTopLeft) {
    const QRect area = FreeArea();
    QWidget window;
    window.resize(area.width() / 2, area.height() / 2);
    CenterOnScreen(&window);
    EXPECT_EQ(window.frameGeometry().center(), area.center());

    // Too wide: the left edge on screen, still centred from top to bottom.
    window.resize(area.width() * 2, area.height() / 2);
    CenterOnScreen(&window);
    EXPECT_EQ(window.frameGeometry().left(), area.left());
    EXPECT_EQ(window.frameGeometry().center().y(), area.center().y());

    // Too tall as well: the title bar and the menus stay reachable.
    window.resize(area.width() * 2, area.height() * 2);
    CenterOnScreen(&window);
    EXPECT_EQ(window.frameGeometry().topLeft(), area.topLeft());
}

TEST(WindowPlacement, KeepOnScreenMovesAWindowOnlyAsFarAsItMustGo) {
    const QRect area = FreeArea();
    QWidget window;
    window.resize(200, 100);
    window.move(area.left() + 10, area.top() + 20);
    KeepOnScreen(&window);
    EXPECT_EQ(window.frameGeometry(), QRect(area.left() + 10, area.top() + 20, 200, 100));

    // Past the right and bottom edges: pulled back to them, not to the centre.
    window.move(area.right() - 50, area.bottom() - 30);
    KeepOnScreen(&window);
    EXPECT_EQ(window.frameGeometry(),
              QRect(area.right() + 1 - 200, area.bottom() + 1 - 100, 200, 100));

    // Larger than the screen: the top left corner goes to the screen's.
    window.resize(area.width() + 100, area.height() + 100);
    window.move(area.left() - 40, area.top() + 70);
    KeepOnScreen(&window);
    EXPECT_EQ(window.frameGeometry().topLeft(), area.topLeft());
}
