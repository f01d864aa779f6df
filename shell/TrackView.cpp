#include "shell/TrackView.h"

#include "core/base/Errors.h"
#include "core/base/TextUtils.h"
#include "core/formats/GLBMP.h"
#include "core/view/Camera.h"
#include "core/view/ViewCommands.h"
#include "core/view/ViewOverlay.h"
#include "render/FrameRender.h"
#include "render/MapPicture.h"
#include "render/PickOutline.h"
#include "render/PickScene.h"
#include "render/ScreenGrab.h"
#include "render/TrackLoader.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

constexpr int kFlightTimerMs = 15;
// A press and release of the left button within this many pixels is a click, not a drag.
constexpr int kClickSlop = 3;
constexpr int kOverlayMargin = 8;

TModifiers ToModifiers(Qt::KeyboardModifiers modifiers) {
    TModifiers result;
    result.Shift = modifiers.testFlag(Qt::ShiftModifier);
    result.Ctrl = modifiers.testFlag(Qt::ControlModifier);
    result.Alt = modifiers.testFlag(Qt::AltModifier);
    return result;
}

std::optional<TFlightKey> FlightKeyOf(int key) {
    switch (key) {
    case Qt::Key_Up:
        return TFlightKey::Forward;
    case Qt::Key_Down:
        return TFlightKey::Back;
    case Qt::Key_Left:
        return TFlightKey::TurnLeft;
    case Qt::Key_Right:
        return TFlightKey::TurnRight;
    case Qt::Key_PageUp:
        return TFlightKey::Rise;
    case Qt::Key_PageDown:
        return TFlightKey::Sink;
    default:
        return std::nullopt;
    }
}

} // namespace

class TTrackView::TFrameHostImpl : public TFrameHost {
public:
    explicit TFrameHostImpl(TTrackView& view) : view_(view) {}

    void SetHourglassCursor(bool on) override {
        if (on) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QApplication::restoreOverrideCursor();
        }
    }
    void SetDrawStatus(const std::string& text) override { view_.host_.ShowDrawStatus(text); }
    void ProcessPendingEvents() override {
        QCoreApplication::processEvents();
        // A handler that ran may have made the context current elsewhere (a track load while
        // the view was hidden); the frame goes to the view.
        view_.MakeCurrent();
    }

private:
    TTrackView& view_;
};

// --- Start-up and shut-down -----------------------------------------------------------------

TTrackView::TTrackView(TTrackSession& session, TTrackViewHost& host, QWidget* parent)
    : QWidget(parent), session_(session), host_(host),
      frameHost_(std::make_unique<TFrameHostImpl>(*this)) {
    setObjectName(QStringLiteral("Panel1"));
    // Runs only while a flight key is held, so an idle viewer uses no processor time.
    flightTimer_.setInterval(kFlightTimerMs);
    flightTimer_.setTimerType(Qt::PreciseTimer);
    connect(&flightTimer_, &QTimer::timeout, this, [this] { FlightTick(); });

    caption_ = new QLabel(QStringLiteral("Please open a track ..."), this);
    caption_->setAlignment(Qt::AlignCenter);
    viewWindow_ = new TViewWindow(*this);
    viewContainer_ = QWidget::createWindowContainer(viewWindow_, this);
    viewContainer_->setFocusPolicy(Qt::NoFocus);
    viewContainer_->hide();

    glContext_ = std::make_unique<QOpenGLContext>();
    glContext_->setFormat(ViewSurfaceFormat());
    if (!glContext_->create()) {
        throw EDunmereError("Unable to create an OpenGL rendering context.");
    }
    offscreen_ = std::make_unique<QOffscreenSurface>();
    offscreen_->setFormat(glContext_->format());
    offscreen_->create();
    MakeContextCurrent();
}

TTrackView::~TTrackView() {
    // The stores' textures, display lists and buffers belong to this context: free them while it is
    // current, then release it.
    if (MakeCurrent()) {
        overlay_.Release();
        render_->ReleaseTrack();
        glContext_->doneCurrent();
    }
    glContext_.reset();
    offscreen_.reset();
}

void TTrackView::PrepareDrawing() {
    InitGLState();
    render_->LoadMissingTexture();
    UpdateProjection();
}

void TTrackView::MakeContextCurrent() {
    if (!MakeCurrent()) {
        throw EDunmereError("Unable to make the OpenGL rendering context current.");
    }
}

