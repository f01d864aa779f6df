#include "render/TrackLoader.h"
#include "core/base/Errors.h"
#include "core/base/ProgramFolder.h"
#include "core/formats/PalettePool.h"
#include "core/track/TrackData.h"
#include "core/vfs/QRXFileFinder.h"
#include "render/GLContext.h"
#include "render/RenderContext.h"
#include "tests/support/TrackFixture.h"
#include "tests/support/TrackTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class LoadTrackTest : public TTrackTest {
protected:
    void SetUp() override {
        WriteViewerData(program_);
        SetProgramFolder(program_.Path());
        search_.MakeDir("paths");
        BuildSearchFolders(finder_, {search_.Path(), "", "", "", ""});
        render_.LoadMissingTexture();
    }

    TPodFile Archive(const TTrackFixture& fixture, const std::string& name = "TRACK.POD") {
        const std::string path = archives_.Path() + name;
        fixture.Pod().Write(path);
        return TPodFile(path);
    }

    TStringList Load(const TTrackFixture& fixture) {
        const TPodFile pod = Archive(fixture);
        TStringList warnings;
        LoadTrack(render_, Track(), palettes_, pod, fixture.SitEntry, progress_, warnings, finder_);
        return warnings;
    }

    THeadlessGLContext gl_{16, 16};
    TRenderContext render_; // destroyed while gl_ is still current
    TTempDir program_;
    TTempDir search_;
    TTempDir archives_;
    TQRXFileFinder finder_;
    TRecordingProgress progress_;
    TPalettePool palettes_;
};

TEST_F(LoadTrackTest, CompleteTrackLoadsWithoutWarnings) {
    TTrackFixture fixture;
    EXPECT_TRUE(Load(fixture).empty());
    const TTrackData& track = Track();
    EXPECT_TRUE(track.TrackLoaded);
    EXPECT_EQ(track.TrackName, "Test Track");
    EXPECT_FLOAT_EQ(track.WaterHeight, 0.5f);
    EXPECT_FLOAT_EQ(track.TerrainVertices[7][9].y, 10 / 255.0f);
    EXPECT_EQ(track.LightMap[3][4][0], 200);
    EXPECT_EQ(track.TextureNames, TStringList{"GRASS.RAW"});
    ASSERT_EQ(render_.TrackTextures().Count(), 1u);
    EXPECT_NE(render_.TrackTextures().At(0), render_.Textures().MissingTexture());
    EXPECT_EQ(track.TerrainQuads[1][1].Texture, 0);
    ASSERT_EQ(track.TrackObjects.size(), 1u);
    ASSERT_EQ(render_.DrawList().Entries().size(), 1u);
    EXPECT_EQ(render_.DrawList().Entries()[0].Object, track.TrackObjects[0].get());
    for (const auto& sky : track.SkyBoxes) {
        EXPECT_NE(sky, nullptr);
    }
}

TEST_F(LoadTrackTest, LogThatCannotBeWrittenStopsWhileTheLoadGoesOn) {
    OpenLog("/dev/full");
    if (!LogOpen()) {
        GTEST_SKIP() << "/dev/full is not available";
    }
    testing::internal::CaptureStderr();
    TTrackFixture fixture;
    fixture.MissingTextures = {"GONE.RAW"};
    const TStringList warnings = Load(fixture);
    const std::string said = testing::internal::GetCapturedStderr();
    CloseLog();
    EXPECT_TRUE(Track().TrackLoaded);
    EXPECT_EQ(warnings, TStringList{"Error: Texture \"ART\\GONE.RAW\" not found"});
    EXPECT_EQ(said, "Logging stopped: cannot write to /dev/full: No space left on device\n");
}

TEST_F(LoadTrackTest, StepsAreLoggedAndShownInOrder) {
    TLogCapture log;
    TTrackFixture fixture;
    Load(fixture);
    const std::vector<std::string> lines = log.Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Opening track SIT TEST.SIT");
    EXPECT_EQ(lines[1], "LVL: LEVELS\\TEST.LVL");
    const std::vector<std::string> expected = {"action Parsing SIT file",
                                               "sub Extracting LVL file name",
                                               "action Parsing LVL file",
                                               "sub Extracting misc. file names",
                                               "sub Extracting water level",
                                               "sub Extracting misc. data",
                                               "action Reading track data",
                                               "sub Terrain altitude",
                                               "sub Ground box altitude (bottom)",
                                               "sub Ground box altitude (top)",
                                               "sub Terrain lighting",
                                               "sub Terrain texture index",
                                               "sub Ground box texture index",
                                               "action Loading textures",
                                               "sub GRASS.RAW",
                                               "action Building display list",
                                               "sub Terrain",
                                               "sub Ground box layer",
                                               "sub Marking terrain in ground boxes"};
    size_t at = 0;
    for (const std::string& event : progress_.Events) {
        if (at < expected.size() && event == expected[at]) {
            ++at;
        }
    }
    EXPECT_EQ(at, expected.size()) << "missing or out of order: " << expected[at];
}

