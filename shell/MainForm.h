// TFormMain: the viewer's one main window: the menu bar with every command, the 3D view Panel1
// with the OpenGL context, and the status bar StatusBar1 with its five panels.
//
// There is no timer and no render loop. Every command and input handler ends in one redraw
// request, RedrawView, which draws a frame and presents it before it returns. A redraw of a
// moving camera may leave the track objects out; once a track is open AppIdle keeps drawing
// while the event queue is otherwise empty, until one full frame has been shown, and then
// nothing is drawn until the next event.
//
// The camera, navigation and view-command logic lives in core/view/ (Camera.h,
// CameraLocations.h, ViewCommands.h); this class turns window events into calls of it and its
// results into projection updates, redraws and beeps.
#pragma once

#include "core/base/Feedback.h"
#include "core/base/TextUtils.h"
#include "core/session/TrackSession.h"
#include "core/vfs/AssetLog.h"
#include "core/view/Flight.h"
#include "core/view/FrameRateMeter.h"
#include "core/view/ViewCommands.h"
#include "core/view/ViewState.h"
#include "render/RenderContext.h"
#include "render/ViewOverlay.h"
#include "shell/FlyThroughPlayer.h"
#include "shell/MainFormDialogs.h"
#include "shell/MainMenu.h"
#include "shell/ViewWindow.h"

#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QTimer>

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
class QOffscreenSurface;
class QOpenGLContext;
class QStatusBar;
class TDMGLPrefs;
class TIniFile;
class TPodFile;
class TQRXFileFinder;
struct TViewResult;

