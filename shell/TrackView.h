// TTrackView: the main window's 3D view of the opened track. It shows "Please open a track ..."
// until the first frame covers it with the GL window, and owns the OpenGL context with the
// stores, textures and draw state of the track, the redraw protocol, the input over the view
// (mouse, wheel, navigation keys, keyboard flight, minimap and map-view clicks), the overlay over
// each frame (minimap, frame rate, a fly-through's time) and the fly-through player that moves its
// camera. The camera, navigation and view-command logic lives in core/view/ (Camera.h,
// ViewCommands.h); this class turns window events into calls of it and its results into
// projection updates, redraws and beeps.
//
// There is no timer and no render loop. Every command and input handler ends in one redraw
// request, RedrawView, which draws a frame and presents it before it returns. A redraw of a
// moving camera may leave the track objects out; once a track is open AppIdle keeps drawing
// while the event queue is otherwise empty, until one full frame has been shown, and then
// nothing is drawn until the next event. Only a held flight key runs a timer.
//
// Re-entrancy: a frame lets the pending events run once before it draws, and a track load lets
// them run after each change of its progress labels (TrackSession.h lists when the view state's
// Busy is set). A mouse or key handler may therefore run in the middle of either: while Busy it
// only records the pointer, and a redraw it asks for during a frame draws nothing of its own,
// since that frame shows the new state.
#pragma once

#include "core/session/TrackSession.h"
#include "core/view/Flight.h"
#include "core/view/FrameRateMeter.h"
#include "core/view/Pick.h"
#include "core/view/TrackStatistics.h"
#include "core/view/ViewState.h"
#include "render/GLState.h"
#include "render/RenderContext.h"
#include "render/ViewOverlay.h"
#include "shell/FlyThroughPlayer.h"
#include "shell/ViewWindow.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QOffscreenSurface;
class QOpenGLContext;
class TGLBMP;

// What the view asks of the window around it.
class TTrackViewHost {
public:
    virtual ~TTrackViewHost() = default;
    // A view command stopped at a limit.
    virtual void Beep() = 0;
    // An error an input handler raised, or one a frame raised, told once after the frame ended.
    virtual void ShowErrorText(const std::string& text) = 0;
    // After every redraw request, whether or not it drew: the camera may have moved.
    virtual void PositionChanged() = 0;
    // What a frame is doing (drawing, ready), while it draws.
    virtual void ShowDrawStatus(const std::string& text) = 0;
    // A key pressed over the view, offered to the menu's shortcuts first; true when an entry took
    // it.
    virtual bool RunShortcut(const QKeyEvent* event) = 0;
    // A drag entering, moving over or dropped onto the view; true when it is accepted.
    virtual bool AcceptDrop(QDropEvent* event) = 0;
};

class TTrackView : public QWidget, private TViewWindowHost, private TFlyThroughHost {
    Q_OBJECT
public:
    // Creates the GL context and makes it current on a hidden surface until the view is on
    // screen, so that the fixed state, the fallback texture and a command-line load have a context
    // to go to; raises EDunmereError when it cannot.
    TTrackView(TTrackSession& session, TTrackViewHost& host, QWidget* parent);
    // Frees the textures, display lists and buffers of the context while it is current.
    ~TTrackView() override;

    // The fixed GL state and the fallback texture, once, with the projection for the view's size.
    void PrepareDrawing();
    TViewWindow* ViewWindow() const { return viewWindow_; }
    // The caption the view shows until GL drawing covers it.
    const QLabel* Caption() const { return caption_; }
    // Which renderer draws the frames (the prepared one unless told otherwise), for measuring.
    void SelectRenderer(TRendererKind renderer) { render_->SelectRenderer(renderer); }
    // The stores and textures of the context, for a load or a recording.
    TRenderContext& Render() { return *render_; }
    // Runs load with a loader into stores and textures of their own, which replace the view's
    // only once load has returned, so that a load that raises leaves the shown track drawable;
    // the ones replaced are freed while the context is current.
    void LoadTrackStaged(const std::function<void(TTrackLoader& loader)>& load);
    // Makes the context current on the view, or on the hidden surface while the view is not on
    // screen; raises EDunmereError when it cannot.
    void MakeContextCurrent();
    // Viewport and projection for the view's size in device pixels.
    void UpdateProjection();
    // Lays the caption and the GL window over the whole view. A hidden view gets its resize only
    // when shown, so a window laying itself out before then calls this.
    void PlaceSurface();

    // The minimap of the track just loaded, and the frame that shows the track first: placed
    // says where the camera went. From then on idle frames complete a moving camera's frames.
    void UploadMinimap();
    void ShowOpenedTrack(const TViewResult& placed);

    // The redraw protocol.
    void RedrawView(bool fullFrame);
    // Draws one frame into the back buffer; true when one was drawn. present swaps it to the
    // screen with the overlay; a screenshot reads it back without.
    bool DrawFrame(bool present);
    // The projection update, beep and redraw a view command asks for.
    void Apply(const TViewResult& result);
    // Frames presented in this run, idle ones included, and the idle ones alone.
    int FramesDrawn() const { return framesDrawn_; }
    int IdleFramesDrawn() const { return idleFramesDrawn_; }
    // The whole track seen from above, drawn off screen into image at the map picture's size.
    void GrabMapPicture(TGLBMP& image);

