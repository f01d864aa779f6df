#include "shell/MainForm.h"

#include "core/base/Errors.h"
#include "core/base/Logging.h"
#include "core/base/ProgramFolder.h"
#include "core/formats/GLBMP.h"
#include "core/settings/DMGLPrefs.h"
#include "core/settings/IniFile.h"
#include "core/settings/SearchPaths.h"
#include "core/settings/Session.h"
#include "core/settings/Version.h"
#include "core/track/TrackData.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "core/view/Camera.h"
#include "core/view/CameraLocations.h"
#include "core/view/ViewCommands.h"
#include "render/FrameRender.h"
#include "render/ScreenGrab.h"
#include "render/TrackLoader.h"
#include "shell/FileDialogIcons.h"
#include "shell/ShellText.h"
#include "shell/WindowPlacement.h"
#include "shell/dialogs/FormAbout.h"
#include "shell/dialogs/FormKeyboard.h"
#include "shell/dialogs/FormPrefs.h"
#include "shell/dialogs/FormProgress.h"
#include "shell/dialogs/FormReadme.h"
#include "shell/dialogs/FormSearchPaths.h"
#include "shell/dialogs/FormWaterPrefs.h"
#include "shell/dialogs/SitSelect.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>

#include <chrono>
#include <clocale>
#include <filesystem>
#include <limits>

namespace {

constexpr const char* kApplicationTitle = "Dunmere GL";
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

std::string FolderOf(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    std::string folder = info.absolutePath().toStdString();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

// Where the screenshot dialog opens: the last screenshot's folder while it exists, otherwise the
// user's pictures folder or, without one, the home folder. Left empty, the dialog would open
// where the Open dialog was last, the game's folder.
std::string ScreenshotStartFolder(const std::string& lastFolder) {
    if (!lastFolder.empty() && QFileInfo(QString::fromStdString(lastFolder)).isDir()) {
        return lastFolder;
    }
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir()) {
        return pictures.toStdString();
    }
    return QDir::homePath().toStdString();
}

// "desc|pattern|desc|pattern" as Qt's list of "desc" filters; the descriptions already name
// their patterns in parentheses, which is what Qt matches.
QStringList QtFilters(const std::string& filter) {
    QStringList result;
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        result << parts[i];
    }
    return result;
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

TModifiers ToModifiers(Qt::KeyboardModifiers modifiers) {
    TModifiers result;
    result.Shift = modifiers.testFlag(Qt::ShiftModifier);
    result.Ctrl = modifiers.testFlag(Qt::ControlModifier);
    result.Alt = modifiers.testFlag(Qt::AltModifier);
    return result;
}

// Enables or disables a whole menu, including the shortcuts of its entries, which Qt would
// otherwise keep live while only the menu title is disabled.
void SetMenuEnabled(QMenu* menu, bool enabled) {
    menu->menuAction()->setEnabled(enabled);
    for (QAction* action : menu->actions()) {
        action->setEnabled(enabled);
        if (QMenu* sub = action->menu()) {
            SetMenuEnabled(sub, enabled);
        }
    }
}

} // namespace

// --- Default dialogs ------------------------------------------------------------------------

void TMainFormDialogs::ShowMessage(QWidget* parent, const std::string& text,
                                   const std::string& caption) {
    QMessageBox box(QMessageBox::NoIcon, ToDisplayText(caption), ToMessageText(text),
                    QMessageBox::Ok, parent);
    box.exec();
}

void TMainFormDialogs::ShowError(QWidget* parent, const std::string& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle),
                    ToMessageText(text), QMessageBox::Ok, parent);
    box.exec();
}

bool TMainFormDialogs::AskYesNo(QWidget* parent, const std::string& text) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kApplicationTitle),
                    ToMessageText(text), QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

void TMainFormDialogs::Beep() {
    QApplication::beep();
}

std::optional<std::string> TMainFormDialogs::OpenArchiveName(QWidget* parent,
                                                             const std::string& folder) {
    TFileNameIconProvider icons;
    QFileDialog dialog(parent, QStringLiteral("Open"), QString::fromStdString(folder));
    dialog.setIconProvider(&icons);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Qt's own dialog, so that *.POD also matches the lower-case names of Unix copies.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.setNameFilter(QStringLiteral("POD Files (*.POD)"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> TMainFormDialogs::SaveScreenshotName(QWidget* parent,
                                                                const std::string& folder,
                                                                const std::string& proposedName,
                                                                int filterIndex) {
    TFileNameIconProvider icons;
    QFileDialog dialog(parent, QStringLiteral("Save As"), QString::fromStdString(folder));
    dialog.setIconProvider(&icons);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The command asks its own overwrite question once the extension is settled.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    const QStringList filters = QtFilters(kScreenshotFilter);
    dialog.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters[filterIndex - 1]);
    }
    dialog.selectFile(ToDisplayText(proposedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> TMainFormDialogs::AskText(QWidget* parent, const std::string& title,
                                                     const std::string& prompt,
                                                     const std::string& value) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, ToDisplayText(title), ToDisplayText(prompt),
                              QLineEdit::Normal, ToDisplayText(value), &ok);
    if (!ok) {
        return std::nullopt;
    }
    return FromDisplayText(answer);
}