class TFormMain : public QMainWindow,
                  private TViewWindowHost,
                  private TMessageSink,
                  private TFlyThroughHost {
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
    void RedrawView(bool fullFrame);
    void AppIdle();
    void UpdatePositionStatus();
    void UpdateLayerStatus();
    void UpdateSkyMenu();
    TViewWindow* ViewWindow() const { return viewWindow_; }
    // Which renderer draws the frames (the prepared one unless told otherwise), for measuring.
    void SelectRenderer(TRendererKind renderer) { render_.Renderer = renderer; }

    // The window keeps its widgets to itself: its menu entries are reached by what they do, its
    // view and status bar by what they show.
    QAction* Action(TMainAction action) const;
    QMenu* Menu(TMainMenu menu) const;
    QString StatusText(int panel) const;
    const QLabel* StatusPanel(int panel) const;
    // The caption Panel1 shows until GL drawing covers it.
    const QLabel* ViewCaption() const;
    // The client size of Panel1, the 3D view.
    QSize ViewSize() const;

    void OpenTrackArchive(const std::string& path);
    void GoToStartGrid();
    // The Save location entries; slot 0 is the default location.
    void SaveCameraLocation(int slot);
    // Moves the camera to a saved location without drawing: the Restore entries draw at once,
    // the track open once it has finished.
    void RestoreCameraLocation(int slot);

    // Input, as the window's event handlers deliver it.
    void Panel1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    // True when the key was one of the navigation keys (whether or not Busy let it act).
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    // The arrow keys and Page Up/Down: true when the key is one of them. A held key keeps the
    // flight timer running; letting go of the last one stops it.
    bool FlightKeyChange(int key, bool pressed, bool autoRepeat);
    bool Flying() const { return flightTimer_.isActive(); }
    // A turn of the wheel by notches over the view at (x, y).
    void Panel1Wheel(double notches, Qt::KeyboardModifiers modifiers, int x, int y);
    // A button pressed or let go over the view at (x, y).
    void Panel1MousePress(Qt::MouseButton button, int x, int y);
    void Panel1MouseRelease(Qt::MouseButton button, int x, int y);
    // Where the minimap lies in the view, in the view's pixels.
    TViewRect MinimapArea() const;
    // The archive a drop of these data would open, or nullopt when it holds no single POD file.
    static std::optional<std::string> DroppedArchive(const QMimeData* data);
    // The File, Recent archives list, newest first, as stored in the INI file.
    const TStringList& RecentArchives() const { return recentArchives_; }
    // The lines the overlay shows with the next frame.
    std::vector<std::string> OverlayText() const;

    // Menu commands, named after their entries.
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
    void FlyThroughClick();
    void AddKeyframeClick();
    void RemoveLastKeyframeClick();
    void ClearKeyframesClick();
    void SaveCameraPathClick();
    void LoadCameraPathClick();
    void RecordFlyThroughClick();
    void N1Click();
    void Keyboardlayout1Click();
    void AboutDunmereGL1Click();
    void GetFPS1Click();
    void OpenRecentArchive(int index);
    void RemoveMissingArchivesClick();
    void QuitClick();
    void MinimapClick();
    void ShowFrameRateClick();

    // The opened track with its settings, archive, asset log and view.
    TTrackSession& Session() { return *session_; }
    // Frames presented in this run, idle ones included, and the idle ones alone.
    int FramesDrawn() const { return framesDrawn_; }
    int IdleFramesDrawn() const { return idleFramesDrawn_; }

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
    QWidget* Panel1;
    QLabel* Panel1Caption;
    QWidget* Panel1View; // container of the GL window
    QStatusBar* StatusBar1;
    std::array<QLabel*, 5> StatusPanels{};
    TMainMenuBar menu_;

    void FormCreate();
    void FormDestroy();
    void FormResize();
    void Panel1Resize();
    void BuildStatusBar();
    void LayoutStatusPanels();
    void LayoutPanel1();

    void ViewExposed() override;
    void ViewMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                       int y) override;
    void ViewKeyPress(QKeyEvent* event) override;
    void ViewKeyRelease(QKeyEvent* event) override;
    void ViewWheel(double notches, Qt::KeyboardModifiers modifiers, int x, int y) override;
    void ViewMousePress(Qt::MouseButton button, int x, int y) override;
    void ViewMouseRelease(Qt::MouseButton button, int x, int y) override;
    bool ViewDrop(QDropEvent* event) override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    TViewState& FlyThroughView() override { return View(); }
    void ApplyFlyThrough(const TViewResult& result) override { Apply(result); }
    void ShowFlyThroughText(const std::string& text) override { flyThroughText_ = text; }
    // The path a fly-through of source takes; seconds is the length of an untimed one. A path of
    // saved locations sets view's view distance to the first one's, as they were saved from it.
    TCameraPath FlyThroughPath(TFlyThroughSource source, double courseHeight, double seconds,
                               TViewState& view) const;

    // Runs a command; an error it raises reaches the user as a message box.
    template <typename F> void Guarded(F&& command);
    // A menu command: refused while a track loads, guarded like every other handler.
    void RunCommand(const std::function<void()>& command);
    void ShowErrorText(const std::string& text);

    void Apply(const TViewResult& result);
    void SetViewSize(int width, int height);
    // The view size brought within the free area of the window's screen, with room for the
    // window's frame, menu bar and status bar.
    TViewSize FitViewToScreen(TViewSize wanted) const;
    void LoadChosenTrack(const std::string& archivePath, const std::string& sitEntry);
    // Export glTF, Save map picture and Track report: usable once a track has loaded.
    void SetTrackToolsEnabled(bool enabled);
    // In the screenshot folder, named after the track, ending in "." + format.
    std::string ProposedTrackFileName(const std::string& format) const;
    // Draws one frame into the back buffer; true when one was drawn. present swaps it to the
    // screen.
    bool DrawFrame(bool present);
    bool MakeCurrent();
    void ScheduleIdle();
    void ShowViewPanel();
    void SetStatusText(int panel, const std::string& text);
    // The action of a menu shortcut for this key press among the enabled entries, or nullptr.
    QAction* ShortcutAction(const QKeyEvent* event) const;
    // Check marks of the layer toggles, from the display settings.
    void UpdateToggleMarks();
    void FlightTick();
    void StopFlight();
    void RebuildRecentMenu();
    void RememberRecentArchive(const std::string& path);
    // The minimap and the overlay text over the frame in the back buffer.
    void DrawOverlay();
    bool AcceptDrop(QDropEvent* event);

    class TFrameHostImpl;

    TViewState& View() { return session_->View(); }
    const TViewState& View() const { return session_->View(); }

    std::unique_ptr<TTrackSession> session_;
    std::string versionText_;
    int framesDrawn_ = 0;
    int idleFramesDrawn_ = 0;

    TStringList commandLine_;
    bool commandLineHandled_ = false;
    std::unique_ptr<TMainFormDialogs> dialogs_;
    std::unique_ptr<TFrameHostImpl> frameHost_;
    TViewWindow* viewWindow_ = nullptr;
    std::unique_ptr<QOpenGLContext> glContext_;
    // The stores, textures and draw state of glContext_.
    TRenderContext render_;
    std::unique_ptr<QOffscreenSurface> offscreen_;
    bool loading_ = false;
    bool closeAfterLoad_ = false;
    TViewSize viewPixels_{640, 480}; // the view's size in the pixels of its picture
    int drawingDepth_ = 0; // frames in progress (a frame lets pending events run before drawing)
    bool idleInstalled_ = false;
    bool idleQueued_ = false;
    std::string lastFrameError_;

    TFlightKeys flightKeys_;
    QTimer flightTimer_;
    QElapsedTimer flightClock_;

    TStringList recentArchives_;
    std::vector<QAction*> recentActions_;

    TViewOverlayRender overlay_;
    TFrameRateMeter frameRate_;
    std::string overlayTextShown_;
    QImage overlayPicture_;
    bool showMinimap_ = false;
    bool showFrameRate_ = false;
    bool minimapDragging_ = false;
    std::optional<QPoint> mapClickStart_;

    TFlyThroughPlayer flyThrough_{*this};
    std::string flyThroughText_;
};
