// TFormMain: the viewer's one main window: the menu bar with every command (MainMenu.h), the 3D
// view (TrackView.h) and the status bar StatusBar1 with its five panels. It runs start-up and
// shut-down, sizes the window around the view, opens tracks and runs the menu commands, leaving
// the recent archives to RecentArchivesMenu.h, the fly-throughs to FlyThroughCommands.h, reloads
// to TrackReloader.h and picks to PickCommands.h; every modal exchange with the user goes through
// its TMainFormDialogs.
#pragma once

#include "core/base/Feedback.h"
#include "core/base/TextUtils.h"
#include "core/session/TrackSession.h"
#include "core/view/ViewCommands.h"
#include "core/view/ViewState.h"
#include "shell/FlyThroughCommands.h"
#include "shell/MainFormDialogs.h"
#include "shell/MainMenu.h"
#include "shell/PickCommands.h"
#include "shell/RecentArchivesMenu.h"
#include "shell/TrackReloader.h"
#include "shell/TrackView.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QMimeData;
class QLabel;
class QMenu;
class QStatusBar;

class TFormMain : public QMainWindow,
                  private TTrackViewHost,
                  private TTrackReloadHost,
                  private TMessageSink {
    Q_OBJECT
public:
    // Runs the start-up (FormCreate). dialogs defaults to the real dialogs; the window keeps it.
    // commandLine holds the arguments after the program name, handled when the window is first
    // shown (FormShow).
    explicit TFormMain(TStringList commandLine = {},
                       std::unique_ptr<TMainFormDialogs> dialogs = nullptr);
    ~TFormMain() override;

    // The command line; runs once, from the first show or from an explicit call.
    void FormShow();

    void ResizeView(int width, int height);
    void UpdatePositionStatus();
    void UpdateLayerStatus();
    void UpdateSkyMenu();
    // The 3D view, with its input, redraws and overlay.
    TTrackView& TrackView() { return *view_; }
    const TTrackView& TrackView() const { return *view_; }

    // The window keeps its widgets to itself: its menu entries are reached by what they do, its
    // status bar by what it shows.
    QAction* Action(TMainAction action) const;
    QMenu* Menu(TMainMenu menu) const;
    QString StatusText(int panel) const;
    const QLabel* StatusPanel(int panel) const;

    void OpenTrackArchive(const std::string& path);
    void GoToStartGrid();
    // The Save location entries; slot 0 is the default location.
    void SaveCameraLocation(int slot);
    // Moves the camera to a saved location without drawing: the Restore entries draw at once,
    // the track open once it has finished.
    void RestoreCameraLocation(int slot);

    // The archive a drop of these data would open, or nullopt when it holds no single POD file.
    static std::optional<std::string> DroppedArchive(const QMimeData* data);
    // The File, Recent archives list, newest first, as stored in the INI file.
    const TStringList& RecentArchives() const { return recent_->Archives(); }

    // The opened track with its settings, archive, asset log and view.
    TTrackSession& Session() { return *session_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QStatusBar* StatusBar1;
    std::array<QLabel*, 5> StatusPanels{};
    TMainMenuBar menu_;

    // Menu commands, named after their entries; the menu table (MainMenu.cpp) hands them to the
    // entries, which are the window's public face.
    friend struct TMainMenuTable;
    void Open1Click();
    void ExportglTF1Click();
    void Savemappicture1Click();
    void Trackreport1Click();
    void Explorearchive1Click();
    void Editsearchpaths1Click();
    void Preferences1Click();
    void N320x2401Click();
    void N640x4801Click();
    void N800x6001Click();
    void N1024x7681Click();
    void N178x126QRX11Click();
    void N257x210QRX21Click();
    void CustomSize1Click();
    void ToggleGroundBoxes1Click();
    void oggleobjects1Click();
    void ToggleWater1Click();
    void ToggleCheckpoints1Click();
    void oggleBackdrop1Click();
    void oggleareashape1Click();
    void NextSkybox1Click();
    void SelectSky(int skyType); // the five sky entries
    void Resetbackgroundoffset1Click();
    void AdjustWaterDisplay1Click();
    void Hightide1Click();
    void Save1Click();
    void Activate1Click();
    void FollowGroundBoxes1Click();
    void FollowWater1Click();
    void Steeringmode1Click();
    void RestoreCameraClick(int slot); // the Restore location entries: restore, then draw
    void Mapviewtoggle1Click();
    void Resetmapview1Click();
    // Camera, Fly-through: the edited keyframes when there are any, the course otherwise.
    void FlyThroughClick() { flyThroughs_->Play(); }
    void AddKeyframeClick() { flyThroughs_->AddKeyframe(); }
    void RemoveLastKeyframeClick() { flyThroughs_->RemoveLastKeyframe(); }
    void ClearKeyframesClick() { flyThroughs_->ClearKeyframes(); }
    void SaveCameraPathClick() { flyThroughs_->SavePath(); }
    void LoadCameraPathClick() { flyThroughs_->LoadPath(); }
    void RecordFlyThroughClick() { flyThroughs_->Record(); }
    void N1Click();
    void Keyboardlayout1Click();
    void AboutDunmereGL1Click();
    void GetFPS1Click();
    void RemoveMissingArchivesClick() { recent_->RemoveMissing(); }
    void QuitClick();
    void MinimapClick();
    void ShowFrameRateClick();

    void FormCreate();
    void FormDestroy();
    void FormResize();
    void BuildStatusBar();
    void LayoutStatusPanels();

    void Beep() override { dialogs_->Beep(); }
    void ShowErrorText(const std::string& text) override;
    void PositionChanged() override { UpdatePositionStatus(); }
    void ShowDrawStatus(const std::string& text) override { SetStatusText(1, text); }
    // The action of a menu shortcut for this key press among the enabled entries, triggered;
    // false when there is none.
    bool RunShortcut(const QKeyEvent* event) override;
    bool AcceptDrop(QDropEvent* event) override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    bool RunAsLoad(const std::function<void()>& load) override;
    void TrackReplaced() override;
    void ShowReloadStatus(const std::string& text, const std::string& details) override;

    // Runs a command; an error it raises reaches the user as a message box.
    template <typename F> void Guarded(F&& command);
    // A menu command: refused while a track loads, guarded like every other handler.
    void RunCommand(const std::function<void()>& command);

    void SetViewSize(int width, int height);
    // The view size brought within the free area of the window's screen, with room for the
    // window's frame, menu bar and status bar.
    TViewSize FitViewToScreen(TViewSize wanted) const;
    void LoadChosenTrack(const std::string& archivePath, const std::string& sitEntry);
    // Export glTF, Save map picture and Track report: usable once a track has loaded.
    void SetTrackToolsEnabled(bool enabled);
    void SetStatusText(int panel, const std::string& text);
    // Check marks of the layer toggles, from the display settings.
    void UpdateToggleMarks();

    TViewState& View() { return session_->View(); }
    const TViewState& View() const { return session_->View(); }

    TStringList commandLine_;
    bool commandLineHandled_ = false;
    std::unique_ptr<TMainFormDialogs> dialogs_;
    std::unique_ptr<TTrackSession> session_;
    // The central widget, owned here rather than left to Qt, so that it is destroyed, freeing its
    // GL resources, before the session it draws.
    std::unique_ptr<TTrackView> view_;
    std::string versionText_;
    bool loading_ = false;
    bool closeAfterLoad_ = false;
    TViewSize viewPixels_{640, 480}; // the view's size in the pixels of its picture
    std::unique_ptr<TRecentArchivesMenu> recent_;
    std::unique_ptr<TFlyThroughCommands> flyThroughs_;
    std::unique_ptr<TTrackReloader> reloader_;
    std::unique_ptr<TPickCommands> picks_;
};
