// The asset report: every file a track load asked for, where the load found it and its size.
#include "cli/CliCommands.h"
#include "core/base/ProgramFolder.h"
#include "tests/cli/CliCapture.h"
#include "tests/support/TrackFixture.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace {

// A track whose texture list names GRASS.RAW (in the archive), ROAD.RAW (only in a search folder,
// with its palette) and MUD.RAW (nowhere), with its viewer files in a program folder of its own.
class AssetsCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldFolder_ = ProgramFolder();
        program_ = dir_.MakeDir("program");
        SetProgramFolder(program_);
        WriteViewerData(dir_, "program/");
        track_.MissingTextures = {"ROAD.RAW", "MUD.RAW"};
        archive_ = dir_.Path() + "TRACK.POD";
        track_.Pod().Write(archive_);
        road_ = dir_.WriteFile("extra/ROAD.RAW", MakeRaw(16, 1));
        dir_.WriteFile("extra/ROAD.ACT", MakeAct(1, 90, 90, 90));
    }
    void TearDown() override { SetProgramFolder(oldFolder_); }

    int Run(TCliArgs extra) {
        TCliArgs args = {"assets",   archive_,
                         "--search", dir_.Path() + "extra",
                         "--ini",    dir_.Path() + "none.ini"};
        args.insert(args.end(), extra.begin(), extra.end());
        const TCliRun run = Capture(args);
        out_ = run.Out;
        err_ = run.Err;
        return run.Code;
    }
    // The report's line for name, without the name itself.
    std::string LineOf(const std::string& name) const {
        std::istringstream lines(out_);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind(name + "\t", 0) == 0) {
                return line.substr(name.size() + 1);
            }
        }
        return "(no line)";
    }

    TTempDir dir_;
    std::string oldFolder_;
    std::string program_;
    TTrackFixture track_;
    std::string archive_;
    std::string road_;
    std::string out_;
    std::string err_;
};

TEST_F(AssetsCommandTest, ATextureFromASearchFolderAndOneFoundNowhereAreReportedAsSuch) {
    ASSERT_EQ(Run({}), kCliDone) << err_;
    EXPECT_EQ(LineOf("ART\\ROAD.RAW"), "search folder " + road_ + "\t256") << out_;
    EXPECT_EQ(LineOf("ART\\MUD.RAW"), "missing\t-") << out_;
    EXPECT_EQ(LineOf("ART\\GRASS.RAW"),
              "archive " + archive_ + "\t" +
                  std::to_string(TPodFile(archive_).GetEntrySize("ART\\GRASS.RAW")))
        << out_;
}

TEST_F(AssetsCommandTest, TheTrackDescriptionLevelGridsAndViewerFilesAreListedInLoadOrder) {
    ASSERT_EQ(Run({}), kCliDone) << err_;
    const TPodFile pod(archive_);
    EXPECT_EQ(out_.rfind("TEST.SIT\tarchive " + archive_ + "\t", 0), 0u) << out_;
    EXPECT_EQ(LineOf("LEVELS\\TEST.LVL"),
              "archive " + archive_ + "\t" + std::to_string(pod.GetEntrySize("LEVELS\\TEST.LVL")));
    EXPECT_EQ(
        LineOf("data\\missing.tga").rfind("data folder " + ProgramFolder() + "data/missing.tga", 0),
        0u)
        << out_;
    EXPECT_NE(LineOf("MODELS\\CRATE.BIN"), "(no line)") << out_;
    // The last archive entry asked for comes before the viewer's own files.
    EXPECT_LT(out_.find("DATA\\"), out_.find("data\\metalcr2.act")) << out_;
}

TEST_F(AssetsCommandTest, ATextureInsideAnArchiveOfASearchFolderNamesThatArchive) {
    TPodWriter extra;
    extra.Add("ART\\MUD.RAW", MakeRaw(4, 1));
    const std::string extraPod = dir_.Path() + "extra/MORE.POD";
    extra.Write(extraPod);
    ASSERT_EQ(Run({}), kCliDone) << err_;
    EXPECT_EQ(LineOf("ART\\MUD.RAW"), "search folder, inside " + extraPod + "\t16") << out_;
}

TEST_F(AssetsCommandTest, TheJsonReportHoldsTheSameAnswersUnderFixedKeys) {
    ASSERT_EQ(Run({"--json"}), kCliDone) << err_;
    const nlohmann::json report = nlohmann::json::parse(out_);
    ASSERT_TRUE(report.is_array());
    bool sawRoad = false;
    bool sawMud = false;
    for (const nlohmann::json& entry : report) {
        ASSERT_EQ(entry.size(), 5u) << entry.dump();
        if (entry["name"] == "ART\\ROAD.RAW") {
            sawRoad = true;
            EXPECT_EQ(entry["found"], "search folder");
            EXPECT_EQ(entry["file"], road_);
            EXPECT_EQ(entry["inside_archive"], false);
            EXPECT_EQ(entry["size"], 256);
        }
        if (entry["name"] == "ART\\MUD.RAW") {
            sawMud = true;
            EXPECT_EQ(entry["found"], "missing");
            EXPECT_TRUE(entry["file"].is_null());
            EXPECT_TRUE(entry["size"].is_null());
        }
    }
    EXPECT_TRUE(sawRoad && sawMud) << out_;
}

} // namespace
