// The archive explorer's two tool commands over an archive of two tracks built byte by byte:
// which entries each track's load reads, which none does, what is missing, and the pictures of a
// texture with a chosen palette and of a model.
#include "cli/CliCommands.h"
#include "core/base/Logging.h"
#include "core/base/ProgramFolder.h"
#include "tests/cli/CliCapture.h"
#include "tests/cli/PngPicture.h"
#include "tests/support/TrackFixture.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>

namespace {

// VALLEY.SIT and HILLS.SIT share ART\GRASS.RAW; HILLS.SIT also lists MUD.RAW, which is nowhere;
// ART\SPARE.RAW is listed by neither.
class ExploreCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldFolder_ = ProgramFolder();
        SetProgramFolder(dir_.MakeDir("program"));
        WriteViewerData(dir_, "program/");
        TPodWriter pod = TwoTrackArchive();
        pod.Add("ART\\SPARE.RAW", MakeRaw(4, 2)).Add("ART\\RED.ACT", MakeAct(1, 250, 0, 0));
        archive_ = dir_.Path() + "TRACKS.POD";
        pod.Write(archive_);
    }
    void TearDown() override { SetProgramFolder(oldFolder_); }

    TCliRun Run(const std::string& command, TCliArgs extra) {
        TCliArgs args = {command, archive_, "--ini", dir_.Path() + "none.ini"};
        args.insert(args.end(), extra.begin(), extra.end());
        return Capture(args);
    }
    // Every line of the usage report that starts with name and a tab, without the name.
    static std::vector<std::string> LinesOf(const std::string& report, const std::string& name) {
        std::vector<std::string> found;
        std::istringstream lines(report);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind(name + "\t", 0) == 0) {
                found.push_back(line.substr(name.size() + 1));
            }
        }
        return found;
    }

    TTempDir dir_;
    std::string oldFolder_;
    std::string archive_;
};

TEST_F(ExploreCommandsTest, UsageNamesTheTracksOfEachEntryTheUnusedAndTheMissing) {
    const TCliRun run = Run("usage", {});
    ASSERT_EQ(run.Code, kCliDone) << run.Err;
    // Both tracks read the first of the two GRASS.RAW entries; the second is never read.
    EXPECT_EQ(LinesOf(run.Out, "ART\\GRASS.RAW"),
              (std::vector<std::string>{"used\tVALLEY.SIT,HILLS.SIT", "unused\t-"}));
    EXPECT_EQ(LinesOf(run.Out, "HILLS.SIT"), (std::vector<std::string>{"used\tHILLS.SIT"}));
    EXPECT_EQ(LinesOf(run.Out, "ART\\SPARE.RAW"), (std::vector<std::string>{"unused\t-"}));
    EXPECT_EQ(LinesOf(run.Out, "ART\\MUD.RAW"), (std::vector<std::string>{"missing\tHILLS.SIT"}));

    // The window's own log stays as it was while a scan loads every track.
    const std::string log = dir_.Path() + "session.log";
    OpenLog(log);
    const TCliRun json = Run("usage", {"--json", "--progress"});
    CloseLog();
    EXPECT_EQ(ReadFileBytes(log), "");
    ASSERT_EQ(json.Code, kCliDone) << json.Err;
    const auto report = nlohmann::json::parse(json.Out);
    EXPECT_EQ(report["tracks"], nlohmann::json({"VALLEY.SIT", "HILLS.SIT"}));
    // The texture and the palette its loader looks for beside it.
    ASSERT_EQ(report["missing"].size(), 2u);
    EXPECT_EQ(report["missing"][1]["name"], "ART\\MUD.RAW");
    EXPECT_EQ(report["missing"][1]["asked_by"], nlohmann::json({"HILLS.SIT"}));
    EXPECT_EQ(report["entries"].size(), static_cast<size_t>(TPodFile(archive_).EntryCount()));
    EXPECT_EQ(report["entries"][0]["kind"], "track description SIT");
    EXPECT_NE(json.Err.find("track 1/2 HILLS.SIT"), std::string::npos) << json.Err;
}

TEST_F(ExploreCommandsTest, PreviewDrawsATextureWithTheChosenPaletteAndAModelFromAbove) {
    const std::string texture = dir_.Path() + "grass.png";
    TCliRun run = Run(
        "preview", {"ART\\GRASS.RAW", "-o", texture, "--palette", "ART\\RED.ACT", "--size", "64"});
    ASSERT_EQ(run.Code, kCliDone) << run.Err;
    EXPECT_EQ(run.Out, texture + " 64x64\n");
    const TPicture red = ReadPng(texture);
    ASSERT_EQ(red.Width, 64);
    EXPECT_EQ(std::vector<uint8_t>(red.At(63, 0), red.At(63, 0) + 4),
              (std::vector<uint8_t>{250, 0, 0, 255}));

    const std::string model = dir_.Path() + "crate.png";
    run = Run("preview", {"MODELS\\CRATE.BIN", "-o", model, "--size", "96"});
    ASSERT_EQ(run.Code, kCliDone) << run.Err;
    const TPicture crate = ReadPng(model);
    ASSERT_EQ(crate.Width, 96);
    // The model fills the middle in its texture's green (how bright depends on the palette the
    // run loaded first under that name); the corners keep the grey-blue background.
    const uint8_t* middle = crate.At(48, 48);
    EXPECT_TRUE(middle[1] > middle[0] + 20 && middle[1] > middle[2] + 20)
        << int(middle[0]) << "," << int(middle[1]) << "," << int(middle[2]);
    EXPECT_NE(crate.At(0, 0)[1], middle[1]);

    run = Run("preview", {"VALLEY.SIT", "-o", model});
    EXPECT_EQ(run.Code, kCliFailed);
    EXPECT_NE(run.Err.find("VALLEY.SIT"), std::string::npos) << run.Err;
    EXPECT_EQ(Run("preview", {"-o", model}).Code, kCliUsage);
}

TEST_F(ExploreCommandsTest, PreviewRefusesToWriteOverTheArchiveOrTheSettings) {
    // The output is checked only for an image ending, which an archive or a settings file can
    // carry as well.
    const std::string archive = dir_.Path() + "TRACKS.png";
    std::filesystem::copy_file(archive_, archive);
    const std::string archiveBytes = ReadFileBytes(archive);
    const std::string settingsText = "[Settings]\r\nJPEGQuality=90\r\n";
    const std::string settings = dir_.WriteFile("settings.bmp", settingsText);
    for (const std::string& output : {archive, settings}) {
        SCOPED_TRACE(output);
        const TCliRun run =
            Capture({"preview", archive, "ART\\GRASS.RAW", "-o", output, "--ini", settings});
        EXPECT_EQ(run.Code, kCliFailed);
        EXPECT_NE(run.Err.find(output + ": will not write over " + output), std::string::npos)
            << run.Err;
    }
    EXPECT_TRUE(ReadFileBytes(archive) == archiveBytes) << "the archive was written over";
    EXPECT_EQ(ReadFileBytes(settings), settingsText);
}

} // namespace
