#include "shell/MainForm.h"

#include "core/base/Errors.h"
#include "core/base/Logging.h"
#include "core/export/TrackExport.h"
#include "core/formats/GLBMP.h"
#include "core/settings/DMGLPrefs.h"
#include "core/settings/IniFile.h"
#include "core/settings/SaveFolders.h"
#include "core/settings/SearchPaths.h"
#include "core/settings/Session.h"
#include "core/settings/Version.h"
#include "core/track/TrackData.h"
#include "core/vfs/FileTools.h"
#include "core/vfs/GameFiles.h"
#include "core/vfs/PodFile.h"
#include "core/view/Camera.h"
#include "core/view/CameraLocations.h"
#include "core/view/ViewCommands.h"
#include "render/ScreenGrab.h"
#include "render/TrackLoader.h"
#include "shell/ProposedFiles.h"
#include "shell/ShellText.h"
#include "shell/WindowPlacement.h"
#include "shell/dialogs/FormArchiveExplorer.h"
#include "shell/dialogs/FormProgress.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QUrl>

#include <chrono>
#include <clocale>
#include <limits>
#include <utility>

namespace {

constexpr int kStatusBarHeight = 19;
constexpr std::array<int, 5> kStatusPanelWidths{400, 60, 30, 50, 60};
// About the widest position text the camera can produce: the status bar's face is chosen so that
// it fits into panel 0.
constexpr const char* kWidestPositionText =
    "POS: (x=-255.0, y=-255.0, alt=-9999.9) HDG: 359.9\u00b0 TLT: -90.0\u00b0 FOV: 180.0\u00b0";
constexpr int kStatusPanelPadding = 8; // frame and margins of a panel

QFont StatusBarFont(QFont font) {
    // The panel widths were made for a small 8-point face; the desktop's usual face is wider and
    // would cut off the end of the position text, the field of view.
    const QString widest = QString::fromUtf8(kWidestPositionText);
    const int room = kStatusPanelWidths[0] - kStatusPanelPadding;
    // A face given in pixels (pointSizeF() is -1 then) is left as it is.
    while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(widest) > room) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    return font;
}

} // namespace

// --- Start-up and shut-down -----------------------------------------------------------------

TFormMain::TFormMain(TStringList commandLine, std::unique_ptr<TMainFormDialogs> dialogs)
    : commandLine_(std::move(commandLine)), dialogs_(std::move(dialogs)) {
    if (!dialogs_) {
        dialogs_ = std::make_unique<TMainFormDialogs>();
    }
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    resize(634, 500);

    BuildStatusBar();
    menu_ = BuildMainMenu(*menuBar(), *this,
                          [this](const std::function<void()>& command) { RunCommand(command); });
    SetMessages(this);
    FormCreate();
}

TFormMain::~TFormMain() {
    SetMessages(nullptr);
    FormDestroy();
}

void TFormMain::BuildStatusBar() {
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(kStatusBarHeight);
    StatusBar1->setFont(StatusBarFont(StatusBar1->font()));
    // The panels keep their widths and are cut off by a narrow window instead of widening it,
    // so they are placed by hand rather than by the status bar's layout.
    const std::array<const char*, 5> texts{
        "POS (99.9, 99.9, 99.9) ROT (999.9, 999.9, 999.9) FoV 999.9", "n/a", "", "WATER",
        "1600x1024"};
    const std::array<Qt::Alignment, 5> alignments{Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignLeft,
                                                  Qt::AlignHCenter, Qt::AlignHCenter};
    for (size_t i = 0; i < StatusPanels.size(); ++i) {
        auto* label = new QLabel(QString::fromUtf8(texts[i]), StatusBar1);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        label->setAlignment(alignments[i] | Qt::AlignVCenter);
        label->setFrameStyle(i == 2 ? QFrame::NoFrame : (QFrame::Panel | QFrame::Sunken));
        label->setContentsMargins(2, 0, 2, 0); // within kStatusPanelPadding
        StatusPanels[i] = label;
    }
    setStatusBar(StatusBar1);
    StatusBar1->installEventFilter(this);
    LayoutStatusPanels();
}

void TFormMain::LayoutStatusPanels() {
    int x = 0;
    for (size_t i = 0; i < StatusPanels.size(); ++i) {
        const int width = i == 2 ? StatusPanels[2]->width() : kStatusPanelWidths[i];
        StatusPanels[i]->setGeometry(x, 0, std::max(width, 0), kStatusBarHeight);
        x += std::max(width, 0);
    }
}

