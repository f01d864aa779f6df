// The main window's menu bar as data: every menu and entry with its caption, object name,
// shortcut, check mark and the handler of the window it runs. The window builds its menus and
// entries from it once and keeps them; everything else reaches an entry by what it does.
#pragma once

#include <array>
#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class TFormMain;

// The menus of the main window, in the order they are first met in the menu bar.
enum class TMainMenu { File, RecentArchives, View, ResizeTo, Skybox, Camera, FollowTerrain, Help };
inline constexpr int kMainMenuCount = static_cast<int>(TMainMenu::Help) + 1;

// Every entry of the main menu, named by what it does, in the order the menus show them.
enum class TMainAction {
    // File
    OpenArchive,
    RemoveMissingArchives, // the last entry of File, Recent archives, below the archives
    ExportGltf,
    SaveMapPicture,
    RecordFlyThrough,
    ShowTrackReport,
    ExploreArchive,
    EditSearchPaths,
    EditPreferences,
    Quit,
    // View, Resize to ...
    ViewSize320x240,
    ViewSize640x480,
    ViewSize800x600,
    ViewSize1024x768,
    ViewSizeQrx1,
    ViewSizeQrx2,
    CustomViewSize,
    // View
    ToggleGroundBoxes,
    CycleObjects,
    ToggleWater,
    ToggleCheckpoints,
    ToggleBackdrop,
    ToggleAreaShape,
    // View, Skybox
    NextSky,
    SkyNone,
    SkyClear,
    SkyCloudy,
    SkyDusk,
    SkyNight,
    // View: two labels that name the keypad keys of the key handler, and run nothing
    IncreaseDrawDistanceLabel,
    DecreaseDrawDistanceLabel,
    ResetBackgroundOffset,
    EditWaterColour,
    ToggleHighTide,
    SaveScreenshot,
    ToggleMinimap,
    ToggleFrameRate,
    ReloadTrack,
    ToggleReloadOnChange,
    // Camera, Follow terrain
    ToggleFollowTerrain,
    ToggleFollowGroundBoxes,
    ToggleFollowWater,
    ToggleSteeringMode,
    // Camera
    SaveLocation1,
    SaveLocation2,
    SaveLocation3,
    SaveLocation4,
    SaveLocation5,
    SaveDefaultLocation,
    RestoreLocation1,
    RestoreLocation2,
    RestoreLocation3,
    RestoreLocation4,
    RestoreLocation5,
    RestoreDefaultLocation,
    ToggleMapView,
    ResetMapView,
    PlayFlyThrough,
    AddKeyframe,
    RemoveLastKeyframe,
    ClearKeyframes,
    SaveCameraPath,
    LoadCameraPath,
    TogglePickMode,
    // Help
    ShowReadme,
    ShowKeyboardLayout,
    ShowAbout,
    TestFrameRate,
};
inline constexpr int kMainActionCount = static_cast<int>(TMainAction::TestFrameRate) + 1;

// The sky entry of a SkyType (0 None to 4 Night).
constexpr TMainAction SkyPresetAction(int skyType) {
    return static_cast<TMainAction>(static_cast<int>(TMainAction::SkyNone) + skyType);
}
// The save and restore entries of a camera location slot: 0 the default location, 1 to 5 the
// numbered ones.
constexpr TMainAction SaveLocationAction(int slot) {
    return slot == 0
               ? TMainAction::SaveDefaultLocation
               : static_cast<TMainAction>(static_cast<int>(TMainAction::SaveLocation1) + slot - 1);
}
constexpr TMainAction RestoreLocationAction(int slot) {
    return slot == 0 ? TMainAction::RestoreDefaultLocation
                     : static_cast<TMainAction>(static_cast<int>(TMainAction::RestoreLocation1) +
                                                slot - 1);
}

// The menus and entries built from the table, indexed by their enumerations.
class TMainMenuBar {
public:
    QMenu* Menu(TMainMenu menu) const { return menus_[static_cast<size_t>(menu)]; }
    QAction* Action(TMainAction action) const { return actions_[static_cast<size_t>(action)]; }
    const std::array<QAction*, kMainActionCount>& Actions() const { return actions_; }

private:
    friend TMainMenuBar BuildMainMenu(QMenuBar& bar, TFormMain& form,
                                      const std::function<void(const std::function<void()>&)>& run);
    std::array<QMenu*, kMainMenuCount> menus_{};
    std::array<QAction*, kMainActionCount> actions_{};
};

// Builds every menu and entry into bar. An entry that runs something hands its handler of form,
// ready to call, to run when chosen. The reload and pick entries run nothing of form: the shell
// classes that own those commands connect them.
TMainMenuBar BuildMainMenu(QMenuBar& bar, TFormMain& form,
                           const std::function<void(const std::function<void()>&)>& run);

// Enables or disables a whole menu, including the shortcuts of its entries, which Qt would
// otherwise keep live while only the menu title is disabled.
void SetMenuEnabled(QMenu* menu, bool enabled);