TEST_F(LoadTrackTest, EachModelIsLoggedRightAfterTheLineOrRecordThatPlacedIt) {
    TLogCapture log;
    TTrackFixture fixture;
    fixture.BoxModels = {"CRATE.BIN", "BARREL.BIN"};
    fixture.BoxPlacements = {{"4096,0,4096", "0,0,0", "6,0"}};
    fixture.ExtraSitLines = CrLfLines({"!stadiumFlag,x,z,sx,sz,stadiumModelName",
                                       "1,100,100,4,4,STAND.BIN", "!Race Track Name", "Renamed"});
    Load(fixture);
    const std::vector<std::string> lines = log.Lines();
    const auto after = [&](const std::string& line) {
        const auto at = std::find(lines.begin(), lines.end(), line);
        return at == lines.end() || at + 1 == lines.end() ? "(none)" : *(at + 1);
    };
    const auto position = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) - lines.begin();
    };
    EXPECT_EQ(after("2 boxes found"), "MODELS\\CRATE.BIN");
    EXPECT_EQ(after("stadiumFlag,x,z,sx,sz,stadiumModelName: 1,100,100,4,4,STAND.BIN"),
              "MODELS\\STAND.BIN");
    EXPECT_EQ(after("MODELS\\STAND.BIN"), "Error opening BIN file.");
    EXPECT_LT(position("MODELS\\BARREL.BIN"), position("MODELS\\STAND.BIN"));
    EXPECT_LT(position("Error opening BIN file."), position("Track: Renamed"));
    // The marker of the one checkpoint follows the description, the sky boxes come last.
    EXPECT_LT(position("Track: Renamed"), position("DMGLCHK.BIN"));
    EXPECT_LT(position("DMGLCHK.BIN"), position("SKYBOX_CLOUDY2.BIN"));
    EXPECT_LT(position("SKYBOX_CLOUDY2.BIN"), static_cast<long>(lines.size()));
}

TEST_F(LoadTrackTest, WarningsComeInTheOrderTheirStepsRun) {
    TTrackFixture fixture;
    fixture.MissingModels = {"GONE.BIN", "GONE.BIN"};
    fixture.MissingTextures = {"NOPE.RAW"};
    fixture.WithLightMap = false;
    fixture.WithSkyBoxes = false;
    const TStringList warnings = Load(fixture);
    const TStringList expected = {
        "Error: BIN Model \"MODELS\\GONE.BIN\" not found",
        "Could not load LightMap \"DATA\\TEST.LIT\"; using uniform terrain lighting.",
        "Error: Texture \"ART\\NOPE.RAW\" not found",
        "Error: BIN Model \"SKYBOX_CLOUDY2.BIN\" not found",
        "Error: BIN Model \"SKYBOX_DUSKSKY.BIN\" not found",
        "Error: BIN Model \"SKYBOX_CCLOUDS.BIN\" not found",
        "Error: BIN Model \"SKYBOX_NITESKY.BIN\" not found"};
    EXPECT_EQ(warnings, expected);
    EXPECT_EQ(Track().LightMap[100][200][0], 255);
    EXPECT_EQ(render_.TrackTextures().At(1), render_.Textures().MissingTexture());
    EXPECT_EQ(Track().TrackObjects.size(), 3u);
}

TEST_F(LoadTrackTest, LightMapFoundOnlyInASearchFolderLoadsWithoutWarning) {
    TTrackFixture fixture;
    fixture.WithLightMap = false;
    fixture.Light = 77;
    search_.WriteFile("paths/deep/TEST.LIT", fixture.LightMapBytes());
    EXPECT_TRUE(Load(fixture).empty());
    EXPECT_EQ(Track().LightMap[255][255][0], 77);
}

TEST_F(LoadTrackTest, TextureListFromALooseFileIsReadToItsEnd) {
    TTrackFixture fixture;
    fixture.WithTextureList = false;
    fixture.Textures = {"A.RAW", "B.RAW", "C.RAW"};
    search_.WriteFile("TEST.LST", "3\r\nA.RAW\r\n\r\nB.RAW\nC.RAW");
    EXPECT_TRUE(Load(fixture).empty());
    EXPECT_EQ(Track().TextureNames, (TStringList{"A.RAW", "B.RAW", "C.RAW"}));
    ASSERT_EQ(render_.TrackTextures().Count(), 3u);
    for (size_t k = 0; k < render_.TrackTextures().Count(); ++k) {
        EXPECT_NE(render_.TrackTextures().At(k), render_.Textures().MissingTexture());
    }
}

TEST_F(LoadTrackTest, TextureListCountsAreTrustedOnlyAsFarAsTheFileGoes) {
    TTrackFixture fixture;
    fixture.WithTextureList = false;
    search_.WriteFile("TEST.LST", "2000000000\r\nGRASS.RAW\r\n");
    Load(fixture);
    EXPECT_LE(render_.TrackTextures().Count(), 20u);
    EXPECT_NE(render_.TrackTextures().At(0), render_.Textures().MissingTexture());

    search_.WriteFile("paths/TEST.LST", "0\r\nGRASS.RAW\r\n");
    TQRXFileFinder fresh;
    BuildSearchFolders(fresh, {search_.Path() + "paths", "", "", "", ""});
    const TPodFile pod = Archive(fixture, "SECOND.POD");
    TStringList warnings;
    LoadTrack(render_, Track(), palettes_, pod, fixture.SitEntry, progress_, warnings, fresh);
    EXPECT_EQ(render_.TrackTextures().Count(), 0u);
}

