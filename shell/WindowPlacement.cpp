#include "shell/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void CenterOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}
