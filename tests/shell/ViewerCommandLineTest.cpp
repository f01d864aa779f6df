// The viewer program itself, run as a user runs it from a terminal: --help and --version answer
// without a display and without leaving a file behind; an unknown option is named.
#include "tools/PodWriter.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

struct TRun {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

class ViewerCommandLine : public ::testing::Test {
protected:
    // Runs the viewer with arguments (quoted for the shell) in a folder of its own, with a home
    // folder of its own and no display of any kind.
    TRun Run(const std::string& arguments) {
        const std::string errFile = dir.Path() + "stderr.txt";
        const std::string command =
            "cd " + Quoted(work) +
            " && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME=" + Quoted(home) +
            " XDG_RUNTIME_DIR=" + Quoted(runtime) + " " + Quoted(DUNMERE_VIEWER) + " " + arguments +
            " 2>" + Quoted(errFile);
        TRun run;
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) {
            ADD_FAILURE() << "cannot run " << command;
            return run;
        }
        char buffer[4096];
        size_t got = 0;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            run.Out.append(buffer, got);
        }
        const int status = pclose(pipe);
        run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.Err = ReadFileBytes(errFile);
        return run;
    }

    void SetUp() override {
        // Qt wants its runtime folder private.
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace);
    }

    TTempDir dir;
    const std::string work = dir.MakeDir("work");
    const std::string home = dir.MakeDir("home");
    const std::string runtime = dir.MakeDir("runtime");
};

} // namespace

TEST_F(ViewerCommandLine, HelpAndVersionAnswerWithoutADisplayAndLeaveNothingBehind) {
    const TRun help = Run("--help");
    EXPECT_EQ(help.ExitCode, 0) << help.Err;
    EXPECT_EQ(help.Out.rfind("Usage: dunmeregl [-W<width>] [-H<height>] [ARCHIVE.POD]\n", 0), 0u)
        << help.Out;
    for (const char* part : {"-W<width>", "-H<height>", "ARCHIVE.POD", "--help", "--version"}) {
        EXPECT_NE(help.Out.find(std::string("\n  ") + part), std::string::npos) << part;
    }
    EXPECT_EQ(help.Err, "");
    const TRun shortHelp = Run("-h");
    EXPECT_EQ(shortHelp.ExitCode, 0);
    EXPECT_EQ(shortHelp.Out, help.Out);
    EXPECT_EQ(Run("-V").Out, "dunmeregl (Dunmere GL) 1.0.0.0\n");

    // Among other arguments, and after an archive that would otherwise be opened.
    const std::string archive = dir.WriteFile("work/TRACK.POD", "not read");
    const TRun version = Run("-W800 " + Quoted(archive) + " --version --help");
    EXPECT_EQ(version.ExitCode, 0) << version.Err;
    EXPECT_EQ(version.Out, "dunmeregl (Dunmere GL) 1.0.0.0\n");
    EXPECT_EQ(version.Err, "");

    // No session log in the working folder, no INI file or settings in the home folder.
    std::filesystem::remove(archive);
    EXPECT_TRUE(std::filesystem::is_empty(work));
    EXPECT_TRUE(std::filesystem::is_empty(home));
}

TEST_F(ViewerCommandLine, AnUnknownOptionIsNamedWithAHintAndExitCode2) {
    // Qt takes out its own options (here --platform) before the viewer looks at the rest; the
    // check needs Qt started, so it gets a window system that needs no display.
    const TRun run = Run("-W800 --platform offscreen --frobnicate --other");
    EXPECT_EQ(run.ExitCode, 2) << run.Err;
    EXPECT_EQ(run.Out, "");
    const std::string expected =
        "dunmeregl: unrecognized option '--frobnicate'\nTry 'dunmeregl --help'.\n";
    ASSERT_GE(run.Err.size(), expected.size()) << run.Err;
    EXPECT_EQ(run.Err.substr(run.Err.size() - expected.size()), expected) << run.Err;
    EXPECT_TRUE(std::filesystem::is_empty(work))
        << "no window was started, so there is no session log";

    for (const char* size : {"-W", "-Wabc"}) {
        const TRun bad = Run(std::string("--platform offscreen -H300 ") + size);
        EXPECT_EQ(bad.ExitCode, 2) << bad.Err;
        const std::string refusal = std::string("dunmeregl: '") + size +
                                    "' needs a whole number of pixels, as in -W800\n"
                                    "Try 'dunmeregl --help'.\n";
        ASSERT_GE(bad.Err.size(), refusal.size()) << bad.Err;
        EXPECT_EQ(bad.Err.substr(bad.Err.size() - refusal.size()), refusal) << bad.Err;
    }
}

TEST_F(ViewerCommandLine, AScaledDesktopKeepsTheStoredViewSize) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "xvfb-run is not installed";
    }
    // A program folder of this test's own, for the INI file beside the program.
    const std::string bin = dir.MakeDir("bin") + "/";
    const std::filesystem::path viewer(DUNMERE_VIEWER);
    std::filesystem::copy_file(viewer, bin + "dunmeregl");
    std::filesystem::copy(viewer.parent_path() / "data", bin + "data",
                          std::filesystem::copy_options::recursive);
    dir.WriteFile("bin/DunmereGL.ini", "[Preferences]\nPanelWidth=700\nPanelHeight=500\n");
    // The screen holds the view only at its pixels (350 x 250 units of two pixels), not at
    // 700 x 500 units. The session log is written once the start has stored the size.
    dir.WriteFile("run.sh", "\"$1\" & viewer=$!\n"
                            "tries=0\n"
                            "while [ ! -s DunmereGL.log ] && [ $tries -lt 600 ]; do\n"
                            "    sleep 0.1; tries=$((tries + 1))\n"
                            "done\n"
                            "kill -TERM $viewer\n"
                            "wait $viewer\n");
    const std::string command =
        "cd " + Quoted(work) + " && HOME=" + Quoted(home) + " XDG_RUNTIME_DIR=" + Quoted(runtime) +
        " QT_SCALE_FACTOR=2 QT_QPA_PLATFORM=xcb xvfb-run -a -s "
        "'-screen 0 1000x800x24' sh " +
        Quoted(dir.Path() + "run.sh") + " " + Quoted(bin + "dunmeregl") + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_NE(ReadFileBytes(work + "/DunmereGL.log"), "") << "the viewer did not start";
    const std::string ini = ReadFileBytes(bin + "DunmereGL.ini");
    EXPECT_NE(ini.find("PanelWidth=700"), std::string::npos) << ini;
    EXPECT_NE(ini.find("PanelHeight=500"), std::string::npos) << ini;
}
