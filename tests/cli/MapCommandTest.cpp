// The map picture: the whole track from above, with the checkpoints and the start grid marked
// where the track puts them.
#include "cli/CliCommands.h"
#include "core/base/ProgramFolder.h"
#include "core/track/TrackData.h"
#include "render/MapPicture.h"
#include "tests/cli/CliCapture.h"
#include "tests/cli/PngPicture.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// The pixel (right, up) of a game position (32 units per cell; x along the columns, z along the
// rows) on a picture of area at scale pixels per cell.
std::pair<int, int> PixelOf(double gameX, double gameZ, const TMapArea& area, int scale) {
    return {static_cast<int>((gameX / 32 - area.FirstColumn) * scale),
            static_cast<int>((gameZ / 32 - area.FirstRow) * scale)};
}

bool IsCheckpointOrange(const uint8_t* p) {
    return p[0] > 200 && p[1] > 50 && p[1] < 140 && p[2] < 80;
}

bool IsStartYellow(const uint8_t* p) {
    return p[0] > 200 && p[1] > 200 && p[2] < 80;
}

class MapCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldFolder_ = ProgramFolder();
        SetProgramFolder(DUNMERE_BIN_DIR);
        demo_ = ProgramFolder() + "samples/DEMO.POD";
    }
    void TearDown() override { SetProgramFolder(oldFolder_); }

    int Run(TCliArgs args) {
        args.insert(args.begin(), "map");
        args.insert(args.end(), {"--ini", dir_.Path() + "none.ini"});
        const TCliRun run = Capture(args);
        out_ = run.Out;
        err_ = run.Err;
        return run.Code;
    }

    TTempDir dir_;
    std::string oldFolder_;
    std::string demo_;
    std::string out_;
    std::string err_;
};

TEST_F(MapCommandTest, EachDemoTrackShowsItsCheckpointsAndStartGridWhereTheTrackPutsThem) {
    // The valley is an open track, the arena a stadium: one whole grid, one cut to its stadium.
    const TPodFile pod(demo_);
    for (const std::string& line : pod.SitEntries()) {
        SCOPED_TRACE(line);
        const std::string png = dir_.Path() + NamePart(line) + ".png";
        ASSERT_EQ(Run({demo_, "--track", NamePart(line), "-o", png}), kCliDone) << err_;
        const auto loaded = LoadedTrack(demo_, NamePart(line));
        const TTrackData& track = loaded->Session().Track();
        const TPicture picture = ReadPng(png);
        ASSERT_EQ(picture.Width, picture.Height);
        EXPECT_EQ(out_, png + " " + std::to_string(picture.Width) + "x" +
                            std::to_string(picture.Height) + "\n");
        ASSERT_EQ(picture.Width % 4, 0);
        // A stadium picture is centred on the stadium and holds all of its rectangle.
        TMapArea area;
        area.Cells = picture.Width / 4;
        if (track.StadiumFlag == 1) {
            EXPECT_GT(area.Cells, std::max(track.StadiumSX, track.StadiumSZ));
            EXPECT_LT(area.Cells, 256);
            area.FirstRow = track.StadiumZ - area.Cells / 2;
            area.FirstColumn = track.StadiumX - area.Cells / 2;
        } else {
            EXPECT_EQ(area.Cells, 256);
        }

        const auto start = PixelOf(track.FirstGridPos.x, track.FirstGridPos.z, area, 4);
        EXPECT_TRUE(IsStartYellow(picture.At(start.first, start.second)));

        // A checkpoint clear of every other mark shows its dot at its centre.
        std::vector<std::pair<int, int>> marks = {start};
        for (int i = 0; i < track.BoxCount; ++i) {
            const TQRXBox& box = *track.TrackObjects[static_cast<size_t>(i)];
            if (box.IsCheckpoint()) {
                marks.push_back(PixelOf(box.X, box.Z, area, 4));
            }
        }
        int clear = 0;
        for (size_t i = 1; i < marks.size(); ++i) {
            bool alone = true;
            for (size_t j = 0; j < marks.size(); ++j) {
                alone = alone && (i == j || std::hypot(marks[i].first - marks[j].first,
                                                       marks[i].second - marks[j].second) > 60);
            }
            if (alone) {
                ++clear;
                EXPECT_TRUE(IsCheckpointOrange(picture.At(marks[i].first, marks[i].second)))
                    << "checkpoint " << i;
            }
        }
        EXPECT_GT(clear, 0);
    }
}

TEST_F(MapCommandTest, TheScaleSetsPixelsPerCellAndTheGridDrawsLinesEverySixteenCells) {
    const std::string plain = dir_.Path() + "plain.png";
    const std::string grid = dir_.Path() + "grid.png";
    ASSERT_EQ(Run({demo_, "--scale", "2", "-o", plain}), kCliDone) << err_;
    ASSERT_EQ(Run({demo_, "--scale", "2", "--grid", "-o", grid}), kCliDone) << err_;
    const TPicture without = ReadPng(plain);
    const TPicture with = ReadPng(grid);
    ASSERT_EQ(without.Width, 512);
    ASSERT_EQ(with.Width, 512);
    // Cell 64 is a line (a one-pixel line on the border of pixels 127 and 128 lands on one of
    // them), cell 72 lies between lines; rows 0 and 511 are the edge lines.
    const auto brightness = [](const TPicture& picture, int right, int up) {
        const uint8_t* p = picture.At(right, up);
        return p[0] + p[1] + p[2];
    };
    int lighter = 0;
    for (int up = 4; up < 508; up += 8) {
        const bool onLine = brightness(with, 127, up) > brightness(without, 127, up) ||
                            brightness(with, 128, up) > brightness(without, 128, up);
        lighter += onLine ? 1 : 0;
        EXPECT_EQ(std::vector<uint8_t>(with.At(144, up), with.At(144, up) + 4),
                  std::vector<uint8_t>(without.At(144, up), without.At(144, up) + 4));
    }
    // Marks drawn over the line may hide a few of its pixels.
    EXPECT_GT(lighter, 50);
}

TEST_F(MapCommandTest, AScaleOutsideItsRangeOrANameWithoutAnImageEndingIsRefusedBeforeLoading) {
    EXPECT_EQ(Run({demo_, "--scale", "0", "-o", dir_.Path() + "map.png"}), kCliUsage);
    EXPECT_NE(err_.find("--scale takes 1..16"), std::string::npos) << err_;
    EXPECT_EQ(Run({demo_, "--scale", "17", "-o", dir_.Path() + "map.png"}), kCliUsage);
    EXPECT_EQ(Run({demo_, "-o", dir_.Path() + "map.txt"}), kCliFailed);
    EXPECT_NE(err_.find(dir_.Path() + "map.txt"), std::string::npos) << err_;
}

} // namespace