bool TTrackView::MakeCurrent() {
    if (viewWindow_->isExposed()) {
        return glContext_->makeCurrent(viewWindow_);
    }
    return glContext_->makeCurrent(offscreen_.get());
}

void TTrackView::UpdateProjection() {
    if (!MakeCurrent()) {
        return;
    }
    const qreal ratio = viewWindow_->devicePixelRatio();
    Panel1Resize(glState_, static_cast<int>(width() * ratio), static_cast<int>(height() * ratio),
                 View().Camera.FOV);
}

void TTrackView::PlaceSurface() {
    caption_->setGeometry(rect());
    viewContainer_->setGeometry(rect());
}

void TTrackView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceSurface();
    UpdateProjection();
}

void TTrackView::UploadMinimap() {
    overlay_.UploadMinimap(MakeMinimapPicture(session_.Track()));
}

void TTrackView::ShowOpenedTrack(const TViewResult& placed) {
    lastFrameError_.clear();
    // What was picked belongs to the track before.
    pickOutline_.clear();
    Apply(placed);
    idleInstalled_ = true;
}

void TTrackView::LoadTrackStaged(const std::function<void(TTrackLoader& loader)>& load) {
    MakeContextCurrent();
    auto staged = std::make_unique<TRenderContext>();
    staged->InheritFrom(*render_);
    try {
        TRenderTrackLoader loader(*staged);
        load(loader);
    } catch (...) {
        // The load's progress window let events run; a frame may have moved the context.
        MakeCurrent();
        staged->ReleaseTrack();
        throw;
    }
    MakeCurrent();
    std::swap(render_, staged);
    staged->ReleaseTrack();
}

// --- Redraw protocol ------------------------------------------------------------------------

void TTrackView::ShowGLWindow() {
    if (viewContainer_->isHidden()) {
        viewContainer_->setGeometry(rect());
        viewContainer_->show();
        caption_->hide();
    }
}

bool TTrackView::DrawFrame(bool present) {
    if (!session_.TrackLoaded() || session_.Archive() == nullptr) {
        return false;
    }
    ShowGLWindow();
    // Nothing to draw into while the view is not on screen, and RenderFrame itself draws nothing
    // while Busy or without an archive: then no buffer is presented either, since its contents
    // would be undefined.
    if (View().Busy || !viewWindow_->isExposed() || !MakeCurrent()) {
        return false;
    }
    ++drawingDepth_;
    try {
        const auto start = TFrameRateMeter::TClock::now();
        RenderFrame(
            TFrameContext{*render_, glState_, View(), session_.Archive() != nullptr, *frameHost_});
        // Only what goes to the screen carries the minimap and the overlay, not a screenshot.
        if (present) {
            DrawPickOutline(glState_, View(), pickOutline_);
            DrawOverlay();
            WaitForDrawing();
            const auto drawn = TFrameRateMeter::TClock::now();
            glContext_->swapBuffers(viewWindow_);
            frameRate_.FramePresented(start, drawn, TFrameRateMeter::TClock::now());
        }
        --drawingDepth_;
    } catch (const std::exception& error) {
        --drawingDepth_;
        // The same fault would stop every following frame; stop the idle frames and tell it once.
        View().FullFrame = true;
        const std::string text = error.what();
        if (text != lastFrameError_) {
            lastFrameError_ = text;
            QMetaObject::invokeMethod(
                this, [this, text] { host_.ShowErrorText(text); }, Qt::QueuedConnection);
        }
        return false;
    }
    ++framesDrawn_;
    return true;
}

void TTrackView::RedrawView(bool fullFrame) {
    if (!session_.TrackLoaded()) {
        return;
    }
    View().FullFrame = fullFrame;
    View().LastRedrawTime = std::chrono::steady_clock::now();
    // A request from an input handler that ran while a frame let pending events through: that
    // frame has not drawn anything yet and will show the new state. Drawing a frame of our own
    // here would nest one frame in the other for every mouse movement of a long drag, without
    // bound when the frames are slower than the movements.
    if (drawingDepth_ > 0) {
        host_.PositionChanged();
        return;
    }
    if (DrawFrame(true)) {
        ScheduleIdle();
    }
    host_.PositionChanged();
}

void TTrackView::ScheduleIdle() {
    if (!idleInstalled_ || View().FullFrame || idleQueued_) {
        return;
    }
    idleQueued_ = true;
    // A queued call runs once the events already waiting have been handled; it is posted again
    // only after a frame was drawn, so a view that cannot be drawn does not keep the loop awake.
    QMetaObject::invokeMethod(
        this,
        [this] {
            idleQueued_ = false;
            AppIdle();
        },
        Qt::QueuedConnection);
}

