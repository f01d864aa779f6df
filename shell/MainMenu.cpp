#include "shell/MainMenu.h"

#include "core/view/ViewCommands.h"
#include "shell/MainForm.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <optional>

namespace {

enum class TCheckMark { None, Off, On };
enum class TSeparator { None, Before };

void SetCheckMark(QAction* action, TCheckMark mark) {
    if (mark != TCheckMark::None) {
        action->setCheckable(true);
        action->setChecked(mark == TCheckMark::On);
    }
}

// "Caption (key)": the caption without its "..." and with the key the entry answers to, which is
// its shortcut or, for the labels of the key handler's keys, the text after the tab.
QString ToolTipFor(const QString& caption, const QKeySequence& shortcut) {
    QString text = caption.section(QLatin1Char('\t'), 0, 0).trimmed();
    QString key = caption.section(QLatin1Char('\t'), 1).trimmed();
    if (text.endsWith(QStringLiteral("..."))) {
        text.chop(3);
        text = text.trimmed();
    }
    if (!shortcut.isEmpty()) {
        key = shortcut.toString(QKeySequence::NativeText);
    }
    return key.isEmpty() ? text : text + QStringLiteral(" (") + key + QLatin1Char(')');
}

struct TMenuRow {
    TMainMenu Menu;
    std::optional<TMainMenu> Parent; // none for the menus of the menu bar
    const char* Title;
    const char* ObjectName;
    TCheckMark Check = TCheckMark::None;
};

constexpr std::optional<TMainMenu> kMenuBar = std::nullopt;

constexpr std::array<TMenuRow, kMainMenuCount> kMenuRows{{
    {TMainMenu::File, kMenuBar, "&File", "File1"},
    {TMainMenu::RecentArchives, TMainMenu::File, "&Recent archives", "RecentArchives1"},
    {TMainMenu::View, kMenuBar, "&View", "View1"},
    {TMainMenu::ResizeTo, TMainMenu::View, "Resize to ...", "Resizeto1"},
    {TMainMenu::Skybox, TMainMenu::View, "Skybox", "Skybox1"},
    {TMainMenu::Camera, kMenuBar, "Camera", "Camera1"},
    // Checked while the camera follows the terrain.
    {TMainMenu::FollowTerrain, TMainMenu::Camera, "Follow terrain", "FollowElevation1",
     TCheckMark::Off},
    {TMainMenu::Help, kMenuBar, "&Help", "Help1"},
}};

// What an entry runs: a handler of the window, a handler given the entry's sky type or location
// slot, or nothing.
class TMenuCommand {
public:
    constexpr TMenuCommand() = default;
    constexpr TMenuCommand(void (TFormMain::*handler)()) : handler_(handler) {}
    constexpr TMenuCommand(void (TFormMain::*handler)(int), int number)
        : numberedHandler_(handler), number_(number) {}

    bool RunsSomething() const { return handler_ != nullptr || numberedHandler_ != nullptr; }
    void Run(TFormMain& form) const {
        if (handler_ != nullptr) {
            (form.*handler_)();
        } else if (numberedHandler_ != nullptr) {
            (form.*numberedHandler_)(number_);
        }
    }

private:
    void (TFormMain::*handler_)() = nullptr;
    void (TFormMain::*numberedHandler_)(int) = nullptr;
    int number_ = 0;
};

constexpr TMenuCommand WithNumber(void (TFormMain::*handler)(int), int number) {
    return {handler, number};
}
constexpr TMenuCommand kLabelOnly;
// Connected by the shell class that owns the command, not by the window.
constexpr TMenuCommand kRunByOwner;

struct TEntryRow {
    TMainAction Action;
    TMainMenu Menu;
    const char* Caption;
    const char* ObjectName;
    const char* Shortcut; // as Qt writes key sequences; empty for none
    TMenuCommand Command;
    TSeparator Separator = TSeparator::None;
    TCheckMark Check = TCheckMark::None;
};

} // namespace