    // Input, as the window system delivers it over the view.
    void MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    // A turn of the wheel by notches over the view at (x, y).
    void Wheel(double notches, Qt::KeyboardModifiers modifiers, int x, int y);
    // A button pressed or let go over the view at (x, y).
    void MousePress(Qt::MouseButton button, int x, int y);
    void MouseRelease(Qt::MouseButton button, int x, int y);
    // Insert, Delete and the keypad's + and -: true when the key was one of them (whether or not
    // Busy let it act).
    bool NavigationKey(int key, Qt::KeyboardModifiers modifiers);
    // The arrow keys and Page Up/Down: true when the key is one of them. A held key keeps the
    // flight timer running; letting go of the last one stops it.
    bool FlightKeyChange(int key, bool pressed, bool autoRepeat);
    bool Flying() const { return flightTimer_.isActive(); }
    // The window stops the flight when it loses the focus or closes: keys let go in another
    // window never reach this one.
    void StopFlight();
    // A key pressed or let go elsewhere in the window, for a playing fly-through, the flight or
    // the navigation keys; true when it was one of theirs.
    bool KeyPress(const QKeyEvent* event);
    bool KeyRelease(const QKeyEvent* event);

    // The overlay.
    void ToggleMinimap();
    void ToggleFrameRate();
    bool MinimapShown() const { return showMinimap_; }
    bool FrameRateShown() const { return showFrameRate_; }
    // Where the minimap lies in the view, in the view's pixels.
    TViewRect MinimapArea() const;
    // The lines the overlay shows with the next frame.
    std::vector<std::string> OverlayText() const;

    // What the view shows under its pixel (x, y), in the words of the pick panel. The thing picked
    // is outlined on the frames that go to the screen (never in a screenshot) until ClearPick.
    std::vector<TPickField> PickAt(int x, int y);
    void ClearPick();
    bool PickOutlined() const { return !pickOutline_.empty(); }
    // A left click over the view (not a drag, not on the minimap) is offered to pickClick first,
    // with the keyboard modifiers held; it answers whether it took the click.
    void
    SetPickClick(std::function<bool(int x, int y, Qt::KeyboardModifiers modifiers)> pickClick) {
        pickClick_ = std::move(pickClick);
    }
    // The track report's statistics of the loaded track, its triangles as this view draws them.
    TTrackStatistics Statistics();

    // Plays camera paths over the view and keeps the path being edited.
    TFlyThroughPlayer& FlyThrough() { return flyThrough_; }
    const TFlyThroughPlayer& FlyThrough() const { return flyThrough_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class TFrameHostImpl;

    void ViewExposed() override;
    void ViewMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                       int y) override;
    void ViewKeyPress(QKeyEvent* event) override;
    void ViewKeyRelease(QKeyEvent* event) override;
    void ViewWheel(double notches, Qt::KeyboardModifiers modifiers, int x, int y) override;
    void ViewMousePress(Qt::MouseButton button, int x, int y) override;
    void ViewMouseRelease(Qt::MouseButton button, int x, int y) override;
    bool ViewDrop(QDropEvent* event) override;
    TViewState& FlyThroughView() override { return View(); }
    void ApplyFlyThrough(const TViewResult& result) override { Apply(result); }
    void ShowFlyThroughText(const std::string& text) override { flyThroughText_ = text; }

    // Runs an input handler; an error it raises goes to the host.
    template <typename F> void Guarded(F&& handler);
    bool MakeCurrent();
    void ShowGLWindow();
    void ScheduleIdle();
    // An idle frame: drawn while a moving camera's light frames wait for a full one.
    void AppIdle();
    void FlightTick();
    // Moves the free camera to the minimap cell under (x, y).
    void FlyToMinimapPoint(int x, int y);
    // The minimap and the overlay text over the frame in the back buffer.
    void DrawOverlay();
    // The overlay text laid out by Qt into a picture, once per change of text, without GL.
    void PrepareOverlayText(const std::vector<std::string>& lines, qreal ratio);

    TViewState& View() { return session_.View(); }
    const TViewState& View() const { return session_.View(); }

    TTrackSession& session_;
    TTrackViewHost& host_;
    QLabel* caption_ = nullptr;
    TViewWindow* viewWindow_ = nullptr;
    QWidget* viewContainer_ = nullptr; // of the GL window
    std::unique_ptr<QOpenGLContext> glContext_;
    std::unique_ptr<QOffscreenSurface> offscreen_;
    // The stores and textures of glContext_, and the GL state its frames share.
    std::unique_ptr<TRenderContext> render_ = std::make_unique<TRenderContext>();
    TGLState glState_;
    std::unique_ptr<TFrameHostImpl> frameHost_;

    int framesDrawn_ = 0;
    int idleFramesDrawn_ = 0;
    int drawingDepth_ = 0; // frames in progress (a frame lets pending events run before drawing)
    bool idleInstalled_ = false;
    bool idleQueued_ = false;
    std::string lastFrameError_;

    TFlightKeys flightKeys_;
    QTimer flightTimer_;
    QElapsedTimer flightClock_;

    TViewOverlayRender overlay_;
    TFrameRateMeter frameRate_;
    std::string overlayTextShown_;
    QImage overlayPicture_;
    bool showMinimap_ = false;
    bool showFrameRate_ = false;
    bool minimapDragging_ = false;
    std::optional<QPoint> mapClickStart_;
    std::optional<QPoint> clickStart_; // of a left press that may end in a click
    std::function<bool(int, int, Qt::KeyboardModifiers)> pickClick_;
    std::vector<TPickEdge> pickOutline_;

    TFlyThroughPlayer flyThrough_{*this};
    std::string flyThroughText_;
};
