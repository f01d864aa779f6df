#include "shell/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

QScreen* ScreenOf(const QWidget* window) {
    return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

// Where frame goes to lie within area; the top left corner wins when it does not fit, as the
// title bar and the menus are there.
QPoint WithinArea(QRect frame, const QRect& area) {
    frame.moveRight(std::min(frame.right(), area.right()));
    frame.moveBottom(std::min(frame.bottom(), area.bottom()));
    frame.moveLeft(std::max(frame.left(), area.left()));
    frame.moveTop(std::max(frame.top(), area.top()));
    return frame.topLeft();
}

} // namespace

void CenterOnScreen(QWidget* window) {
    if (const QScreen* screen = ScreenOf(window)) {
        const QRect area = screen->availableGeometry();
        QRect frame = window->frameGeometry();
        frame.moveCenter(area.center());
        window->move(WithinArea(frame, area));
    }
}

void KeepOnScreen(QWidget* window) {
    if (const QScreen* screen = ScreenOf(window)) {
        const QRect frame = window->frameGeometry();
        const QPoint topLeft = WithinArea(frame, screen->availableGeometry());
        if (topLeft != frame.topLeft()) {
            window->move(topLeft);
        }
    }
}
