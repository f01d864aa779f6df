// Picks at chosen pixels of a small track, each checked against what `render` draws there, and
// the statistics of the same track.
#include "cli/CliCommands.h"
#include "core/base/ProgramFolder.h"
#include "core/view/CameraLocations.h"
#include "tests/cli/CliCapture.h"
#include "tests/support/TrackFixture.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

// A red square (box 0) standing upright at the grid's centre, facing the rows above it, and a
// second one (box 1) turned the other way just inside the low row edge; a ground box on cell
// (120, 132) between them.
class PickCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldFolder_ = ProgramFolder();
        SetProgramFolder(dir_.Path());
        WriteViewerData(dir_);
        archive_ = dir_.Path() + "TRACK.POD";
        ini_ = dir_.Path() + "DunmereGL.ini";
        track_.BoxModels = {};
        track_.MissingModels = {"RED.BIN", "RED.BIN"};
        track_.BoxPlacements = {{"4096,0,4096", "0,0,0", "6,0"}, {"4096,0,64", "0,0,3.14"}};
        track_.GroundBoxes = {{120, 132, 0, 51}};
        WriteArchive();
    }
    void TearDown() override { SetProgramFolder(oldFolder_); }

    void WriteArchive() const {
        TPodWriter pod = track_.Pod();
        pod.Add("MODELS\\RED.BIN", MakeBinQuad("RED.RAW"));
        pod.Add("ART\\RED.RAW", MakeRaw(16, 1));
        pod.Add("ART\\RED.ACT", MakeAct(1, 220, 30, 30));
        pod.Write(archive_);
    }

    TCliRun Run(const std::string& command, TCliArgs args) {
        args.insert(args.begin(), {command, archive_, "--ini", ini_, "--sky", "0", "--no-water",
                                   "--size", "64x48"});
        return Capture(args);
    }
    std::string Pick(const TCliArgs& options) {
        TCliArgs args = options;
        args.insert(args.end(), {"--at", "32,24", "--camera", camera_});
        const TCliRun run = Run("pick", args);
        EXPECT_EQ(run.Code, kCliDone) << run.Err;
        return run.Out;
    }
    // The colour render draws under the picked pixel.
    std::array<int, 3> Rendered(const TCliArgs& options) {
        TCliArgs args = options;
        args.insert(args.end(), {"-o", dir_.Path() + "out.bmp", "--camera", camera_});
        const TCliRun run = Run("render", args);
        EXPECT_EQ(run.Code, kCliDone) << run.Err;
        const std::string bmp = ReadFileBytes(dir_.Path() + "out.bmp");
        const size_t at = 54 + (static_cast<size_t>(47 - 24) * 64 + 32) * 4;
        return {static_cast<uint8_t>(bmp.at(at + 2)), static_cast<uint8_t>(bmp.at(at + 1)),
                static_cast<uint8_t>(bmp.at(at))};
    }
    static void Expect(const std::string& answer, const std::string& line) {
        EXPECT_NE(answer.find(line + "\n"), std::string::npos) << "no \"" << line << "\" in\n"
                                                               << answer;
    }
    void LookFrom(float x, float z, float heading, float tilt) {
        TCameraPos camera;
        camera.TransX = -x;
        camera.TransY = -0.25f;
        camera.TransZ = -z;
        camera.Heading = heading;
        camera.Tilt = tilt;
        camera_ = FormatCameraLocation(camera, 20);
    }

    TTempDir dir_;
    std::string oldFolder_;
    TTrackFixture track_;
    std::string archive_;
    std::string ini_;
    std::string camera_;
};

constexpr std::array<int, 3> kRed{220, 30, 30};
constexpr std::array<int, 3> kLitGrass{31, 125, 47};
constexpr std::array<int, 3> kBoxGrass{40, 160, 60}; // ground boxes take no light

void ExpectColour(const std::array<int, 3>& actual, const std::array<int, 3>& expected) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(actual[static_cast<size_t>(i)], expected[static_cast<size_t>(i)], 4) << i;
    }
}

