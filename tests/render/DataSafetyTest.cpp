// A whole session leaves the game files alone: the archive it opens, the search folders the finder
// walks (loose files and further archives) and the viewer's own data folder are byte for byte,
// name for name and time for time what they were, after tracks were opened, loaded and drawn,
// camera locations saved and restored and screenshots taken in every format.
#include "core/base/Logging.h"
#include "core/base/ProgramFolder.h"
#include "core/formats/GLBMP.h"
#include "core/formats/PalettePool.h"
#include "core/settings/IniFile.h"
#include "core/track/TrackData.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "core/view/Camera.h"
#include "core/view/CameraLocations.h"
#include "core/view/ViewCommands.h"
#include "render/FrameRender.h"
#include "render/GLContext.h"
#include "render/GLState.h"
#include "render/RenderContext.h"
#include "render/ScreenGrab.h"
#include "render/TrackLoader.h"
#include "tests/support/SilentMessages.h"
#include "tests/support/TrackFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sys/stat.h>

namespace {

constexpr int kViewSide = 64;

// What a folder holds: every file below it with its bytes, size, modification time and mode.
using TFolderState = std::map<std::string, std::string>;

TFolderState StateOf(const std::string& folder) {
    TFolderState state;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        struct stat info {};
        EXPECT_EQ(lstat(entry.path().c_str(), &info), 0) << entry.path();
        std::string facts = std::to_string(info.st_size) + " " + std::to_string(info.st_mode) +
                            " " + std::to_string(info.st_mtim.tv_sec) + "." +
                            std::to_string(info.st_mtim.tv_nsec);
        if (entry.is_regular_file()) {
            facts += "\n" + ReadFileBytes(entry.path().string());
        }
        state[entry.path().string()] = facts;
    }
    return state;
}

// The differences, one name a line, for the failure message.
std::string Differences(const TFolderState& before, const TFolderState& after) {
    std::string text;
    for (const auto& [name, facts] : before) {
        const auto there = after.find(name);
        if (there == after.end()) {
            text += "removed " + name + "\n";
        } else if (there->second != facts) {
            text += "changed " + name + "\n";
        }
    }
    for (const auto& [name, facts] : after) {
        if (!before.contains(name)) {
            text += "added " + name + "\n";
        }
    }
    return text;
}

TEST(DataSafety, ASessionChangesNoGameFileNorTheViewersOwnData) {
    TTempDir game;
    TTempDir settings;
    SetProgramFolder(DUNMERE_BIN_DIR);
    const std::string archive =
        game.WriteFile("tracks/DEMO.POD", ReadFileBytes(ProgramFolder() + "samples/DEMO.POD"));
    // A search folder with a loose texture and an archive of models, so the finder opens both.
    TTrackFixture extra;
    extra.SitEntry = "EXTRA.SIT";
    extra.Pod().Write(game.MakeDir("search/pods") + "/EXTRA.POD");
    game.WriteFile("search/loose/GRASS.RAW", MakeRaw(16, 3));
    game.WriteFile("search/loose/GRASS.ACT", MakeAct(3, 10, 200, 10));

    const TFolderState gameBefore = StateOf(game.Path());
    const TFolderState dataBefore = StateOf(ProgramFolder() + "data");
    {
        const TSilentMessages messages;
        OpenLog(settings.Path() + "DunmereGL.log");
        THeadlessGLContext gl(kViewSide, kViewSide);
        TRenderContext render;
        TGLState glState;
        const auto track = std::make_unique<TTrackData>();
        TPalettePool palettes;
        InitGLState();
        render.LoadMissingTexture();
        TQRXFileFinder finder;
        BuildSearchFolders(finder, {game.Path() + "search", "", "", "", ""});
        TIniFile ini(settings.Path() + "DunmereGL.ini");
        const TPodFile pod(archive);
        ASSERT_GE(pod.SitEntries().size(), 2u);
        int shot = 0;
        for (const std::string& line : pod.SitEntries()) {
            TStringList warnings;
            TQuietProgress progress;
            LoadTrack(render, *track, palettes, pod, NamePart(line), progress, warnings, finder);
            // Models and textures the archive lacks are looked for in the search folder.
            finder.Locate("MODELS\\NOWHERE.BIN");
            finder.Locate("ART\\GRASS.RAW");

            TViewState view;
            view.Track = track.get();
            ResetViewForTrackOpen(view, 50, true);
            GoToStartGrid(view);
            view.FullFrame = true;
            TQuietFrameHost host;
            Panel1Resize(glState, kViewSide, kViewSide, view.Camera.FOV);
            for (int slot = 0; slot <= 5; ++slot) {
                SaveCameraLocation(ini, view, track->TrackName, slot);
            }
            RestoreCameraLocation(ini, view, track->TrackName, 3);
            RenderFrame({render, glState, view, true, host});
            for (const char* format : {".bmp", ".png", ".tga", ".jpg"}) {
                TGLBMP image;
                const std::string name = settings.Path() + "shot" + std::to_string(++shot) + format;
                EXPECT_TRUE(SaveScreenshot(image, name)) << name;
            }
        }
        CloseLog();
    }
    EXPECT_EQ(Differences(gameBefore, StateOf(game.Path())), "");
    EXPECT_EQ(Differences(dataBefore, StateOf(ProgramFolder() + "data")), "");
    // The session did write where it should: settings, log and pictures.
    EXPECT_TRUE(std::filesystem::exists(settings.Path() + "DunmereGL.ini"));
    EXPECT_TRUE(std::filesystem::exists(settings.Path() + "shot8.jpg"));
}

} // namespace
