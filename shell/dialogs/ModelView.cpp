#include "shell/dialogs/ModelView.h"

#include <QMouseEvent>

#include <algorithm>

namespace {

constexpr double kDegreesPerPixel = 0.5;

} // namespace

TModelView::TModelView(QWidget* parent) : QOpenGLWidget(parent) {
    setObjectName("ModelView");
    setMinimumSize(160, 160);
}

TModelView::~TModelView() {
    // The model's display list and textures belong to this widget's context.
    if (preview_ && context() != nullptr) {
        makeCurrent();
        preview_.reset();
        doneCurrent();
    }
}

std::string TModelView::ShowModel(const TPodFile& pod, const std::string& name,
                                  TQRXFileFinder& finder) {
    pod_ = &pod;
    finder_ = &finder;
    name_ = name;
    turn_ = TModelTurn{};
    if (context() == nullptr) {
        return "";
    }
    makeCurrent();
    const std::string error = Load();
    doneCurrent();
    update();
    return error;
}

// With this widget's context current.
std::string TModelView::Load() {
    if (pod_ == nullptr) {
        return "";
    }
    if (!preview_) {
        preview_ = std::make_unique<TModelPreview>();
    }
    try {
        preview_->Load(*pod_, name_, *finder_);
    } catch (const std::exception& e) {
        return name_ + ": " + e.what();
    }
    return "";
}

void TModelView::initializeGL() {
    // A model chosen before the view first appeared; a damaged one simply draws nothing here,
    // the explorer having shown the reader's message already.
    Load();
}

void TModelView::paintGL() {
    const qreal ratio = devicePixelRatioF();
    const int width = static_cast<int>(this->width() * ratio);
    const int height = static_cast<int>(this->height() * ratio);
    if (preview_) {
        preview_->Draw(width, height, turn_);
    }
}

void TModelView::mousePressEvent(QMouseEvent* event) {
    dragFrom_ = event->position().toPoint();
}

void TModelView::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) == 0) {
        return;
    }
    const QPoint to = event->position().toPoint();
    turn_.Yaw += (to.x() - dragFrom_.x()) * kDegreesPerPixel;
    turn_.Pitch =
        std::clamp(turn_.Pitch + (to.y() - dragFrom_.y()) * kDegreesPerPixel, -89.0, 89.0);
    dragFrom_ = to;
    update();
}
