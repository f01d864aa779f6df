#include "shell/PickCommands.h"

#include "shell/PickPanel.h"
#include "shell/TrackView.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>

namespace {

constexpr int kPanelWidth = 360;

} // namespace

TPickCommands::TPickCommands(TTrackView& view, QMainWindow& window, QAction* pickModeEntry,
                             const std::function<void(const std::function<void()>&)>& run)
    : QObject(&window), view_(view), window_(window), pickModeEntry_(pickModeEntry), run_(run),
      dock_(new QDockWidget(QStringLiteral("Pick"), &window)), panel_(new TPickPanel(dock_)) {
    dock_->setObjectName(QStringLiteral("PickDock"));
    panel_->setObjectName(QStringLiteral("PickPanel"));
    dock_->setWidget(panel_);
    dock_->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    // Floating, it leaves the view its size; the window is sized around the view.
    dock_->setFloating(true);
    dock_->setAttribute(Qt::WA_ShowWithoutActivating);
    dock_->hide();
    connect(dock_, &QDockWidget::visibilityChanged, this, &TPickCommands::PanelVisibilityChanged);
    connect(pickModeEntry, &QAction::triggered, this,
            [this] { run_([this] { TogglePickMode(); }); });
    view.SetPickClick([this](int x, int y, Qt::KeyboardModifiers modifiers) {
        return PickClick(x, y, modifiers);
    });
}

void TPickCommands::TogglePickMode() {
    pickMode_ = !pickMode_;
    pickModeEntry_->setChecked(pickMode_);
}

bool TPickCommands::PickClick(int x, int y, Qt::KeyboardModifiers modifiers) {
    if (!pickMode_ && !modifiers.testFlag(Qt::ControlModifier)) {
        return false;
    }
    run_([this, x, y] { PickAt(x, y); });
    return true;
}

void TPickCommands::PickAt(int x, int y) {
    panel_->ShowAnswer(view_.PickAt(x, y));
    if (!placed_) {
        placed_ = true;
        const QRect frame = window_.frameGeometry();
        dock_->setGeometry(frame.right() + 1, frame.top(), kPanelWidth, frame.height());
    }
    dock_->show();
}

void TPickCommands::PanelVisibilityChanged(bool visible) {
    // Closing the panel drops the outline of what it showed.
    if (!visible && view_.PickOutlined()) {
        view_.ClearPick();
    }
}