void TTrackView::AppIdle() {
    // Idle time is when no frame is running; one that lets events through is not idle.
    if (View().FullFrame || drawingDepth_ > 0) {
        return;
    }
    if (DrawFrame(true)) {
        ++idleFramesDrawn_;
        ScheduleIdle();
    }
}

void TTrackView::ViewExposed() {
    UpdateProjection();
    RedrawView(false);
}

void TTrackView::Apply(const TViewResult& result) {
    if (result.UpdateProjection) {
        UpdateProjection();
    }
    if (result.Beep) {
        host_.Beep();
    }
    switch (result.Redraw) {
    case TRedraw::None:
        break;
    case TRedraw::Light:
        RedrawView(false);
        break;
    case TRedraw::Full:
        RedrawView(true);
        break;
    }
}

void TTrackView::GrabMapPicture(TGLBMP& image) {
    MakeContextCurrent();
    TMapPictureOptions options;
    const int side = MapPictureSide(*render_, session_.Track(), options);
    {
        // The picture is larger than the view, so it is drawn off screen.
        QOpenGLFramebufferObject picture(side, side, QOpenGLFramebufferObject::Depth);
        picture.bind();
        DrawMapPicture(*render_, glState_, View(), options);
        GrabScreen(image);
        picture.release();
    }
    UpdateProjection();
}

// --- Input ----------------------------------------------------------------------------------

template <typename F> void TTrackView::Guarded(F&& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        host_.ShowErrorText(ErrorTextWithPlace(error));
    }
}

void TTrackView::MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                           int y) {
    TMouseButtons held;
    held.Left = buttons.testFlag(Qt::LeftButton);
    held.Right = buttons.testFlag(Qt::RightButton);
    held.Middle = buttons.testFlag(Qt::MiddleButton);
    if (minimapDragging_ && held.Left) {
        // Dragging over the minimap keeps moving the camera to the cell under the pointer.
        FlyToMinimapPoint(x, y);
        return;
    }
    if (mapClickStart_ && (QPoint(x, y) - *mapClickStart_).manhattanLength() > kClickSlop) {
        mapClickStart_.reset();
    }
    Guarded([&] { Apply(MouseMoveCamera(View(), held, ToModifiers(modifiers), x, y)); });
}

void TTrackView::ViewMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                               int y) {
    MouseMove(buttons, modifiers, x, y);
}

bool TTrackView::NavigationKey(int key, Qt::KeyboardModifiers modifiers) {
    std::optional<TNavigationKey> navigation;
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (key == Qt::Key_Insert) {
        navigation = TNavigationKey::Insert;
    } else if (key == Qt::Key_Delete) {
        navigation = TNavigationKey::Delete;
    } else if (keypad && key == Qt::Key_Minus) {
        navigation = TNavigationKey::KeypadMinus;
    } else if (keypad && key == Qt::Key_Plus) {
        navigation = TNavigationKey::KeypadPlus;
    }
    if (!navigation) {
        return false;
    }
    if (!View().Busy) {
        Guarded([&] { Apply(NavigationKeyDown(View(), *navigation, ToModifiers(modifiers))); });
    }
    return true;
}

bool TTrackView::KeyPress(const QKeyEvent* event) {
    return flyThrough_.KeyPress(event->key()) ||
           FlightKeyChange(event->key(), true, event->isAutoRepeat()) ||
           NavigationKey(event->key(), event->modifiers());
}

bool TTrackView::KeyRelease(const QKeyEvent* event) {
    return FlightKeyChange(event->key(), false, event->isAutoRepeat());
}

void TTrackView::ViewKeyPress(QKeyEvent* event) {
    // A playing fly-through takes its keys before anything else.
    if (flyThrough_.KeyPress(event->key())) {
        return;
    }
    // Shortcuts first, as for a key pressed anywhere else in the window.
    if (host_.RunShortcut(event)) {
        return;
    }
    if (!FlightKeyChange(event->key(), true, event->isAutoRepeat())) {
        NavigationKey(event->key(), event->modifiers());
    }
}

void TTrackView::ViewKeyRelease(QKeyEvent* event) {
    KeyRelease(event);
}

// --- Keyboard flight and the wheel ----------------------------------------------------------