QAction* TFormMain::Action(TMainAction action) const {
    return menu_.Action(action);
}

QMenu* TFormMain::Menu(TMainMenu menu) const {
    return menu_.Menu(menu);
}

void TFormMain::FormCreate() {
    setlocale(LC_NUMERIC, "C");
    SetStatusText(3, "");

    const TVersion version;
    versionText_ = version.FormatVersion("%MAJOR.%MINOR.%RELEASE");
    setWindowTitle(ToDisplayText(MainCaption(versionText_)));

    // The session reads the preferences, the water colour and the search folders.
    session_ = std::make_unique<TTrackSession>(ChooseIniFileName());
    TTrackViewHost& viewHost = *this; // a private base, reachable here and not in make_unique
    view_ = std::make_unique<TTrackView>(*session_, viewHost, this);
    setCentralWidget(view_.get());
    Action(TMainAction::SaveScreenshot)
        ->setText(ToDisplayText(ScreenshotCaption(session_->Prefs().ScreenshotFormat)));

    recent_ = std::make_unique<TRecentArchivesMenu>(
        session_->Ini(), Menu(TMainMenu::RecentArchives),
        Action(TMainAction::RemoveMissingArchives),
        [this](const std::function<void()>& command) { RunCommand(command); },
        [this](const std::string& path) { OpenTrackArchive(path); });
    // An archive deleted or put back since the list was last shown shows as it is now.
    connect(Menu(TMainMenu::File), &QMenu::aboutToShow, this, [this] { recent_->Rebuild(); });
    flyThroughs_ = std::make_unique<TFlyThroughCommands>(*session_, *view_, *dialogs_, this);
    const auto run = [this](const std::function<void()>& command) { RunCommand(command); };
    TTrackReloadHost& reloadHost = *this;
    reloader_ = std::make_unique<TTrackReloader>(
        *session_, *view_, *dialogs_, reloadHost, Action(TMainAction::ReloadTrack),
        Action(TMainAction::ToggleReloadOnChange), run, this);
    picks_ =
        std::make_unique<TPickCommands>(*view_, *this, Action(TMainAction::TogglePickMode), run);

    View().MapView = false;
    View().ResetMouse = false;

    Guarded([this] {
        ResizeView(session_->Ini().ReadInteger(kPreferencesSection, "PanelWidth", 640),
                   session_->Ini().ReadInteger(kPreferencesSection, "PanelHeight", 480));
    });

    SetMenuEnabled(Menu(TMainMenu::View), false);
    SetMenuEnabled(Menu(TMainMenu::Camera), false);
    SetTrackToolsEnabled(false);

    view_->PrepareDrawing();

    View().LastMouseX = -1;
    View().LastMouseY = -1;
    View().BackgroundOffset = 0;
    View().Display.AreaShape = TAreaShape::Circle;

    view_->Apply(ResetCamera(View(), session_->Prefs().ResetViewDistTo));
    view_->Apply(ResetMapView(View()));
    view_->UpdateProjection();

    UpdateLayerStatus();

    Guarded(StartSessionLog);

    View().Busy = true;
    View().FullFrame = true;
    View().LastRedrawTime = std::chrono::steady_clock::now();
}

void TFormMain::FormDestroy() {
    WriteLog("processing TFormMain.FormDestroy:");
    CloseLog();
}

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (commandLineHandled_) {
        return;
    }
    CenterOnScreen(this);
    // The command line may open a track, with dialogs and a progress window: that waits until
    // the window is on screen and the event loop runs.
    QMetaObject::invokeMethod(
        this, [this] { Guarded([this] { FormShow(); }); }, Qt::QueuedConnection);
}

void TFormMain::FormShow() {
    if (commandLineHandled_) {
        return;
    }
    commandLineHandled_ = true;
    if (commandLine_.empty()) {
        return;
    }
    const TCommandLine parsed =
        ParseCommandLine(commandLine_, viewPixels_.Width, viewPixels_.Height,
                         [](const std::string& path) { return FileExists(path); });
    ResizeView(parsed.Width, parsed.Height);
    if (!parsed.Archive.empty()) {
        OpenTrackArchive(parsed.Archive);
    }
}

// --- Window size and status bar -------------------------------------------------------------

