// TModelView: the archive explorer's small GL view of one BIN model, which turns the model while
// the user drags across it. The model and its textures live in the widget's own GL context.
#pragma once

#include "render/ModelPreview.h"

#include <QOpenGLWidget>

#include <memory>
#include <string>

class TPodFile;
class TQRXFileFinder;

class TModelView : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit TModelView(QWidget* parent = nullptr);
    ~TModelView() override;

    // "" when the model is shown, else the reader's error naming the model. A view not yet shown
    // has no context: it reads the model when it first appears.
    std::string ShowModel(const TPodFile& pod, const std::string& name, TQRXFileFinder& finder);
    const TModelTurn& Turn() const { return turn_; }

protected:
    void initializeGL() override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    std::string Load();

    std::unique_ptr<TModelPreview> preview_;
    const TPodFile* pod_ = nullptr;
    TQRXFileFinder* finder_ = nullptr;
    std::string name_;
    TModelTurn turn_;
    QPoint dragFrom_;
};