bool TTrackView::FlightKeyChange(int key, bool pressed, bool autoRepeat) {
    const std::optional<TFlightKey> flight = FlightKeyOf(key);
    if (!flight) {
        return false;
    }
    // The system repeats a held key; the timer already moves for as long as it is held.
    if (autoRepeat) {
        return true;
    }
    if (!pressed) {
        SetFlightKey(flightKeys_, *flight, false);
        if (!flightKeys_.Any()) {
            StopFlight();
        }
        return true;
    }
    if (View().Busy || !session_.TrackLoaded()) {
        return true;
    }
    SetFlightKey(flightKeys_, *flight, true);
    if (!flightTimer_.isActive()) {
        // The first step comes at once, so that a short tap moves too.
        flightClock_.start();
        Guarded([&] {
            Apply(FlyStep(View(), flightKeys_,
                          ToModifiers(QGuiApplication::queryKeyboardModifiers()),
                          kFlightTimerMs / 1000.0));
        });
        flightTimer_.start();
    }
    return true;
}

void TTrackView::FlightTick() {
    const double seconds = flightClock_.restart() / 1000.0;
    if (!flightKeys_.Any()) {
        StopFlight();
        return;
    }
    // The modifiers as they are now: Shift or Ctrl pressed while flying changes the speed.
    Guarded([&] {
        Apply(FlyStep(View(), flightKeys_, ToModifiers(QGuiApplication::queryKeyboardModifiers()),
                      seconds));
    });
}

void TTrackView::StopFlight() {
    flightKeys_ = TFlightKeys{};
    flightTimer_.stop();
}

void TTrackView::Wheel(double notches, Qt::KeyboardModifiers modifiers, int x, int y) {
    const TViewPixel pointer{x + 0.5, y + 0.5, width(), height()};
    Guarded([&] { Apply(WheelCamera(View(), notches, ToModifiers(modifiers), pointer)); });
}

void TTrackView::ViewWheel(double notches, Qt::KeyboardModifiers modifiers, int x, int y) {
    Wheel(notches, modifiers, x, y);
}

bool TTrackView::ViewDrop(QDropEvent* event) {
    return host_.AcceptDrop(event);
}

// --- Minimap and map view clicks ------------------------------------------------------------

TViewRect TTrackView::MinimapArea() const {
    return MinimapRect(width(), height());
}

void TTrackView::FlyToMinimapPoint(int x, int y) {
    const TViewRect area = MinimapArea();
    Guarded([&] {
        Apply(MoveFreeCameraToCell(View(), MinimapCellAt(x - area.Left, y - area.Top, area.Width)));
    });
}

void TTrackView::MousePress(Qt::MouseButton button, int x, int y) {
    mapClickStart_.reset();
    clickStart_.reset();
    if (button != Qt::LeftButton || View().Busy || !session_.TrackLoaded()) {
        return;
    }
    if (showMinimap_ && MinimapArea().Contains(x, y)) {
        minimapDragging_ = true;
        FlyToMinimapPoint(x, y);
        return;
    }
    clickStart_ = QPoint(x, y);
    if (View().MapView) {
        mapClickStart_ = QPoint(x, y);
    }
}

void TTrackView::MouseRelease(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton) {
        return;
    }
    // The pointer has moved on since the last movement that counted: start the next drag here.
    View().LastMouseX = x;
    View().LastMouseY = y;
    minimapDragging_ = false;
    const std::optional<QPoint> clicked = std::exchange(clickStart_, std::nullopt);
    if (clicked && pickClick_ && !View().Busy &&
        (QPoint(x, y) - *clicked).manhattanLength() <= kClickSlop &&
        pickClick_(x, y, QGuiApplication::keyboardModifiers())) {
        mapClickStart_.reset();
        return;
    }
    const std::optional<QPoint> start = mapClickStart_;
    mapClickStart_.reset();
    if (!start || !View().MapView || View().Busy ||
        (QPoint(x, y) - *start).manhattanLength() > kClickSlop) {
        return;
    }
    const std::optional<TGroundPoint> ground =
        GroundPointAtPixel(View(), TViewPixel{x + 0.5, y + 0.5, width(), height()});
    if (ground) {
        TCameraPos at;
        at.TransX = static_cast<float>(-ground->X);
        at.TransZ = static_cast<float>(-ground->Z);
        Guarded([&] { Apply(MoveFreeCameraToCell(View(), CameraCell(at))); });
    }
}

void TTrackView::ViewMousePress(Qt::MouseButton button, int x, int y) {
    MousePress(button, x, y);
}