void TFormMain::ResizeView(int width, int height) {
    SetViewSize(width, height);
    session_->Ini().WriteInteger(kPreferencesSection, "PanelWidth", viewPixels_.Width);
    session_->Ini().WriteInteger(kPreferencesSection, "PanelHeight", viewPixels_.Height);
    view_->RedrawView(true);
}

void TFormMain::SetViewSize(int width, int height) {
    // Lay the window out now rather than at the next event, so that the panel's size is known
    // and its new size can be stored and drawn at once, also before the window is first shown.
    layout()->invalidate();
    layout()->activate();
    viewPixels_ = {width, height};
    const TViewSize view = FitViewToScreen(ViewSizeInWindowUnits(viewPixels_, devicePixelRatioF()));
    resize(view.Width + (this->width() - view_->width()),
           view.Height + (this->height() - view_->height()));
    // A window that grew to the right or downwards would now reach past the screen's edge.
    KeepOnScreen(this);
    layout()->invalidate();
    layout()->activate();
    view_->PlaceSurface();
    FormResize();
    view_->UpdateProjection();
}

TViewSize TFormMain::FitViewToScreen(TViewSize wanted) const {
    // The frame is known only once the window is on screen and the window manager has framed it;
    // before, frameGeometry() is the window without it.
    const QRect frame = frameGeometry();
    const TViewSize aroundView{frame.width() - view_->width(), frame.height() - view_->height()};
    TViewSize screenArea{std::numeric_limits<int>::max(), std::numeric_limits<int>::max()};
    if (const QScreen* screen = this->screen()) {
        const QSize available = screen->availableGeometry().size();
        screenArea = {available.width(), available.height()};
    }
    return FitViewSize(wanted, screenArea, aroundView);
}

void TFormMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TFormMain::FormResize() {
    const int spacer =
        StatusPanel2Width(StatusBar1->width(), kStatusPanelWidths[0], kStatusPanelWidths[1],
                          kStatusPanelWidths[3], kStatusPanelWidths[4]);
    StatusPanels[2]->resize(spacer, kStatusBarHeight);
    LayoutStatusPanels();
    viewPixels_ =
        ViewPixelsShown(viewPixels_, {view_->width(), view_->height()}, devicePixelRatioF());
    SetStatusText(4, ViewSizeText(viewPixels_.Width, viewPixels_.Height));
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == StatusBar1) {
        FormResize();
    }
    return QMainWindow::eventFilter(watched, event);
}

QString TFormMain::StatusText(int panel) const {
    return StatusPanels[panel]->text();
}

const QLabel* TFormMain::StatusPanel(int panel) const {
    return StatusPanels[panel];
}

void TFormMain::SetStatusText(int panel, const std::string& text) {
    StatusPanels[panel]->setText(ToDisplayText(text));
}

void TFormMain::UpdatePositionStatus() {
    SetStatusText(0, PositionStatusText(View().Camera));
}

void TFormMain::UpdateLayerStatus() {
    SetStatusText(3, LayerStatusText(View().Display));
    UpdateToggleMarks();
}

void TFormMain::UpdateToggleMarks() {
    const TDisplaySettings& display = View().Display;
    Action(TMainAction::ToggleGroundBoxes)->setChecked(display.ShowGroundBoxes);
    Action(TMainAction::CycleObjects)->setChecked(display.ObjectsMode != 0);
    Action(TMainAction::ToggleWater)->setChecked(display.ShowWater);
    Action(TMainAction::ToggleCheckpoints)->setChecked(display.ShowCheckpoints);
    Action(TMainAction::ToggleBackdrop)->setChecked(display.ShowBackdrop);
    Action(TMainAction::ToggleAreaShape)->setChecked(display.AreaShape == TAreaShape::Square);
    Action(TMainAction::ToggleHighTide)->setChecked(display.HighTide);
    Action(TMainAction::ToggleMapView)->setChecked(View().MapView);
    Action(TMainAction::ToggleFollowGroundBoxes)->setChecked(View().FollowGroundBoxes);
    Action(TMainAction::ToggleFollowWater)->setChecked(View().FollowWater);
    Action(TMainAction::ToggleSteeringMode)->setChecked(View().SteeringMode);
    Menu(TMainMenu::FollowTerrain)->menuAction()->setChecked(View().FollowTerrain);
    Action(TMainAction::ToggleMinimap)->setChecked(view_->MinimapShown());
    Action(TMainAction::ToggleFrameRate)->setChecked(view_->FrameRateShown());
    UpdateSkyMenu();
}