// Every entry of the menu bar in display order; a menu is placed in its parent where its first
// entry comes. The window keeps its handlers private, so the table lives in a friend of it: the
// one place that names them.
struct TMainMenuTable {
    static constexpr std::array<TEntryRow, kMainActionCount> EntryRows() {
        using A = TMainAction;
        using M = TMainMenu;
        using F = TFormMain;
        return {{
            {A::OpenArchive, M::File, "Open...", "Open1", "Ctrl+O", &F::Open1Click},
            // The archives themselves are placed above it when the list changes.
            {A::RemoveMissingArchives, M::RecentArchives, "Remove missing archives",
             "RemoveMissingArchives1", "", &F::RemoveMissingArchivesClick, TSeparator::Before},
            {A::ExportGltf, M::File, "Export glTF...", "ExportglTF1", "", &F::ExportglTF1Click,
             TSeparator::Before},
            {A::SaveMapPicture, M::File, "Save map picture...", "Savemappicture1", "",
             &F::Savemappicture1Click},
            {A::RecordFlyThrough, M::File, "Record fly-through...", "RecordFlyThrough1", "",
             &F::RecordFlyThroughClick},
            {A::ShowTrackReport, M::File, "Track report...", "Trackreport1", "",
             &F::Trackreport1Click},
            {A::ExploreArchive, M::File, "Explore archive...", "Explorearchive1", "",
             &F::Explorearchive1Click},
            {A::EditSearchPaths, M::File, "Edit search paths ...", "Editsearchpaths1", "",
             &F::Editsearchpaths1Click, TSeparator::Before},
            {A::EditPreferences, M::File, "Preferences ...", "Preferences1", "F12",
             &F::Preferences1Click},
            {A::Quit, M::File, "Quit", "Quit1", "Ctrl+Q", &F::QuitClick, TSeparator::Before},

            {A::ViewSize320x240, M::ResizeTo, "320 x 240", "N320x2401", "", &F::N320x2401Click},
            {A::ViewSize640x480, M::ResizeTo, "640 x 480", "N640x4801", "", &F::N640x4801Click},
            {A::ViewSize800x600, M::ResizeTo, "800 x 600", "N800x6001", "", &F::N800x6001Click},
            {A::ViewSize1024x768, M::ResizeTo, "1024 x 768", "N1024x7681", "", &F::N1024x7681Click},
            {A::ViewSizeQrx1, M::ResizeTo, "178 x 126 (QRX1)", "N178x126QRX11", "",
             &F::N178x126QRX11Click, TSeparator::Before},
            {A::ViewSizeQrx2, M::ResizeTo, "257 x 210 (QRX2)", "N257x210QRX21", "",
             &F::N257x210QRX21Click},
            {A::CustomViewSize, M::ResizeTo, "Custom ...", "CustomSize1", "", &F::CustomSize1Click,
             TSeparator::Before},

            // Checked while the layer is shown; objects while any are, the area shape while square.
            {A::ToggleGroundBoxes, M::View, "Toggle ground boxes", "ToggleGroundBoxes1", "B",
             &F::ToggleGroundBoxes1Click, TSeparator::Before, TCheckMark::On},
            {A::CycleObjects, M::View, "Toggle objects", "oggleobjects1", "O",
             &F::oggleobjects1Click, TSeparator::None, TCheckMark::Off},
            {A::ToggleWater, M::View, "Toggle water", "ToggleWater1", "W", &F::ToggleWater1Click,
             TSeparator::None, TCheckMark::On},
            {A::ToggleCheckpoints, M::View, "Toggle checkpoints", "ToggleCheckpoints1", "C",
             &F::ToggleCheckpoints1Click, TSeparator::None, TCheckMark::Off},
            {A::ToggleBackdrop, M::View, "Toggle backdrop", "oggleBackdrop1", "D",
             &F::oggleBackdrop1Click, TSeparator::Before, TCheckMark::On},
            {A::ToggleAreaShape, M::View, "Toggle area shape", "oggleareashape1", "S",
             &F::oggleareashape1Click, TSeparator::None, TCheckMark::Off},

            {A::NextSky, M::Skybox, "Next skybox", "NextSkybox1", "Ctrl+S", &F::NextSkybox1Click},
            {A::SkyNone, M::Skybox, kSkyPresets[0].Caption, "SkyNone1", "",
             WithNumber(&F::SelectSky, 0), TSeparator::Before, TCheckMark::Off},
            {A::SkyClear, M::Skybox, kSkyPresets[1].Caption, "SkyClear1", "",
             WithNumber(&F::SelectSky, 1), TSeparator::None, TCheckMark::On},
            {A::SkyCloudy, M::Skybox, kSkyPresets[2].Caption, "SkyCloudy1", "",
             WithNumber(&F::SelectSky, 2), TSeparator::None, TCheckMark::Off},
            {A::SkyDusk, M::Skybox, kSkyPresets[3].Caption, "SkyDusk1", "",
             WithNumber(&F::SelectSky, 3), TSeparator::None, TCheckMark::Off},
            {A::SkyNight, M::Skybox, kSkyPresets[4].Caption, "SkyNight1", "",
             WithNumber(&F::SelectSky, 4), TSeparator::None, TCheckMark::Off},

            // The keypad keys they name belong to the key handler, so the labels carry no shortcut
            // and show the key as text.
            {A::IncreaseDrawDistanceLabel, M::View, "Increase draw distance\tNum +",
             "Increasedrawdistance1", "", kLabelOnly, TSeparator::Before},
            {A::DecreaseDrawDistanceLabel, M::View, "Decrease draw distance\tNum -",
             "Decreasedrawdistance1", "", kLabelOnly},
            {A::ResetBackgroundOffset, M::View, "Reset background offset", "Resetbackgroundoffset1",
             "", &F::Resetbackgroundoffset1Click},
            {A::EditWaterColour, M::View, "Adjust water display ...", "AdjustWaterDisplay1",
             "Ctrl+W", &F::AdjustWaterDisplay1Click, TSeparator::Before},
            {A::ToggleHighTide, M::View, "High tide", "Hightide1", "", &F::Hightide1Click,
             TSeparator::None, TCheckMark::Off},
            // Named after the screenshot format once the preferences are read.
            {A::SaveScreenshot, M::View, "Take JPEG screenshot ...", "Save1", "Ctrl+J",
             &F::Save1Click, TSeparator::Before},
            {A::ToggleMinimap, M::View, "Minimap", "Minimap1", "M", &F::MinimapClick,
             TSeparator::Before, TCheckMark::Off},
            {A::ToggleFrameRate, M::View, "Show frame rate", "ShowFrameRate1", "",
             &F::ShowFrameRateClick, TSeparator::None, TCheckMark::Off},
            {A::ReloadTrack, M::View, "Reload track", "ReloadTrack1", "F5", kRunByOwner,
             TSeparator::Before},
            {A::ToggleReloadOnChange, M::View, "Reload when files change", "ReloadOnChange1", "",
             kRunByOwner, TSeparator::None, TCheckMark::Off},

            {A::ToggleFollowTerrain, M::FollowTerrain, "Activate", "Activate1", "Ctrl+F",
             &F::Activate1Click},
            {A::ToggleFollowGroundBoxes, M::FollowTerrain, "Follow ground boxes",
             "FollowGroundBoxes1", "", &F::FollowGroundBoxes1Click, TSeparator::Before,
             TCheckMark::On},
            {A::ToggleFollowWater, M::FollowTerrain, "Follow water", "FollowWater1", "",
             &F::FollowWater1Click, TSeparator::None, TCheckMark::On},
            {A::ToggleSteeringMode, M::FollowTerrain, "Steering mode", "Steeringmode1", "",
             &F::Steeringmode1Click, TSeparator::None, TCheckMark::On},

            {A::SaveLocation1, M::Camera, "Save location 1", "SaveCamera11", "Ctrl+1",
             WithNumber(&F::SaveCameraLocation, 1), TSeparator::Before},
            {A::SaveLocation2, M::Camera, "Save location 2", "SaveCamera21", "Ctrl+2",
             WithNumber(&F::SaveCameraLocation, 2)},
            {A::SaveLocation3, M::Camera, "Save location 3", "SaveCamera31", "Ctrl+3",
             WithNumber(&F::SaveCameraLocation, 3)},
            {A::SaveLocation4, M::Camera, "Save location 4", "SaveCamera41", "Ctrl+4",
             WithNumber(&F::SaveCameraLocation, 4)},
            {A::SaveLocation5, M::Camera, "Save location 5", "SaveCamera51", "Ctrl+5",
             WithNumber(&F::SaveCameraLocation, 5)},
            {A::SaveDefaultLocation, M::Camera, "Save default location", "SaveDefaultCameraPos1",
             "Ctrl+0", WithNumber(&F::SaveCameraLocation, 0)},
            {A::RestoreLocation1, M::Camera, "Restore location 1", "RestoreCamera11", "1",
             WithNumber(&F::RestoreCameraClick, 1), TSeparator::Before},
            {A::RestoreLocation2, M::Camera, "Restore location 2", "RestoreCamera21", "2",
             WithNumber(&F::RestoreCameraClick, 2)},
            {A::RestoreLocation3, M::Camera, "Restore location 3", "RestoreCamera31", "3",
             WithNumber(&F::RestoreCameraClick, 3)},
            {A::RestoreLocation4, M::Camera, "Restore location 4", "RestoreCamera41", "4",
             WithNumber(&F::RestoreCameraClick, 4)},
            {A::RestoreLocation5, M::Camera, "Restore location 5", "RestoreCamera51", "5",
             WithNumber(&F::RestoreCameraClick, 5)},
            {A::RestoreDefaultLocation, M::Camera, "Restore default location",
             "RestoreDefaultCameraPos1", "0", WithNumber(&F::RestoreCameraClick, 0)},
            {A::ToggleMapView, M::Camera, "Map view (toggle)", "Mapviewtoggle1", "9",
             &F::Mapviewtoggle1Click, TSeparator::Before, TCheckMark::Off},
            {A::ResetMapView, M::Camera, "Reset map view", "Resetmapview1", "Ctrl+9",
             &F::Resetmapview1Click},
            // Space and Esc belong to the player while it plays, so the entry carries no shortcut.
            {A::PlayFlyThrough, M::Camera, "Fly-through", "FlyThrough1", "", &F::FlyThroughClick,
             TSeparator::Before},
            {A::AddKeyframe, M::Camera, "Add camera as keyframe", "AddKeyframe1", "",
             &F::AddKeyframeClick},
            {A::RemoveLastKeyframe, M::Camera, "Remove last keyframe", "RemoveLastKeyframe1", "",
             &F::RemoveLastKeyframeClick},
            {A::ClearKeyframes, M::Camera, "Clear keyframes", "ClearKeyframes1", "",
             &F::ClearKeyframesClick},
            {A::SaveCameraPath, M::Camera, "Save path...", "SaveCameraPath1", "",
             &F::SaveCameraPathClick},
            {A::LoadCameraPath, M::Camera, "Load path...", "LoadCameraPath1", "",
             &F::LoadCameraPathClick},
            // A plain left click then picks; Ctrl with a left click picks in any mode.
            {A::TogglePickMode, M::Camera, "Pick", "Pick1", "", kRunByOwner, TSeparator::Before,
             TCheckMark::Off},

            {A::ShowReadme, M::Help, "Readme.txt ...", "N1", "", &F::N1Click},
            {A::ShowKeyboardLayout, M::Help, "Keyboard layout ...", "Keyboardlayout1", "",
             &F::Keyboardlayout1Click},
            {A::ShowAbout, M::Help, "About Dunmere GL ...", "AboutDunmereGL1", "",
             &F::AboutDunmereGL1Click},
            {A::TestFrameRate, M::Help, "Test FPS", "GetFPS1", "Ctrl+F1", &F::GetFPS1Click,
             TSeparator::Before},
        }};
    }
};