TEST_F(LoadTrackTest, MissingTextureListEndsTheLoad) {
    TTrackFixture fixture;
    fixture.WithTextureList = false;
    try {
        Load(fixture);
        FAIL() << "no error";
    } catch (const EDunmereError& e) {
        EXPECT_STREQ(e.what(), "LoadTrack: Unable to find file \"DATA\\TEST.LST\"");
    }
}

TEST_F(LoadTrackTest, SecondLoadLeavesNothingOfTheFirst) {
    TTrackFixture first;
    first.TrackName = "First";
    first.BoxModels = {"A.BIN", "B.BIN", "C.BIN"};
    first.Textures = {"FIRST.RAW"};
    first.ExtraSitLines = CrLfLines(
        {"*** Vehicles ***", "1", "2", "3", "4", "5", "100,5,200", "7", "8", "9", "0,0,1"});
    Load(first);
    ASSERT_EQ(Track().TrackObjects.size(), 3u);
    EXPECT_FLOAT_EQ(Track().FirstGridPos.x, 100);

    TTrackFixture second;
    second.TrackName = "Second";
    EXPECT_TRUE(Load(second).empty());
    const TTrackData& track = Track();
    EXPECT_EQ(track.TrackName, "Second");
    EXPECT_EQ(track.TrackObjects.size(), 1u);
    EXPECT_EQ(render_.DrawList().Entries().size(), 1u);
    EXPECT_FLOAT_EQ(track.FirstGridPos.x, 0);
    EXPECT_FLOAT_EQ(track.FirstGridRot.z, 0);
    EXPECT_EQ(render_.Textures().FindTexture("ART\\FIRST.RAW"), -1);
    EXPECT_NE(render_.Textures().FindTexture("ART\\GRASS.RAW"), -1);
}

TEST_F(LoadTrackTest, LoadThatFailsHalfWayLeavesNothingDanglingAndTheNextOneWorks) {
    TTrackFixture good;
    Load(good);
    ASSERT_TRUE(Track().TrackLoaded);

    TTrackFixture broken;
    broken.WithAltitude = false;
    broken.BoxModels = {"A.BIN", "B.BIN"};
    EXPECT_THROW(Load(broken), EInOutError);
    const TTrackData& track = Track();
    EXPECT_TRUE(track.TrackLoaded);
    // The first track's objects are released; the draw list must not still point at them.
    EXPECT_EQ(track.TrackObjects.size(), 2u);
    EXPECT_TRUE(render_.DrawList().Entries().empty());

    EXPECT_TRUE(Load(good).empty());
    EXPECT_EQ(render_.DrawList().Entries().size(), 1u);
}

TEST_F(LoadTrackTest, UnreadableLooseTextureOrModelIsWarnedAboutWithTheReasonAndTheLoadGoesOn) {
    TTrackFixture fixture;
    fixture.MissingTextures = {"GONE.RAW"};
    fixture.MissingModels = {"GONE.BIN"};
    // Found by an earlier search, gone since: opening it fails.
    const std::string gone = search_.Path() + "paths/GONE";
    finder_.FoundCache.Add("ART\\GONE.RAW=F" + gone + ".RAW");
    finder_.FoundCache.Add("MODELS\\GONE.BIN=F" + gone + ".BIN");
    const TStringList warnings = Load(fixture);
    EXPECT_TRUE(Track().TrackLoaded);
    EXPECT_EQ(warnings, (TStringList{"Error: BIN Model \"MODELS\\GONE.BIN\" not found: Datei " +
                                         gone + ".BIN kann nicht geöffnet werden",
                                     "Error: Texture \"ART\\GONE.RAW\" not found: Datei " + gone +
                                         ".RAW kann nicht geöffnet werden"}));
}

TEST_F(LoadTrackTest, RunningOutOfMemoryNamesTheArchiveAndTheTrack) {
    struct TExhaustedProgress : TRecordingProgress {
        void SetAction(const std::string& text) override {
            if (text == "Loading textures") {
                throw std::bad_alloc();
            }
        }
    };
    TTrackFixture fixture;
    const TPodFile pod = Archive(fixture);
    TExhaustedProgress progress;
    TStringList warnings;
    try {
        LoadTrack(render_, Track(), palettes_, pod, fixture.SitEntry, progress, warnings, finder_);
        ADD_FAILURE() << "the load went on";
    } catch (const EDunmereError& error) {
        EXPECT_EQ(std::string(error.what()), pod.ArchivePath() + ": " + fixture.SitEntry +
                                                 ": not enough memory to load the track");
    }
}

} // namespace
