// TViewWindow: the native window inside Panel1 that carries the OpenGL drawing surface. It draws
// nothing by itself: the main window makes its context current on it, renders, and swaps
// synchronously. Everything the user does over it is handed to its host; it never takes the
// keyboard focus, so the main window's menu shortcuts and key handler keep working while the
// pointer drags over the view.
#pragma once

#include <QSurfaceFormat>
#include <QWindow>

class QDropEvent;
class QKeyEvent;

class TViewWindowHost {
public:
    virtual ~TViewWindowHost() = default;
    virtual void ViewExposed() = 0;
    virtual void ViewMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                               int y) = 0;
    // A key that reached the view window in spite of it refusing the focus.
    virtual void ViewKeyPress(QKeyEvent* event) = 0;
    virtual void ViewKeyRelease(QKeyEvent* event) = 0;
    virtual void ViewWheel(double notches, Qt::KeyboardModifiers modifiers, int x, int y) = 0;
    virtual void ViewMousePress(Qt::MouseButton button, int x, int y) = 0;
    virtual void ViewMouseRelease(Qt::MouseButton button, int x, int y) = 0;
    // A drag entering, moving over or dropped onto the view; true when it is accepted.
    virtual bool ViewDrop(QDropEvent* event) = 0;
};

// Double-buffered RGBA with a depth buffer, a compatibility context for immediate mode and
// display lists.
QSurfaceFormat ViewSurfaceFormat();

class TViewWindow : public QWindow {
    Q_OBJECT
public:
    explicit TViewWindow(TViewWindowHost& host);

protected:
    void exposeEvent(QExposeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    TViewWindowHost& host_;
};