int TMainFormDialogs::SelectTrack(QWidget* parent, const TStringList& trackNames) {
    return SelectSitEntry(trackNames, parent);
}

bool TMainFormDialogs::EditSearchPaths(QWidget* parent, TIniFile& ini, TStringList& searchPaths) {
    return ::EditSearchPaths(ini, searchPaths, parent);
}

bool TMainFormDialogs::EditPreferences(QWidget* parent, TDMGLPrefs& prefs) {
    return RunPreferencesDialog(prefs, parent);
}

bool TMainFormDialogs::EditWaterColor(QWidget* parent, TColor4& waterColor, TIniFile& ini) {
    return RunWaterDialog(waterColor, ini, parent);
}

void TMainFormDialogs::ShowReadme(QWidget* parent) {
    ::ShowReadme(parent);
}
void TMainFormDialogs::ShowKeyboard(QWidget* parent) {
    ::ShowKeyboard(parent);
}
void TMainFormDialogs::ShowAbout(QWidget* parent) {
    ::ShowAbout(parent);
}

// --- Frame host -----------------------------------------------------------------------------

class TFormMain::TFrameHostImpl : public TFrameHost {
public:
    explicit TFrameHostImpl(TFormMain& form) : form_(form) {}

    void SetHourglassCursor(bool on) override {
        if (on) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QApplication::restoreOverrideCursor();
        }
    }
    void SetDrawStatus(const std::string& text) override { form_.SetStatusText(1, text); }
    void ProcessPendingEvents() override {
        QCoreApplication::processEvents();
        // A handler that ran may have made the context current elsewhere (a track load while
        // the view was hidden); the frame goes to the view.
        form_.MakeCurrent();
    }

private:
    TFormMain& form_;
};

// --- Start-up and shut-down -----------------------------------------------------------------