void TTrackView::ViewMouseRelease(Qt::MouseButton button, int x, int y) {
    MouseRelease(button, x, y);
}

// --- Pick and statistics ------------------------------------------------------------------

std::vector<TPickField> TTrackView::PickAt(int x, int y) {
    const TPickScene scene = FramePickScene(*render_, View());
    const TPickHit hit = Pick(scene, PickRay(View(), width(), height(), x, y));
    std::vector<TPickField> answer =
        DescribePick(hit, scene.Track, &session_.Assets(), scene.ModelOf);
    pickOutline_ = PickOutline(scene, hit);
    RedrawView(true);
    return answer;
}

void TTrackView::ClearPick() {
    pickOutline_.clear();
    RedrawView(true);
}

TTrackStatistics TTrackView::Statistics() {
    // The texture sizes are asked of the context.
    MakeContextCurrent();
    return FrameTrackStatistics(*render_, View(), session_.LoadSteps());
}

// --- The overlay ----------------------------------------------------------------------------

void TTrackView::ToggleMinimap() {
    showMinimap_ = !showMinimap_;
    RedrawView(true);
}

void TTrackView::ToggleFrameRate() {
    showFrameRate_ = !showFrameRate_;
    RedrawView(true);
}

std::vector<std::string> TTrackView::OverlayText() const {
    std::vector<std::string> lines =
        OverlayLines(frameRate_.FramesPerSecond(TFrameRateMeter::TClock::now()),
                     frameRate_.LastFrameMilliseconds(), View().Camera, View().ViewDistance);
    if (!flyThroughText_.empty()) {
        lines.push_back(flyThroughText_);
    }
    return lines;
}

void TTrackView::DrawOverlay() {
    if (!showMinimap_ && !showFrameRate_ && flyThroughText_.empty()) {
        return;
    }
    const qreal ratio = viewWindow_->devicePixelRatio();
    TOverlayFrame frame;
    frame.ViewWidth = glState_.PanelWidth();
    frame.ViewHeight = glState_.PanelHeight();
    frame.ShowMinimap = showMinimap_;
    const TViewRect area = MinimapArea();
    frame.Minimap = {static_cast<int>(area.Left * ratio), static_cast<int>(area.Top * ratio),
                     static_cast<int>(area.Width * ratio), static_cast<int>(area.Height * ratio)};
    frame.Marker = MinimapMarker(View().Camera, frame.Minimap.Width);
    if (View().MapView) {
        // The marker shows the free camera, the one a click moves.
        frame.Marker = MinimapMarker(View().SavedCamera, frame.Minimap.Width);
    }
    if (showFrameRate_ || !flyThroughText_.empty()) {
        // A fly-through shows its time even without the frame rate.
        PrepareOverlayText(
            showFrameRate_ ? OverlayText() : std::vector<std::string>{flyThroughText_}, ratio);
        frame.Text = {overlayPicture_.width(), overlayPicture_.height(),
                      overlayPicture_.constBits()};
        frame.TextLeft = static_cast<int>(kOverlayMargin * ratio);
        frame.TextTop = static_cast<int>(kOverlayMargin * ratio);
    }
    overlay_.Draw(frame);
}

void TTrackView::PrepareOverlayText(const std::vector<std::string>& lines, qreal ratio) {
    const std::string text = JoinLines(lines, "\n", -1, "");
    if (text == overlayTextShown_ && !overlayPicture_.isNull()) {
        return;
    }
    // The frame only copies the picture's pixels.
    QFont font = this->font();
    font.setPixelSize(std::max(10, static_cast<int>(13 * ratio)));
    const QFontMetrics metrics(font);
    int textWidth = 0;
    for (const std::string& line : lines) {
        textWidth = std::max(textWidth, metrics.horizontalAdvance(QString::fromStdString(line)));
    }
    const int padding = static_cast<int>(4 * ratio);
    QImage picture(textWidth + 2 * padding,
                   metrics.height() * static_cast<int>(lines.size()) + 2 * padding,
                   QImage::Format_RGBA8888);
    picture.fill(QColor(0, 0, 0, 150));
    QPainter painter(&picture);
    painter.setFont(font);
    painter.setPen(Qt::white);
    for (size_t i = 0; i < lines.size(); ++i) {
        painter.drawText(padding,
                         padding + metrics.ascent() + static_cast<int>(i) * metrics.height(),
                         QString::fromStdString(lines[i]));
    }
    painter.end();
    overlayPicture_ = picture;
    overlayTextShown_ = text;
}
