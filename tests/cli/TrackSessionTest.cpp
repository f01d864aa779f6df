// What the track subcommands share: which INI file they read, and how they name the archive.
#include "cli/CliCommands.h"
#include "core/base/ProgramFolder.h"
#include "tests/cli/CliCapture.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TrackFixture.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// Nobody, root included, may write the top of /proc/sys: a read-only program folder on any
// machine, whoever runs the tests.
constexpr const char* kReadOnlyProgramFolder = "/proc/sys/";

// A track with one box whose model lies only in a search folder: the load warns about it unless
// the INI file it reads names that folder.
class TrackSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldFolder_ = ProgramFolder();
        track_.MissingModels = {"SHED.BIN"};
        archive_ = dir_.Path() + "TRACK.POD";
        track_.Pod().Write(archive_);
        dir_.WriteFile("models/SHED.BIN", MakeBinQuad("GRASS.RAW"));
    }
    void TearDown() override { SetProgramFolder(oldFolder_); }

    std::string SearchPathIni() const {
        return "[Preferences]\r\nSearchPath1=" + dir_.Path() + "models\r\n";
    }
    int Load(TCliArgs extra = {}) {
        TCliArgs args = {"load", archive_};
        args.insert(args.end(), extra.begin(), extra.end());
        const TCliRun run = Capture(args);
        out_ = run.Out;
        err_ = run.Err;
        return run.Code;
    }
    bool WarnedAboutTheShed() const {
        return out_.find("\"MODELS\\SHED.BIN\" not found") != std::string::npos;
    }

    TTempDir dir_;
    std::string oldFolder_;
    TTrackFixture track_;
    std::string archive_;
    std::string out_;
    std::string err_;
};

TEST_F(TrackSessionTest, AReadOnlyProgramFolderSendsTheToolToTheUsersConfigFolder) {
    ASSERT_NE(access(kReadOnlyProgramFolder, W_OK), 0);
    SetProgramFolder(kReadOnlyProgramFolder);
    const TScopedEnv home("HOME", dir_.Path() + "home");
    const TScopedEnv config("XDG_CONFIG_HOME", nullptr);

    ASSERT_EQ(Load(), kCliDone) << err_;
    EXPECT_TRUE(WarnedAboutTheShed()) << out_;

    dir_.WriteFile("home/.config/DunmereGL/DunmereGL.ini", SearchPathIni());
    ASSERT_EQ(Load(), kCliDone) << err_;
    EXPECT_EQ(out_, "");
}

TEST_F(TrackSessionTest, AWritableProgramFolderKeepsTheIniBesideTheProgram) {
    SetProgramFolder(dir_.MakeDir("program"));
    WriteViewerData(dir_, "program/");
    const TScopedEnv config("XDG_CONFIG_HOME", dir_.Path() + "config");
    dir_.WriteFile("config/DunmereGL/DunmereGL.ini", SearchPathIni());
    ASSERT_EQ(Load(), kCliDone) << err_;
    EXPECT_TRUE(WarnedAboutTheShed()) << out_;

    dir_.WriteFile("program/DunmereGL.ini", SearchPathIni());
    ASSERT_EQ(Load(), kCliDone) << err_;
    EXPECT_EQ(out_, "");
}

TEST_F(TrackSessionTest, AMissingArchiveIsNamed) {
    SetProgramFolder(dir_.Path());
    WriteViewerData(dir_);
    archive_ = dir_.Path() + "GONE.POD";
    EXPECT_EQ(Load(), kCliFailed);
    EXPECT_EQ(err_, "Archive not found: " + archive_ + "\n");
}

TEST_F(TrackSessionTest, TheIniOptionOverridesTheChoice) {
    SetProgramFolder(kReadOnlyProgramFolder);
    const TScopedEnv config("XDG_CONFIG_HOME", dir_.Path() + "config");
    const std::string chosen = dir_.WriteFile("chosen.ini", SearchPathIni());
    ASSERT_EQ(Load({"--ini", chosen}), kCliDone) << err_;
    EXPECT_EQ(out_, "");
}

} // namespace