TFormMain::TFormMain(TStringList commandLine, std::unique_ptr<TMainFormDialogs> dialogs)
    : commandLine_(std::move(commandLine)), dialogs_(std::move(dialogs)),
      frameHost_(std::make_unique<TFrameHostImpl>(*this)) {
    if (!dialogs_) {
        dialogs_ = std::make_unique<TMainFormDialogs>();
    }
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setFocusPolicy(Qt::StrongFocus);
    resize(634, 500);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->installEventFilter(this);
    Panel1Caption = new QLabel(QStringLiteral("Please open a track ..."), Panel1);
    Panel1Caption->setAlignment(Qt::AlignCenter);
    viewWindow_ = new TViewWindow(*this);
    Panel1View = QWidget::createWindowContainer(viewWindow_, Panel1);
    Panel1View->setFocusPolicy(Qt::NoFocus);
    Panel1View->hide();
    setCentralWidget(Panel1);

    BuildStatusBar();
    BuildMenu();
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

void TFormMain::BuildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    const auto entry = [this](QMenu* menu, const char* caption, const char* name,
                              const QKeySequence& shortcut, void (TFormMain::*handler)()) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromUtf8(name));
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        if (handler != nullptr) {
            connect(action, &QAction::triggered, this,
                    [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); });
        }
        return action;
    };
    const auto checkable = [](QAction* action, bool checked) {
        action->setCheckable(true);
        action->setChecked(checked);
        return action;
    };

    File1 = bar->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    Open1 = entry(File1, "Open...", "Open1", QKeySequence(Qt::CTRL | Qt::Key_O),
                  &TFormMain::Open1Click);
    File1->addSeparator();
    Editsearchpaths1 = entry(File1, "Edit search paths ...", "Editsearchpaths1", {},
                             &TFormMain::Editsearchpaths1Click);
    Preferences1 = entry(File1, "Preferences", "Preferences1", QKeySequence(Qt::Key_F12),
                         &TFormMain::Preferences1Click);

    View1 = bar->addMenu(QStringLiteral("&View"));
    View1->setObjectName(QStringLiteral("View1"));
    Resizeto1 = View1->addMenu(QStringLiteral("Resize to ..."));
    Resizeto1->setObjectName(QStringLiteral("Resizeto1"));
    N320x2401 = entry(Resizeto1, "320 x 240", "N320x2401", {}, &TFormMain::N320x2401Click);
    N640x4801 = entry(Resizeto1, "640 x 480", "N640x4801", {}, &TFormMain::N640x4801Click);
    N800x6001 = entry(Resizeto1, "800 x 600", "N800x6001", {}, &TFormMain::N800x6001Click);
    N1024x7681 = entry(Resizeto1, "1024 x 768", "N1024x7681", {}, &TFormMain::N1024x7681Click);
    Resizeto1->addSeparator();
    N178x126QRX11 =
        entry(Resizeto1, "178 x 126 (QRX1)", "N178x126QRX11", {}, &TFormMain::N178x126QRX11Click);
    N257x210QRX21 =
        entry(Resizeto1, "257 x 210 (QRX2)", "N257x210QRX21", {}, &TFormMain::N257x210QRX21Click);
    Resizeto1->addSeparator();
    CustomSize1 = entry(Resizeto1, "Custom ...", "CustomSize1", {}, &TFormMain::CustomSize1Click);
    View1->addSeparator();
    ToggleGroundBoxes1 = entry(View1, "Toggle ground boxes", "ToggleGroundBoxes1",
                               QKeySequence(Qt::Key_B), &TFormMain::ToggleGroundBoxes1Click);
    oggleobjects1 = entry(View1, "Toggle objects", "oggleobjects1", QKeySequence(Qt::Key_O),
                          &TFormMain::oggleobjects1Click);
    ToggleWater1 = entry(View1, "Toggle water", "ToggleWater1", QKeySequence(Qt::Key_W),
                         &TFormMain::ToggleWater1Click);
    ToggleCheckpoints1 = entry(View1, "Toggle checkpoints", "ToggleCheckpoints1",
                               QKeySequence(Qt::Key_C), &TFormMain::ToggleCheckpoints1Click);
    View1->addSeparator();
    oggleBackdrop1 = entry(View1, "Toggle backdrop", "oggleBackdrop1", QKeySequence(Qt::Key_D),
                           &TFormMain::oggleBackdrop1Click);
    oggleareashape1 = entry(View1, "Toggle area shape", "oggleareashape1", QKeySequence(Qt::Key_S),
                            &TFormMain::oggleareashape1Click);
    Skybox1 = View1->addMenu(QStringLiteral("Skybox"));
    Skybox1->setObjectName(QStringLiteral("Skybox1"));
    NextSkybox1 = entry(Skybox1, "Next skybox", "NextSkybox1", QKeySequence(Qt::CTRL | Qt::Key_S),
                        &TFormMain::NextSkybox1Click);
    Skybox1->addSeparator();
    const std::array<const char*, 5> skyNames{"SkyNone1", "SkyClear1", "SkyCloudy1", "SkyDusk1",
                                              "SkyNight1"};
    for (int sky = 0; sky < 5; ++sky) {
        QAction* action = entry(Skybox1, kSkyPresets[sky].Caption, skyNames[sky], {}, nullptr);
        checkable(action, sky == 1);
        connect(action, &QAction::triggered, this,
                [this, sky] { RunCommand([this, sky] { SelectSky(sky); }); });
        SkyEntries[sky] = action;
    }
    View1->addSeparator();
    // Labels only: the keypad keys they name belong to the key handler, so the entries carry no
    // shortcut and show the key as text.
    Increasedrawdistance1 =
        entry(View1, "Increase draw distance\tNum +", "Increasedrawdistance1", {}, nullptr);
    Decreasedrawdistance1 =
        entry(View1, "Decrease draw distance\tNum -", "Decreasedrawdistance1", {}, nullptr);
    Resetbackgroundoffset1 = entry(View1, "Reset background offset", "Resetbackgroundoffset1", {},
                                   &TFormMain::Resetbackgroundoffset1Click);
    View1->addSeparator();
    AdjustWaterDisplay1 =
        entry(View1, "Adjust water display", "AdjustWaterDisplay1",
              QKeySequence(Qt::CTRL | Qt::Key_W), &TFormMain::AdjustWaterDisplay1Click);
    Hightide1 =
        checkable(entry(View1, "High tide", "Hightide1", {}, &TFormMain::Hightide1Click), false);
    View1->addSeparator();
    Save1 = entry(View1, "Take JPEG screenshot ...", "Save1", QKeySequence(Qt::CTRL | Qt::Key_J),
                  &TFormMain::Save1Click);

    Camera1 = bar->addMenu(QStringLiteral("Camera"));
    Camera1->setObjectName(QStringLiteral("Camera1"));
    FollowElevation1 = Camera1->addMenu(QStringLiteral("Follow terrain"));
    FollowElevation1->setObjectName(QStringLiteral("FollowElevation1"));
    checkable(FollowElevation1->menuAction(), false);
    Activate1 = entry(FollowElevation1, "Activate", "Activate1", QKeySequence(Qt::CTRL | Qt::Key_F),
                      &TFormMain::Activate1Click);
    FollowElevation1->addSeparator();
    FollowGroundBoxes1 =
        checkable(entry(FollowElevation1, "Follow ground boxes", "FollowGroundBoxes1", {},
                        &TFormMain::FollowGroundBoxes1Click),
                  true);
    FollowWater1 = checkable(
        entry(FollowElevation1, "Follow water", "FollowWater1", {}, &TFormMain::FollowWater1Click),
        true);
    Steeringmode1 = checkable(entry(FollowElevation1, "Steering mode", "Steeringmode1", {},
                                    &TFormMain::Steeringmode1Click),
                              true);
    Camera1->addSeparator();
    const std::array<Qt::Key, 6> digits{Qt::Key_0, Qt::Key_1, Qt::Key_2,
                                        Qt::Key_3, Qt::Key_4, Qt::Key_5};
    const auto slotEntry = [&](int slot, bool save) {
        const std::string caption =
            slot == 0 ? std::string(save ? "Save" : "Restore") + " default location"
                      : Format("%s location %d", save ? "Save" : "Restore", slot);
        const std::string name = slot == 0
                                     ? (save ? "SaveDefaultCameraPos1" : "RestoreDefaultCameraPos1")
                                     : Format("%sCamera%d1", save ? "Save" : "Restore", slot);
        const QKeySequence shortcut =
            save ? QKeySequence(Qt::CTRL | digits[slot]) : QKeySequence(digits[slot]);
        QAction* action = entry(Camera1, caption.c_str(), name.c_str(), shortcut, nullptr);
        connect(action, &QAction::triggered, this, [this, slot, save] {
            RunCommand([this, slot, save] {
                if (save) {
                    SaveCameraLocation(slot);
                } else {
                    RestoreCameraLocation(slot);
                    RedrawView(true);
                }
            });
        });
        return action;
    };
    for (int slot = 1; slot <= 5; ++slot) {
        SaveCameraEntries[slot] = slotEntry(slot, true);
    }
    SaveCameraEntries[0] = slotEntry(0, true);
    Camera1->addSeparator();
    for (int slot = 1; slot <= 5; ++slot) {
        RestoreCameraEntries[slot] = slotEntry(slot, false);
    }
    RestoreCameraEntries[0] = slotEntry(0, false);
    Camera1->addSeparator();
    Mapviewtoggle1 = checkable(entry(Camera1, "Map view (toggle)", "Mapviewtoggle1",
                                     QKeySequence(Qt::Key_9), &TFormMain::Mapviewtoggle1Click),
                               false);
    Resetmapview1 = entry(Camera1, "Reset map view", "Resetmapview1",
                          QKeySequence(Qt::CTRL | Qt::Key_9), &TFormMain::Resetmapview1Click);

    Help1 = bar->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    N1 = entry(Help1, "Readme.txt", "N1", {}, &TFormMain::N1Click);
    Keyboardlayout1 = entry(Help1, "Keyboard layout ...", "Keyboardlayout1", {},
                            &TFormMain::Keyboardlayout1Click);
    AboutDunmereGL1 =
        entry(Help1, "About Dunmere GL", "AboutDunmereGL1", {}, &TFormMain::AboutDunmereGL1Click);
    Help1->addSeparator();
    GetFPS1 = entry(Help1, "Test FPS", "GetFPS1", QKeySequence(Qt::CTRL | Qt::Key_F1),
                    &TFormMain::GetFPS1Click);
}

