#include "shell/ViewWindow.h"

#include <QKeyEvent>
#include <QMouseEvent>

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
