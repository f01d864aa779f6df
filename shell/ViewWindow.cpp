#include "shell/ViewWindow.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

QSurfaceFormat ViewSurfaceFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(8);
    format.setDepthBufferSize(24);
    // Frames are presented the moment they are drawn; waiting for the vertical retrace would make
    // every redraw request block.
    format.setSwapInterval(0);
    return format;
}

TViewWindow::TViewWindow(TViewWindowHost& host) : host_(host) {
    setObjectName(QStringLiteral("ViewWindow"));
    setSurfaceType(QSurface::OpenGLSurface);
    setFormat(ViewSurfaceFormat());
    setFlag(Qt::WindowDoesNotAcceptFocus);
}

void TViewWindow::exposeEvent(QExposeEvent*) {
    if (isExposed()) {
        host_.ViewExposed();
    }
}

void TViewWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    host_.ViewMouseMove(event->buttons(), event->modifiers(), position.x(), position.y());
}

void TViewWindow::keyPressEvent(QKeyEvent* event) {
    host_.ViewKeyPress(event);
}

void TViewWindow::keyReleaseEvent(QKeyEvent* event) {
    host_.ViewKeyRelease(event);
}

void TViewWindow::wheelEvent(QWheelEvent* event) {
    // One notch of a common wheel is 120 eighths of a degree; finer wheels and touch pads send
    // parts of it.
    const QPoint position = event->position().toPoint();
    host_.ViewWheel(event->angleDelta().y() / 120.0, event->modifiers(), position.x(),
                    position.y());
}

void TViewWindow::mousePressEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    host_.ViewMousePress(event->button(), position.x(), position.y());
}

void TViewWindow::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    host_.ViewMouseRelease(event->button(), position.x(), position.y());
}

bool TViewWindow::event(QEvent* event) {
    // A file dragged over the view is offered to the main window, as over the rest of it.
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        host_.ViewDrop(static_cast<QDropEvent*>(event));
        return true;
    default:
        return QWindow::event(event);
    }
}