void TFormMain::FormCreate() {
    setlocale(LC_NUMERIC, "C");
    SetStatusText(3, "");

    const TVersion version;
    VersionText = version.FormatVersion("%MAJOR.%MINOR.%RELEASE");
    setWindowTitle(ToDisplayText(MainCaption(VersionText)));

    const std::string iniFileName = ChooseIniFileName();
    Prefs = std::make_unique<TDMGLPrefs>(iniFileName);
    Save1->setText(ToDisplayText(ScreenshotCaption(Prefs->ScreenshotFormat)));
    View.HideObjectsWhileMovingFor = Prefs->HideObjectsWhileMovingFor;

    IniFile = std::make_unique<TIniFile>(iniFileName);

    SearchPaths = LoadSearchPaths(*IniFile);
    FileFinder = std::make_unique<TQRXFileFinder>();
    BuildSearchFolders(*FileFinder, SearchPaths);

    glContext_ = std::make_unique<QOpenGLContext>();
    glContext_->setFormat(ViewSurfaceFormat());
    if (!glContext_->create()) {
        throw EDunmereError("Unable to create an OpenGL rendering context.");
    }
    // Until the view window is on screen the context is made current on a hidden surface, so
    // the fixed state, the fallback texture and a command-line load have a context to go to.
    offscreen_ = std::make_unique<QOffscreenSurface>();
    offscreen_->setFormat(glContext_->format());
    offscreen_->create();
    if (!MakeCurrent()) {
        throw EDunmereError("Unable to make the OpenGL rendering context current.");
    }

    View.MapView = false;
    View.ResetMouse = false;

    Guarded([this] {
        ResizeView(IniFile->ReadInteger(kPreferencesSection, "PanelWidth", 640),
                   IniFile->ReadInteger(kPreferencesSection, "PanelHeight", 480));
    });

    SetMenuEnabled(View1, false);
    SetMenuEnabled(Camera1, false);

    InitGLState();
    render_.Textures.LoadMissingTexture();
    Panel1Resize();

    View.LastMouseX = -1;
    View.LastMouseY = -1;
    View.BackgroundOffset = 0;
    View.Display.AreaShape = TAreaShape::Circle;

    Apply(ResetCamera(View, Prefs->ResetViewDistTo));
    Apply(ResetMapView(View));
    Panel1Resize();
    CurrentPod.reset();

    View.WaterColor = ReadWaterColor(*IniFile);

    UpdateLayerStatus();

    Guarded(StartSessionLog);

    View.Busy = true;
    View.FullFrame = true;
    View.LastRedrawTime = std::chrono::steady_clock::now();
}