void TFormMain::UpdateSkyMenu() {
    for (int sky = 0; sky < 5; ++sky) {
        Action(SkyPresetAction(sky))->setChecked(sky == View().Display.SkyType);
    }
}

// --- Keys -----------------------------------------------------------------------------------

void TFormMain::keyPressEvent(QKeyEvent* event) {
    if (view_->KeyPress(event)) {
        return;
    }
    // Qt's shortcut map passes keys by while the window is not the active one (no window
    // manager, or focus given by a tool): the menu still takes its keys first.
    if (RunShortcut(event)) {
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool TFormMain::RunShortcut(const QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() &
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const QKeySequence pressed(QKeyCombination(modifiers, static_cast<Qt::Key>(event->key())));
    for (QAction* action : menu_.Actions()) {
        if (action->isEnabled() && !action->shortcut().isEmpty() && action->shortcut() == pressed) {
            action->trigger();
            return true;
        }
    }
    return false;
}

void TFormMain::keyReleaseEvent(QKeyEvent* event) {
    if (!view_->KeyRelease(event)) {
        QMainWindow::keyReleaseEvent(event);
    }
}

void TFormMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Keys let go in another window never reach this one.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        view_->StopFlight();
    }
}

// --- Drag and drop, quit -------------------------------------------------------------------

void TFormMain::QuitClick() {
    close();
}

std::optional<std::string> TFormMain::DroppedArchive(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) {
        return std::nullopt;
    }
    const QUrl url = data->urls().first();
    if (!url.isLocalFile()) {
        return std::nullopt;
    }
    const QString path = url.toLocalFile();
    if (!path.endsWith(QStringLiteral(".pod"), Qt::CaseInsensitive) ||
        !FileExists(path.toStdString())) {
        return std::nullopt;
    }
    return path.toStdString();
}

bool TFormMain::AcceptDrop(QDropEvent* event) {
    const std::optional<std::string> archive = DroppedArchive(event->mimeData());
    if (!archive || loading_) {
        event->ignore();
        return false;
    }
    event->acceptProposedAction();
    if (event->type() == QEvent::Drop) {
        // The drop returns to the program it came from before the track loads.
        const std::string path = *archive;
        QMetaObject::invokeMethod(
            this, [this, path] { RunCommand([this, path] { OpenTrackArchive(path); }); },
            Qt::QueuedConnection);
    }
    return true;
}

void TFormMain::dragEnterEvent(QDragEnterEvent* event) {
    AcceptDrop(event);
}

void TFormMain::dragMoveEvent(QDragMoveEvent* event) {
    AcceptDrop(event);
}

void TFormMain::dropEvent(QDropEvent* event) {
    AcceptDrop(event);
}

// --- Messages -------------------------------------------------------------------------------

void TFormMain::RunCommand(const std::function<void()>& command) {
    // Menu shortcuts still arrive while a track loads, through the progress window's event
    // processing; a command then would work on a half-replaced track.
    if (!loading_) {
        Guarded(command);
    }
    // A checkable entry flips its own mark when chosen; the state decides, also for a command
    // that was refused or raised.
    UpdateToggleMarks();
}

