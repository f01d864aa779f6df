// TPickCommands: Camera > "Pick" and Ctrl with a left click over the view. A click that picks
// asks the view what is under the pointer and shows the answer in a pick panel beside the view
// (a dock window, floating beside the main window until the user docks it, hidden until the first
// pick); the view outlines the picked thing until the panel is closed. In pick mode a plain left
// click picks too; dragging moves the camera as always.
#pragma once

#include <QObject>

#include <functional>

class QAction;
class QDockWidget;
class QMainWindow;
class TPickPanel;
class TTrackView;

class TPickCommands : public QObject {
    Q_OBJECT
public:
    // The entry runs through run, as every menu command does; so does a click that picks.
    TPickCommands(TTrackView& view, QMainWindow& window, QAction* pickModeEntry,
                  const std::function<void(const std::function<void()>&)>& run);

private:
    void TogglePickMode();
    bool PickClick(int x, int y, Qt::KeyboardModifiers modifiers);
    void PickAt(int x, int y);
    void PanelVisibilityChanged(bool visible);

    TTrackView& view_;
    QMainWindow& window_;
    QAction* pickModeEntry_;
    std::function<void(const std::function<void()>&)> run_;
    QDockWidget* dock_;
    TPickPanel* panel_;
    bool pickMode_ = false;
    bool placed_ = false; // the panel has been put beside the window once
};