void TFormMain::FormDestroy() {
    try {
        WriteLog("processing TFormMain.FormDestroy:");
    } catch (const std::exception&) {
        // A log that cannot be written any more must not stop the shut-down.
    }
    CloseLog();
    FileFinder.reset();
    SearchPaths.clear();
    IniFile.reset();
    Prefs.reset();
    CurrentPod.reset();
    // The stores' textures and display lists belong to this context: free them while it is
    // current, then release it.
    if (glContext_ && MakeCurrent()) {
        render_.Textures.ClearTextures();
        render_.Models.ClearBINModels();
        glContext_->doneCurrent();
    }
    glContext_.reset();
    offscreen_.reset();
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
        ParseCommandLine(commandLine_, Panel1->width(), Panel1->height(),
                         [](const std::string& path) { return FileExists(path); });
    ResizeView(parsed.Width, parsed.Height);
    if (!parsed.Archive.empty() && FileExists(parsed.Archive)) {
        OpenTrackArchive(parsed.Archive);
    }
}

// --- Window size and status bar -------------------------------------------------------------

void TFormMain::ResizeView(int width, int height) {
    SetViewSize(width, height);
    IniFile->WriteInteger(kPreferencesSection, "PanelWidth", Panel1->width());
    IniFile->WriteInteger(kPreferencesSection, "PanelHeight", Panel1->height());
    RedrawView(true);
}

void TFormMain::SetViewSize(int width, int height) {
    // Lay the window out now rather than at the next event, so that the panel's size is known
    // and its new size can be stored and drawn at once, also before the window is first shown.
    layout()->invalidate();
    layout()->activate();
    const TViewSize view = FitViewToScreen({width, height});
    resize(view.Width + (this->width() - Panel1->width()),
           view.Height + (this->height() - Panel1->height()));
    // A window that grew to the right or downwards would now reach past the screen's edge.
    KeepOnScreen(this);
    layout()->invalidate();
    layout()->activate();
    LayoutPanel1();
    FormResize();
    Panel1Resize();
}

TViewSize TFormMain::FitViewToScreen(TViewSize wanted) const {
    // The frame is known only once the window is on screen and the window manager has framed it;
    // before, frameGeometry() is the window without it.
    const QRect frame = frameGeometry();
    const TViewSize aroundView{frame.width() - Panel1->width(), frame.height() - Panel1->height()};
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
    SetStatusText(4, ViewSizeText(Panel1->width(), Panel1->height()));
}

void TFormMain::LayoutPanel1() {
    Panel1Caption->setGeometry(Panel1->rect());
    Panel1View->setGeometry(Panel1->rect());
}