void TFormMain::closeEvent(QCloseEvent* event) {
    view_->StopFlight();
    if (loading_) {
        // Closing now would pull the window from under the load; it closes once that is over,
        // so a quit asked for while a load's error box is up still ends the viewer.
        closeAfterLoad_ = true;
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

template <typename F> void TFormMain::Guarded(F&& command) {
    try {
        command();
    } catch (const std::exception& error) {
        ShowErrorText(ErrorTextWithPlace(error));
    }
}

void TFormMain::ShowErrorText(const std::string& text) {
    dialogs_->ShowError(this, text);
}

void TFormMain::ShowMessage(const std::string& text, const std::string& caption) {
    dialogs_->ShowMessage(this, text, caption);
}

// --- Opening a track ------------------------------------------------------------------------

void TFormMain::Open1Click() {
    View().Busy = true;
    View().ResetMouse = true;
    const std::optional<std::string> chosen = dialogs_->OpenArchiveName(
        this, session_->Ini().ReadString(kPreferencesSection, "LastTrackDir", ""));
    if (chosen) {
        OpenTrackArchive(*chosen);
    }
    View().Busy = false;
    view_->RedrawView(false);
}

void TFormMain::OpenTrackArchive(const std::string& path) {
    RunAsLoad([this, &path] {
        try {
            // The new archive replaces the old one only once it could be read, so a file that
            // cannot be opened leaves the track on screen and drawable.
            session_->UseArchive(TPodFile(path));
            const std::optional<std::string> chosen = session_->ChooseTrack(
                [this](const TStringList& names) { return dialogs_->SelectTrack(this, names); });
            if (session_->Archive()->SitEntries().empty()) {
                ShowMessage("No track found in POD file.", kApplicationTitle);
            }
            if (chosen) {
                LoadChosenTrack(path, *chosen);
            }
        } catch (const std::exception& error) {
            ShowErrorText(ErrorTextWithPlace(error));
        }
    });
}

bool TFormMain::RunAsLoad(const std::function<void()>& load) {
    if (loading_) {
        return false;
    }
    loading_ = true;
    reloader_->SetLoading(true);
    View().Busy = true;
    View().ResetMouse = true;
    const auto finish = [this] {
        loading_ = false;
        View().Busy = false;
        reloader_->SetLoading(false);
        if (std::exchange(closeAfterLoad_, false)) {
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
            return;
        }
        view_->RedrawView(false);
    };
    try {
        load();
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return true;
}

void TFormMain::LoadChosenTrack(const std::string& archivePath, const std::string& sitEntry) {
    // A fly-through belongs to the track it was started on.
    if (view_->FlyThrough().Active()) {
        view_->FlyThrough().Stop();
    }
    session_->Ini().WriteString(kPreferencesSection, "LastTrackDir", FolderOf(archivePath));

    TViewResult placed;
    {
        TFormProgress progress(this);
        progress.SetCaption("Loading track");
        progress.show();
        QCoreApplication::processEvents();
        view_->MakeContextCurrent();
        TRenderTrackLoader loader(view_->Render());
        placed = session_->OpenTrack(sitEntry, progress, loader);
        view_->UploadMinimap();
    }
    recent_->Remember(archivePath);
    reloader_->TrackLoaded();

    if (!session_->Warnings().empty()) {
        ShowMessage(LoadWarningsMessage(session_->Warnings()), kApplicationTitle);
    }

    SetMenuEnabled(Menu(TMainMenu::View), true);
    SetMenuEnabled(Menu(TMainMenu::Camera), true);
    SetTrackToolsEnabled(true);

    Action(TMainAction::ToggleMapView)->setChecked(View().MapView);
    UpdateLayerStatus();
    UpdateSkyMenu();

    TrackReplaced();
    view_->ShowOpenedTrack(placed);
}

void TFormMain::TrackReplaced() {
    setWindowTitle(ToDisplayText(TrackCaption(versionText_, session_->Track().TrackName,
                                              session_->Archive()->ArchivePath())));
}

void TFormMain::ShowReloadStatus(const std::string& text, const std::string& details) {
    SetStatusText(2, text);
    StatusPanels[2]->setToolTip(ToDisplayText(details.empty() ? text : details));
}

void TFormMain::GoToStartGrid() {
    view_->Apply(::GoToStartGrid(View()));
}

// --- Camera locations and map view ----------------------------------------------------------

void TFormMain::SaveCameraLocation(int slot) {
    ::SaveCameraLocation(session_->Ini(), View(), session_->Track().TrackName, slot);
}

void TFormMain::RestoreCameraLocation(int slot) {
    TViewResult result =
        ::RestoreCameraLocation(session_->Ini(), View(), session_->Track().TrackName, slot);
    Action(TMainAction::ToggleMapView)->setChecked(View().MapView);
    // The caller decides about the redraw: the menu command draws a full frame, the track open
    // draws once it has finished.
    result.Redraw = TRedraw::None;
    view_->Apply(result);
}

void TFormMain::RestoreCameraClick(int slot) {
    RestoreCameraLocation(slot);
    view_->RedrawView(true);
}

void TFormMain::Mapviewtoggle1Click() {
    const TViewResult result = ToggleMapView(View());
    Action(TMainAction::ToggleMapView)->setChecked(View().MapView);
    view_->Apply(result);
}

void TFormMain::Resetmapview1Click() {
    view_->Apply(ResetMapView(View()));
}

// --- Menu commands --------------------------------------------------------------------------

void TFormMain::Editsearchpaths1Click() {
    dialogs_->EditSearchPaths(this, session_->Ini(), session_->SearchPaths());
    session_->SearchAgain();
}

void TFormMain::Preferences1Click() {
    if (dialogs_->EditPreferences(this, session_->Prefs())) {
        Action(TMainAction::SaveScreenshot)
            ->setText(ToDisplayText(ScreenshotCaption(session_->Prefs().ScreenshotFormat)));
        View().HideObjectsWhileMovingFor = session_->Prefs().HideObjectsWhileMovingFor;
    }
    view_->RedrawView(true);
}

void TFormMain::N320x2401Click() {
    ResizeView(320, 240);
}
void TFormMain::N640x4801Click() {
    ResizeView(640, 480);
}
void TFormMain::N800x6001Click() {
    ResizeView(800, 600);
}
void TFormMain::N1024x7681Click() {
    ResizeView(1024, 768);
}
void TFormMain::N178x126QRX11Click() {
    ResizeView(178, 126);
}
void TFormMain::N257x210QRX21Click() {
    ResizeView(257, 210);
}

void TFormMain::CustomSize1Click() {
    const int width =
        CustomSizeValue(dialogs_->AskText(this, "3d View", "Please enter 3d view width",
                                          std::to_string(viewPixels_.Width)),
                        viewPixels_.Width, kMinCustomWidth);
    const int height =
        CustomSizeValue(dialogs_->AskText(this, "3d View", "Please enter 3d view height",
                                          std::to_string(viewPixels_.Height)),
                        viewPixels_.Height, kMinCustomHeight);
    ResizeView(width, height);
}

void TFormMain::ToggleGroundBoxes1Click() {
    ToggleGroundBoxes(View().Display);
    UpdateLayerStatus();
    view_->RedrawView(true);
}

void TFormMain::oggleobjects1Click() {
    ToggleObjects(View().Display);
    UpdateLayerStatus();
    view_->RedrawView(true);
}

void TFormMain::ToggleWater1Click() {
    ToggleWater(View().Display);
    UpdateLayerStatus();
    view_->RedrawView(true);
}

void TFormMain::ToggleCheckpoints1Click() {
    ToggleCheckpoints(View().Display);
    UpdateLayerStatus();
    view_->RedrawView(true);
}

void TFormMain::oggleBackdrop1Click() {
    ToggleBackdrop(View().Display);
    UpdateToggleMarks();
    view_->RedrawView(true);
}

void TFormMain::oggleareashape1Click() {
    ToggleAreaShape(View().Display);
    UpdateToggleMarks();
    view_->RedrawView(true);
}

void TFormMain::SelectSky(int skyType) {
    SelectSkyPreset(View().Display, skyType);
    UpdateSkyMenu();
    view_->RedrawView(true);
}

void TFormMain::NextSkybox1Click() {
    NextSkyPreset(View().Display);
    UpdateSkyMenu();
    view_->RedrawView(true);
}

void TFormMain::Resetbackgroundoffset1Click() {
    ResetBackgroundOffset(View());
    view_->RedrawView(true);
}

void TFormMain::AdjustWaterDisplay1Click() {
    dialogs_->EditWaterColor(this, View().WaterColor, session_->Ini());
    view_->RedrawView(true);
}

void TFormMain::Hightide1Click() {
    ToggleHighTide(View().Display);
    Action(TMainAction::ToggleHighTide)->setChecked(View().Display.HighTide);
    view_->RedrawView(true);
}

void TFormMain::Save1Click() {
    const std::string format = session_->Prefs().ScreenshotFormat;
    const std::optional<std::string> chosen = dialogs_->SaveScreenshotName(
        this,
        ScreenshotStartFolder(
            session_->Ini().ReadString(kPreferencesSection, "LastScreenshotDir", "")),
        ProposedScreenshotName(session_->Track().TrackName, format), ScreenshotFilterIndex(format));
    if (!chosen) {
        return;
    }

    TGLBMP image;
    image.SetJPEGQuality(session_->Prefs().JPEGQuality);
    const std::string fileName = ScreenshotFileName(*chosen, format);
    session_->RefuseToOverwrite(fileName);
    // The overwrite question comes before the frame is drawn: a dialog lets the view repaint,
    // which would present the back buffer and leave nothing defined in it to read.
    if (!FileExists(fileName) || dialogs_->AskYesNo(this, "Overwrite existing file?")) {
        try {
            view_->DrawFrame(false);
            // The JPEG and PNG writers and an unknown format only answer false; a beep then
            // would tell the user a picture was saved that is not there.
            if (SaveScreenshot(image, fileName)) {
                // Only a folder that took a picture is offered again.
                session_->Ini().WriteString(kPreferencesSection, "LastScreenshotDir",
                                            FolderOf(fileName));
                dialogs_->Beep();
            } else {
                ShowErrorText(CannotWriteText(fileName));
            }
        } catch (const EInOutError& error) {
            ShowErrorText(error.what());
        }
    }
    view_->RedrawView(true);
}

void TFormMain::MinimapClick() {
    view_->ToggleMinimap();
}

void TFormMain::ShowFrameRateClick() {
    view_->ToggleFrameRate();
}

void TFormMain::SetTrackToolsEnabled(bool enabled) {
    for (const TMainAction action : {TMainAction::ExportGltf, TMainAction::SaveMapPicture,
                                     TMainAction::RecordFlyThrough, TMainAction::ShowTrackReport}) {
        Action(action)->setEnabled(enabled);
    }
}

void TFormMain::ExportglTF1Click() {
    const std::optional<std::string> chosen = dialogs_->SaveFileName(
        this, "Export glTF", ProposedTrackFileName(*session_, TSavedFileKind::Gltf, "glb"),
        "glTF binary (*.glb)");
    if (!chosen) {
        return;
    }
    const std::string fileName = ScreenshotFileName(*chosen, "glb");
    session_->RefuseToOverwrite(fileName);
    TGameFiles files = session_->Files();
    TTrackExportOptions options;
    options.WaterColor = View().WaterColor;
    ExportTrackGlb(fileName, session_->Track(), files, session_->Palettes(), options);
    RememberSaveFolder(session_->Ini(), TSavedFileKind::Gltf, fileName);
    dialogs_->Beep();
}

void TFormMain::Savemappicture1Click() {
    const std::optional<std::string> chosen = dialogs_->SaveFileName(
        this, "Save map picture",
        ProposedTrackFileName(*session_, TSavedFileKind::MapPicture, "png"), "PNG image (*.png)");
    if (!chosen) {
        return;
    }
    const std::string fileName = ScreenshotFileName(*chosen, "png");
    session_->RefuseToOverwrite(fileName);
    TGLBMP image;
    view_->GrabMapPicture(image);
    if (image.SavePNG(fileName)) {
        RememberSaveFolder(session_->Ini(), TSavedFileKind::MapPicture, fileName);
        dialogs_->Beep();
    } else {
        ShowErrorText(CannotWriteText(fileName));
    }
    view_->RedrawView(true);
}

void TFormMain::Trackreport1Click() {
    dialogs_->ShowTrackReport(this, session_->Assets().Records(),
                              FormatTrackStatistics(view_->Statistics()));
}

void TFormMain::Explorearchive1Click() {
    const TPodFile* archive = session_->Archive();
    ShowArchiveExplorer(this, archive != nullptr ? archive->ArchivePath() : "",
                        session_->SearchPaths());
}

void TFormMain::Activate1Click() {
    Action(TMainAction::ToggleFollowTerrain)->setText(ToDisplayText(ToggleFollowTerrain(View())));
    Menu(TMainMenu::FollowTerrain)->menuAction()->setChecked(View().FollowTerrain);
}

void TFormMain::FollowGroundBoxes1Click() {
    View().FollowGroundBoxes = !View().FollowGroundBoxes;
    Action(TMainAction::ToggleFollowGroundBoxes)->setChecked(View().FollowGroundBoxes);
}

void TFormMain::FollowWater1Click() {
    View().FollowWater = !View().FollowWater;
    Action(TMainAction::ToggleFollowWater)->setChecked(View().FollowWater);
}

void TFormMain::Steeringmode1Click() {
    View().SteeringMode = !View().SteeringMode;
    Action(TMainAction::ToggleSteeringMode)->setChecked(View().SteeringMode);
}

void TFormMain::N1Click() {
    dialogs_->ShowReadme(this);
}
void TFormMain::Keyboardlayout1Click() {
    dialogs_->ShowKeyboard(this);
}
void TFormMain::AboutDunmereGL1Click() {
    dialogs_->ShowAbout(this);
}

void TFormMain::GetFPS1Click() {
    const int before = view_->FramesDrawn();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFpsTestFrames; ++i) {
        view_->RedrawView(true);
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    ShowMessage(FpsMessage(view_->FramesDrawn() - before, elapsed.count()), kFpsTestTitle);
}