TEST_F(PickCommandTest, ThePickNamesWhatRenderDrawsUnderThePixelAsLayersAreHiddenAndShown) {
    // Looking down the rows at box 0, slightly downwards, past the ground box.
    LookFrom(0.6f, 0.28f, 270, 10);

    std::string answer = Pick({"--objects", "2"});
    ExpectColour(Rendered({"--objects", "2"}), kRed);
    Expect(answer, "Picked: object");
    Expect(answer, "Model: MODELS\\RED.BIN");
    Expect(answer, "Model file: archive " + archive_);
    Expect(answer, "Record: box 0 of 2");
    Expect(answer, "Position (game units): 4096.00, 0.00, 4096.00");
    Expect(answer, "Type flags: 6,0");
    Expect(answer, "Bounding box (model units): 0, 0, 0 to 65536, 65536, 0");
    Expect(answer, "Wrap-around copy: 0, 0");

    // Mode 1 leaves checkpoints out: the ray goes on to the ground box behind.
    answer = Pick({"--objects", "1"});
    ExpectColour(Rendered({"--objects", "1"}), kBoxGrass);
    Expect(answer, "Picked: ground box");
    Expect(answer, "Cell: row 120, column 132");
    Expect(answer, "Heights (terrain, box bottom, box top): 10, 0, 51");
    Expect(answer, "Face: 1");

    answer = Pick({"--objects", "0", "--no-boxes"});
    ExpectColour(Rendered({"--objects", "0", "--no-boxes"}), kLitGrass);
    Expect(answer, "Picked: terrain cell");
    Expect(answer, "Cell: row 119, column 132");
    Expect(answer, "Texture entry: number 0, mirror s 0, mirror t 0, rotation 0");
    Expect(answer, "Texture: ART\\GRASS.RAW");
    Expect(answer, "Texture file: archive " + archive_);
    Expect(answer, "Light: 200");

    // Checkpoint markers stand where the checkpoint is, and are the marker of box 0.
    answer = Pick({"--objects", "0", "--checkpoints"});
    Expect(answer, "Picked: checkpoint marker");
    Expect(answer, "Record: marker of box 0");
}

TEST_F(PickCommandTest, TheStadiumHidesWhatStandsBehindIt) {
    track_.ExtraSitLines =
        CrLfLines({"!stadiumFlag,x,z,sx,sz,stadiumModelName", "1,128,128,40,40,RED.BIN"});
    WriteArchive();
    LookFrom(0.6f, 0.28f, 270, 10);
    const std::string answer = Pick({"--objects", "0"});
    ExpectColour(Rendered({"--objects", "0"}), kRed);
    Expect(answer, "Picked: stadium");
    Expect(answer, "Model: MODELS\\RED.BIN");
    Expect(answer, "Kind: stadium");
}

TEST_F(PickCommandTest, AnObjectBeyondTheGridEdgeIsPickedInItsWrapAroundCopy) {
    // From near the high row edge, looking on across it at box 1, which stands at row 2.
    LookFrom(7.5f, -0.25f, 90, 0);
    const std::string answer = Pick({"--objects", "2"});
    ExpectColour(Rendered({"--objects", "2"}), kRed);
    Expect(answer, "Picked: object");
    Expect(answer, "Record: box 1 of 2");
    Expect(answer, "Angles (theta, phi, psi): 0.0000, 0.0000, 3.1400");
    Expect(answer, "Wrap-around copy: 16, 0");

    // The back of a face is culled as the frame culls it: from the other side the ray passes.
    LookFrom(-7.5f, -0.25f, 270, 0);
    ExpectColour(Rendered({"--objects", "2"}), {0, 0, 0});
    Expect(Pick({"--objects", "2"}), "Picked: nothing");
}

TEST_F(PickCommandTest, JsonAnswersAndStatisticsCountWhatTheTrackHolds) {
    LookFrom(0.6f, 0.28f, 270, 10);
    const nlohmann::json pick = nlohmann::json::parse(Pick({"--objects", "0", "--json"}));
    EXPECT_EQ(pick["picked"], "ground box");
    EXPECT_EQ(pick["cell"], nlohmann::json::array({120, 132}));
    EXPECT_EQ(pick["light"], 200);

    const TCliRun run = Run("stats", {"--json", "--objects", "2", "--camera", camera_});
    ASSERT_EQ(run.Code, kCliDone) << run.Err;
    const nlohmann::json stats = nlohmann::json::parse(run.Out);
    EXPECT_EQ(stats["terrain_cells"], 65536);
    EXPECT_EQ(stats["ground_box_cells"], 1);
    EXPECT_EQ(stats["objects"], 2);
    EXPECT_EQ(stats["models"],
              nlohmann::json::parse(R"([{"model": "MODELS\\RED.BIN", "count": 2, "faces": 1}])"));
    EXPECT_EQ(stats["checkpoints"], 1);
    // Within view distance 20 of the camera cell: the round area's terrain, the ground box and
    // box 0 (box 1 is 135 rows away).
    int cells = 0;
    for (int dr = -20; dr <= 20; ++dr) {
        for (int dc = -20; dc <= 20; ++dc) {
            cells += dr * dr + dc * dc < 400 ? 1 : 0;
        }
    }
    EXPECT_EQ(stats["triangles_drawn"], 2 * (cells - 1) + 12 + 2);
    EXPECT_GT(stats["buffer_bytes"], 0);
    EXPECT_GT(stats["texture_bytes"], stats["texture_pixels"]);
    EXPECT_EQ(stats["missing_textures"], 0);
    EXPECT_FALSE(stats["load_steps"].empty());

    EXPECT_EQ(Run("pick", {"--at", "64,0"}).Code, kCliUsage);
    EXPECT_EQ(Run("pick", {}).Code, kCliUsage);
}

} // namespace