void TFormMain::Panel1Resize() {
    if (!glContext_ || !MakeCurrent()) {
        return;
    }
    const qreal ratio = viewWindow_->devicePixelRatio();
    ::Panel1Resize(render_, static_cast<int>(Panel1->width() * ratio),
                   static_cast<int>(Panel1->height() * ratio), View.Camera.FOV);
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == Panel1) {
            LayoutPanel1();
            Panel1Resize();
        } else if (watched == StatusBar1) {
            FormResize();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFormMain::SetStatusText(int panel, const std::string& text) {
    StatusPanels[panel]->setText(ToDisplayText(text));
}

void TFormMain::UpdatePositionStatus() {
    SetStatusText(0, PositionStatusText(View.Camera));
}

void TFormMain::UpdateLayerStatus() {
    SetStatusText(3, LayerStatusText(View.Display));
}

void TFormMain::UpdateSkyMenu() {
    for (int sky = 0; sky < 5; ++sky) {
        SkyEntries[sky]->setChecked(sky == View.Display.SkyType);
    }
}

// --- Redraw protocol ------------------------------------------------------------------------

bool TFormMain::MakeCurrent() {
    if (viewWindow_->isExposed()) {
        return glContext_->makeCurrent(viewWindow_);
    }
    return glContext_->makeCurrent(offscreen_.get());
}

void TFormMain::ShowViewPanel() {
    if (Panel1View->isHidden()) {
        Panel1View->setGeometry(Panel1->rect());
        Panel1View->show();
        Panel1Caption->hide();
    }
}

bool TFormMain::DrawFrame(bool present) {
    if (!TrackData().TrackLoaded || !CurrentPod) {
        return false;
    }
    ShowViewPanel();
    // Nothing to draw into while the view is not on screen, and RenderFrame itself draws nothing
    // while Busy or without an archive: then no buffer is presented either, since its contents
    // would be undefined.
    if (View.Busy || !viewWindow_->isExposed() || !MakeCurrent()) {
        return false;
    }
    ++drawingDepth_;
    try {
        RenderFrame(TFrameContext{render_, View, CurrentPod != nullptr, *frameHost_});
        --drawingDepth_;
    } catch (const std::exception& error) {
        --drawingDepth_;
        // The same fault would stop every following frame; stop the idle frames and tell it once.
        View.FullFrame = true;
        const std::string text = error.what();
        if (text != lastFrameError_) {
            lastFrameError_ = text;
            QMetaObject::invokeMethod(
                this, [this, text] { ShowErrorText(text); }, Qt::QueuedConnection);
        }
        return false;
    }
    if (present) {
        glContext_->swapBuffers(viewWindow_);
    }
    ++FramesDrawn;
    return true;
}

void TFormMain::RedrawView(bool fullFrame) {
    if (!TrackData().TrackLoaded) {
        return;
    }
    View.FullFrame = fullFrame;
    View.LastRedrawTime = std::chrono::steady_clock::now();
    // A request from an input handler that ran while a frame let pending events through: that
    // frame has not drawn anything yet and will show the new state. Drawing a frame of our own
    // here would nest one frame in the other for every mouse movement of a long drag, without
    // bound when the frames are slower than the movements.
    if (drawingDepth_ > 0) {
        UpdatePositionStatus();
        return;
    }
    if (DrawFrame(true)) {
        ScheduleIdle();
    }
    UpdatePositionStatus();
}

void TFormMain::ScheduleIdle() {
    if (!idleInstalled_ || View.FullFrame || idleQueued_) {
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

void TFormMain::AppIdle() {
    // Idle time is when no frame is running; one that lets events through is not idle.
    if (View.FullFrame || drawingDepth_ > 0) {
        return;
    }
    if (DrawFrame(true)) {
        ++IdleFramesDrawn;
        ScheduleIdle();
    }
}

void TFormMain::ViewExposed() {
    Panel1Resize();
    RedrawView(false);
}

// --- Input ----------------------------------------------------------------------------------

void TFormMain::Apply(const TViewResult& result) {
    if (result.UpdateProjection) {
        Panel1Resize();
    }
    if (result.Beep) {
        dialogs_->Beep();
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

void TFormMain::Panel1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                                int y) {
    TMouseButtons held;
    held.Left = buttons.testFlag(Qt::LeftButton);
    held.Right = buttons.testFlag(Qt::RightButton);
    held.Middle = buttons.testFlag(Qt::MiddleButton);
    Guarded([&] { Apply(MouseMoveCamera(View, held, ToModifiers(modifiers), x, y)); });
}

void TFormMain::ViewMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                              int y) {
    Panel1MouseMove(buttons, modifiers, x, y);
}

bool TFormMain::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
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
    if (!View.Busy) {
        Guarded([&] { Apply(NavigationKeyDown(View, *navigation, ToModifiers(modifiers))); });
    }
    return true;
}

void TFormMain::keyPressEvent(QKeyEvent* event) {
    if (FormKeyDown(event->key(), event->modifiers())) {
        return;
    }
    // Qt's shortcut map passes keys by while the window is not the active one (no window
    // manager, or focus given by a tool): the menu still takes its keys first.
    if (QAction* action = ShortcutAction(event)) {
        action->trigger();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

QAction* TFormMain::ShortcutAction(const QKeyEvent* event) const {
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() &
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const QKeySequence pressed(QKeyCombination(modifiers, static_cast<Qt::Key>(event->key())));
    for (QAction* action : findChildren<QAction*>()) {
        if (action->isEnabled() && !action->shortcut().isEmpty() && action->shortcut() == pressed) {
            return action;
        }
    }
    return nullptr;
}

void TFormMain::ViewKeyPress(QKeyEvent* event) {
    // Shortcuts first, as for a key pressed anywhere else in the window.
    if (QAction* action = ShortcutAction(event)) {
        action->trigger();
        return;
    }
    FormKeyDown(event->key(), event->modifiers());
}

// --- Messages -------------------------------------------------------------------------------

void TFormMain::RunCommand(const std::function<void()>& command) {
    // Menu shortcuts still arrive while a track loads, through the progress window's event
    // processing; a command then would work on a half-replaced track.
    if (loading_) {
        return;
    }
    Guarded(command);
}

void TFormMain::closeEvent(QCloseEvent* event) {
    if (loading_) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

template <typename F> void TFormMain::Guarded(F&& command) {
    try {
        command();
    } catch (const std::exception& error) {
        ShowErrorText(error.what());
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
    View.Busy = true;
    View.ResetMouse = true;
    const std::optional<std::string> chosen = dialogs_->OpenArchiveName(
        this, IniFile->ReadString(kPreferencesSection, "LastTrackDir", ""));
    if (chosen) {
        OpenTrackArchive(*chosen);
    }
    View.Busy = false;
    RedrawView(false);
}

void TFormMain::OpenTrackArchive(const std::string& path) {
    if (loading_) {
        return;
    }
    loading_ = true;
    View.Busy = true;
    View.ResetMouse = true;
    try {
        // The new archive replaces the old one only once it could be read, so a file that
        // cannot be opened leaves the track on screen and drawable.
        auto pod = std::make_unique<TPodFile>(path);
        CurrentPod = std::move(pod);
        const TStringList& sits = CurrentPod->SitEntries();
        std::string chosen;
        if (sits.empty()) {
            ShowMessage("No track found in POD file.", kApplicationTitle);
        } else if (sits.size() == 1) {
            chosen = NamePart(sits.front());
        } else {
            TStringList names;
            for (const std::string& line : sits) {
                names.push_back(ValuePart(line));
            }
            const int index = dialogs_->SelectTrack(this, names);
            if (index >= 0 && index < static_cast<int>(sits.size())) {
                chosen = NamePart(sits[index]);
            }
        }
        if (!chosen.empty()) {
            LoadChosenTrack(path, chosen);
        }
    } catch (const std::exception& error) {
        ShowErrorText(error.what());
    }
    loading_ = false;
    View.Busy = false;
    RedrawView(false);
}

void TFormMain::LoadChosenTrack(const std::string& archivePath, const std::string& sitEntry) {
    IniFile->WriteString(kPreferencesSection, "LastTrackDir", FolderOf(archivePath));

    TStringList warnings;
    {
        TFormProgress progress(this);
        progress.SetCaption("Loading track");
        progress.show();
        QCoreApplication::processEvents();
        if (!MakeCurrent()) {
            throw EDunmereError("Unable to make the OpenGL rendering context current.");
        }
        LoadTrack(render_, *CurrentPod, sitEntry, progress, warnings, *FileFinder);
    }

    if (!warnings.empty()) {
        ShowMessage("Warnings and Errors:\r\n" + JoinLines(warnings, "\r\n", 10, "..."),
                    kApplicationTitle);
    }

    SetMenuEnabled(View1, true);
    SetMenuEnabled(Camera1, true);

    Apply(ResetViewForTrackOpen(View, Prefs->ResetViewDistTo, Prefs->ShowObjectsAfterLoad));
    Mapviewtoggle1->setChecked(false);
    UpdateLayerStatus();
    UpdateSkyMenu();
    lastFrameError_.clear();

    setWindowTitle(ToDisplayText(TrackCaption(VersionText, TrackData().TrackName, archivePath)));

    const std::string key = CameraLocationKey(TrackData().TrackName, 0);
    if (!IniFile->ReadString(kCameraPosSection, key, "").empty()) {
        RestoreCameraLocation(0);
    } else {
        GoToStartGrid();
    }
    idleInstalled_ = true;
}

void TFormMain::GoToStartGrid() {
    Apply(::GoToStartGrid(View));
}

// --- Camera locations and map view ----------------------------------------------------------

void TFormMain::SaveCameraLocation(int slot) {
    ::SaveCameraLocation(*IniFile, View, TrackData().TrackName, slot);
}

void TFormMain::RestoreCameraLocation(int slot) {
    TViewResult result = ::RestoreCameraLocation(*IniFile, View, TrackData().TrackName, slot);
    Mapviewtoggle1->setChecked(View.MapView);
    // The caller decides about the redraw: the menu command draws a full frame, the track open
    // draws once it has finished.
    result.Redraw = TRedraw::None;
    Apply(result);
}

void TFormMain::Mapviewtoggle1Click() {
    const TViewResult result = ToggleMapView(View);
    Mapviewtoggle1->setChecked(View.MapView);
    Apply(result);
}

void TFormMain::Resetmapview1Click() {
    Apply(ResetMapView(View));
}

// --- Menu commands --------------------------------------------------------------------------

void TFormMain::Editsearchpaths1Click() {
    dialogs_->EditSearchPaths(this, *IniFile, SearchPaths);
    BuildSearchFolders(*FileFinder, SearchPaths);
}

void TFormMain::Preferences1Click() {
    if (dialogs_->EditPreferences(this, *Prefs)) {
        Save1->setText(ToDisplayText(ScreenshotCaption(Prefs->ScreenshotFormat)));
        View.HideObjectsWhileMovingFor = Prefs->HideObjectsWhileMovingFor;
    }
    RedrawView(true);
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
                                          std::to_string(Panel1->width())),
                        Panel1->width(), kMinCustomWidth);
    const int height =
        CustomSizeValue(dialogs_->AskText(this, "3d View", "Please enter 3d view height",
                                          std::to_string(Panel1->height())),
                        Panel1->height(), kMinCustomHeight);
    ResizeView(width, height);
}

void TFormMain::ToggleGroundBoxes1Click() {
    ToggleGroundBoxes(View.Display);
    UpdateLayerStatus();
    RedrawView(true);
}

void TFormMain::oggleobjects1Click() {
    ToggleObjects(View.Display);
    UpdateLayerStatus();
    RedrawView(true);
}

void TFormMain::ToggleWater1Click() {
    ToggleWater(View.Display);
    UpdateLayerStatus();
    RedrawView(true);
}

void TFormMain::ToggleCheckpoints1Click() {
    ToggleCheckpoints(View.Display);
    UpdateLayerStatus();
    RedrawView(true);
}

void TFormMain::oggleBackdrop1Click() {
    ToggleBackdrop(View.Display);
    RedrawView(true);
}

void TFormMain::oggleareashape1Click() {
    ToggleAreaShape(View.Display);
    RedrawView(true);
}

void TFormMain::SelectSky(int skyType) {
    SelectSkyPreset(View.Display, skyType);
    UpdateSkyMenu();
    RedrawView(true);
}

void TFormMain::NextSkybox1Click() {
    NextSkyPreset(View.Display);
    UpdateSkyMenu();
    RedrawView(true);
}

void TFormMain::Resetbackgroundoffset1Click() {
    ResetBackgroundOffset(View);
    RedrawView(true);
}

void TFormMain::AdjustWaterDisplay1Click() {
    dialogs_->EditWaterColor(this, View.WaterColor, *IniFile);
    RedrawView(true);
}

void TFormMain::Hightide1Click() {
    ToggleHighTide(View.Display);
    Hightide1->setChecked(View.Display.HighTide);
    RedrawView(true);
}

void TFormMain::Save1Click() {
    const std::string format = Prefs->ScreenshotFormat;
    const std::optional<std::string> chosen = dialogs_->SaveScreenshotName(
        this,
        ScreenshotStartFolder(IniFile->ReadString(kPreferencesSection, "LastScreenshotDir", "")),
        ProposedScreenshotName(TrackData().TrackName, format), ScreenshotFilterIndex(format));
    if (!chosen) {
        return;
    }

    TGLBMP image;
    image.SetJPEGQuality(Prefs->JPEGQuality);
    const std::string fileName = ScreenshotFileName(*chosen, format);
    // The overwrite question comes before the frame is drawn: a dialog lets the view repaint,
    // which would present the back buffer and leave nothing defined in it to read.
    if (!FileExists(fileName) || dialogs_->AskYesNo(this, "Overwrite existing file?")) {
        try {
            DrawFrame(false);
            // The JPEG and PNG writers and an unknown format only answer false; a beep then
            // would tell the user a picture was saved that is not there.
            if (SaveScreenshot(image, fileName)) {
                // Only a folder that took a picture is offered again.
                IniFile->WriteString(kPreferencesSection, "LastScreenshotDir", FolderOf(fileName));
                dialogs_->Beep();
            } else {
                ShowErrorText(CannotWriteText(fileName));
            }
        } catch (const EInOutError& error) {
            ShowErrorText(error.what());
        }
    }
    RedrawView(true);
}

void TFormMain::Activate1Click() {
    Activate1->setText(ToDisplayText(ToggleFollowTerrain(View)));
    FollowElevation1->menuAction()->setChecked(View.FollowTerrain);
}

void TFormMain::FollowGroundBoxes1Click() {
    View.FollowGroundBoxes = !View.FollowGroundBoxes;
    FollowGroundBoxes1->setChecked(View.FollowGroundBoxes);
}

void TFormMain::FollowWater1Click() {
    View.FollowWater = !View.FollowWater;
    FollowWater1->setChecked(View.FollowWater);
}

void TFormMain::Steeringmode1Click() {
    View.SteeringMode = !View.SteeringMode;
    Steeringmode1->setChecked(View.SteeringMode);
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
    const int before = FramesDrawn;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFpsTestFrames; ++i) {
        RedrawView(true);
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    ShowMessage(FpsMessage(FramesDrawn - before, elapsed.count()), kApplicationTitle);
}