namespace {

constexpr std::array<TEntryRow, kMainActionCount> kEntryRows = TMainMenuTable::EntryRows();

// Each table is indexed by its enumeration.
constexpr bool RowsFollowTheirEnumeration() {
    for (size_t i = 0; i < kMenuRows.size(); ++i) {
        if (static_cast<size_t>(kMenuRows[i].Menu) != i) {
            return false;
        }
    }
    for (size_t i = 0; i < kEntryRows.size(); ++i) {
        if (static_cast<size_t>(kEntryRows[i].Action) != i) {
            return false;
        }
    }
    return true;
}
static_assert(RowsFollowTheirEnumeration());

// The menu, added to its parent the first time an entry goes into it.
QMenu* PlacedMenu(QMenuBar& bar, std::array<QMenu*, kMainMenuCount>& menus, TMainMenu menu) {
    QMenu*& placed = menus[static_cast<size_t>(menu)];
    if (placed == nullptr) {
        const TMenuRow& row = kMenuRows[static_cast<size_t>(menu)];
        const QString title = QString::fromUtf8(row.Title);
        placed =
            row.Parent ? PlacedMenu(bar, menus, *row.Parent)->addMenu(title) : bar.addMenu(title);
        placed->setObjectName(QString::fromUtf8(row.ObjectName));
        placed->setToolTipsVisible(true);
        SetCheckMark(placed->menuAction(), row.Check);
    }
    return placed;
}

} // namespace

TMainMenuBar BuildMainMenu(QMenuBar& bar, TFormMain& form,
                           const std::function<void(const std::function<void()>&)>& run) {
    TMainMenuBar built;
    bar.setObjectName(QStringLiteral("MainMenu1"));
    for (const TEntryRow& row : kEntryRows) {
        QMenu* menu = PlacedMenu(bar, built.menus_, row.Menu);
        if (row.Separator == TSeparator::Before) {
            menu->addSeparator();
        }
        QAction* action = menu->addAction(QString::fromUtf8(row.Caption));
        action->setObjectName(QString::fromUtf8(row.ObjectName));
        action->setShortcut(QKeySequence(QString::fromUtf8(row.Shortcut)));
        action->setShortcutContext(Qt::WindowShortcut);
        SetCheckMark(action, row.Check);
        action->setToolTip(ToolTipFor(action->text(), action->shortcut()));
        if (row.Command.RunsSomething()) {
            const TMenuCommand command = row.Command;
            QObject::connect(action, &QAction::triggered, action, [&form, command, run] {
                run([&form, command] { command.Run(form); });
            });
        }
        built.actions_[static_cast<size_t>(row.Action)] = action;
    }
    // Exactly one sky preset is checked at any time.
    auto* skies = new QActionGroup(&bar);
    skies->setExclusive(true);
    for (int sky = 0; sky < static_cast<int>(kSkyPresets.size()); ++sky) {
        skies->addAction(built.Action(SkyPresetAction(sky)));
    }
    return built;
}

void SetMenuEnabled(QMenu* menu, bool enabled) {
    menu->menuAction()->setEnabled(enabled);
    for (QAction* action : menu->actions()) {
        action->setEnabled(enabled);
        if (QMenu* sub = action->menu()) {
            SetMenuEnabled(sub, enabled);
        }
    }
}
