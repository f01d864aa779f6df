#include "cli/CliCommands.h"
#include "core/settings/Version.h"
#include "tests/cli/CliCapture.h"
#include "tools/PodWriter.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace {

// An archive with two tracks, one text entry that is not a track, a binary entry with every byte
// value and a name with an 8-bit character.
class CliArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 256; ++i) {
            binary_ += static_cast<char>(i);
        }
        pod_.Add("ARENA.SIT", CrLfLines({"LEVELS\\ARENA.LVL", "!Race Track Name", "Mud Bowl"}))
            .Add("notes.sit", CrLfLines({"!Race Track Name", "Hidden"}))
            .Add("ART\\BIN.RAW", binary_)
            .Add("HILL.SIT", CrLfLines({"LEVELS\\HILL.LVL"}))
            .Add("CAF\xC9.TXT", "caf\xe9");
        archive_ = dir_.Path() + "GAME.POD";
        pod_.Write(archive_);
    }

    TTempDir dir_;
    TPodWriter pod_;
    std::string binary_;
    std::string archive_;
};

TEST_F(CliArchiveTest, EntriesListNameSizeAndOffsetInArchiveOrder) {
    const TCliRun run = Capture({"entries", archive_});
    EXPECT_EQ(run.Code, kCliDone);
    EXPECT_EQ(run.Err, "");
    // Contents follow the header (84 bytes) and the five 40-byte records, in the same order.
    const std::vector<std::pair<std::string, size_t>> sizes = {
        {"ARENA.SIT", CrLfLines({"LEVELS\\ARENA.LVL", "!Race Track Name", "Mud Bowl"}).size()},
        {"notes.sit", CrLfLines({"!Race Track Name", "Hidden"}).size()},
        {"ART\\BIN.RAW", 256},
        {"HILL.SIT", CrLfLines({"LEVELS\\HILL.LVL"}).size()},
        {"CAF\xC9.TXT", 4}};
    std::string expected;
    size_t offset = 84 + 5 * 40;
    for (const auto& [name, size] : sizes) {
        expected += name + "\t" + std::to_string(size) + "\t" + std::to_string(offset) + "\n";
        offset += size;
    }
    EXPECT_EQ(run.Out, expected);
}

TEST_F(CliArchiveTest, TracksPrintTheTrackLinesOfUpperCaseSitEntries) {
    const TCliRun run = Capture({"tracks", archive_});
    EXPECT_EQ(run.Code, kCliDone);
    EXPECT_EQ(run.Out, "ARENA.SIT=Mud Bowl\nHILL.SIT=<unnamed>\n");
}

TEST(CliTracks, DescriptionsClaimingBytesPastTheEndAreListedFromWhatTheFileHolds) {
    TTempDir dir;
    const std::string body = CrLfLines({"T.LVL", "!Race Track Name", "Cut Short"});
    TByteWriter bytes;
    bytes.I32(3).FixedText("", 80);
    const int32_t start = 84 + 3 * 40;
    bytes.FixedText("LONG.SIT", 32).I32(0x7FFFFFF0).I32(start);
    bytes.FixedText("FAR.SIT", 32).I32(100).I32(0x7FFFFF00);
    bytes.FixedText("ALSO.SIT", 32).I32(static_cast<int32_t>(body.size())).I32(start);
    const std::string archive = dir.WriteFile("HOSTILE.POD", bytes.Raw(body).Bytes());
    const TCliRun run = Capture({"tracks", archive});
    EXPECT_EQ(run.Code, kCliDone);
    EXPECT_EQ(run.Out, "LONG.SIT=Cut Short\nFAR.SIT=<unnamed>\nALSO.SIT=Cut Short\n");
}

TEST_F(CliArchiveTest, ExtractWritesTheEntryBytesToStandardOutput) {
    const TCliRun run = Capture({"extract", archive_, "art\\bin.raw"});
    EXPECT_EQ(run.Code, kCliDone);
    EXPECT_EQ(run.Out, binary_);
    EXPECT_EQ(Capture({"extract", archive_, "CAF\xC9.TXT"}).Out, "caf\xe9");
}

TEST_F(CliArchiveTest, ExtractWithOutputOptionWritesTheFileAndNothingElse) {
    const std::string target = dir_.Path() + "out.raw";
    WriteFileBytes(target, std::string(1000, 'x'));
    const TCliRun run = Capture({"extract", archive_, "ART\\BIN.RAW", "-o", target});
    EXPECT_EQ(run.Code, kCliDone);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(ReadFileBytes(target), binary_);
    // The option may also come first.
    const std::string second = dir_.Path() + "second.sit";
    EXPECT_EQ(Capture({"extract", "-o", second, archive_, "HILL.SIT"}).Code, kCliDone);
    EXPECT_EQ(ReadFileBytes(second), CrLfLines({"LEVELS\\HILL.LVL"}));
}

TEST_F(CliArchiveTest, ExtractOfAnUnknownEntryFailsWithoutCreatingTheFile) {
    const std::string target = dir_.Path() + "never.raw";
    const TCliRun run = Capture({"extract", archive_, "BIN.RAW", "-o", target});
    EXPECT_EQ(run.Code, kCliFailed);
    EXPECT_EQ(run.Err, "Entry not found: BIN.RAW\n");
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(Capture({"extract", archive_, "NOPE"}).Code, kCliFailed);
}

TEST_F(CliArchiveTest, ExtractRefusesToOverwriteTheArchiveItself) {
    const std::string before = ReadFileBytes(archive_);
    const TCliRun run = Capture({"extract", archive_, "ART\\BIN.RAW", "-o", archive_});
    EXPECT_EQ(run.Code, kCliFailed);
    EXPECT_NE(run.Err, "");
    EXPECT_EQ(ReadFileBytes(archive_), before);
}

TEST(CliCommands, EntryReachingPastTheArchiveEndFailsAndLeavesNoPartialFile) {
    TTempDir dir;
    TByteWriter bytes;
    bytes.I32(1).FixedText("", 80).FixedText("BIG.RAW", 32).I32(1000).I32(124).Raw("short");
    const std::string archive = dir.WriteFile("CUT.POD", bytes.Bytes());
    const std::string target = dir.Path() + "big.raw";
    const TCliRun run = Capture({"extract", archive, "BIG.RAW", "-o", target});
    EXPECT_EQ(run.Code, kCliFailed);
    EXPECT_EQ(run.Err,
              "dunmeregl-cli: " + archive + ": BIG.RAW: Versuch hinter dem Dateiende zu lesen\n");
    EXPECT_FALSE(std::filesystem::exists(target));
    const TCliRun toStdout = Capture({"extract", archive, "BIG.RAW"});
    EXPECT_EQ(toStdout.Code, kCliFailed);
    EXPECT_EQ(toStdout.Out, "");
}

TEST(CliCommands, ControlBytesOfNamesArePrintedAsEscapes) {
    TTempDir dir;
    TPodWriter pod;
    pod.Add("ESC\x1b[2J.SIT", CrLfLines({"T.LVL", "!Race Track Name", "Bell\x07Track"}));
    pod.Add("ART\\CAF\xC9.RAW", "x");
    const std::string archive = dir.WriteFile("ODD.POD", pod.Bytes());
    const TCliRun entries = Capture({"entries", archive});
    EXPECT_EQ(entries.Code, kCliDone) << entries.Err;
    EXPECT_EQ(entries.Out.find('\x1b'), std::string::npos);
    EXPECT_NE(entries.Out.find("ESC\\x1B[2J.SIT\t"), std::string::npos) << entries.Out;
    EXPECT_NE(entries.Out.find("ART\\CAF\xC9.RAW\t"), std::string::npos) << entries.Out;
    const TCliRun tracks = Capture({"tracks", archive});
    EXPECT_EQ(tracks.Out, "ESC\\x1B[2J.SIT=Bell\\x07Track\n");
}

TEST(CliCommands, MissingArchiveFailsNamingItsPath) {
    TTempDir dir;
    const std::string missing = dir.Path() + "NONE.POD";
    for (const TCliArgs& args : std::vector<TCliArgs>{{"entries", missing},
                                                      {"tracks", missing},
                                                      {"extract", missing, "A.SIT"},
                                                      {"entries", dir.Path()}}) {
        const TCliRun run = Capture(args);
        EXPECT_EQ(run.Code, kCliFailed) << args[0];
        EXPECT_EQ(run.Err, "Archive not found: " + args[1] + "\n") << args[0];
        EXPECT_EQ(run.Out, "") << args[0];
    }
}

TEST(CliCommands, TruncatedDirectoryFails) {
    TTempDir dir;
    TByteWriter bytes;
    bytes.I32(3).FixedText("", 80).FixedText("ONLY.ONE", 32).I32(0).I32(0);
    const std::string archive = dir.WriteFile("CUT.POD", bytes.Bytes());
    const TCliRun run = Capture({"entries", archive});
    EXPECT_EQ(run.Code, kCliFailed);
    EXPECT_EQ(run.Err, "dunmeregl-cli: " + archive + ": Versuch hinter dem Dateiende zu lesen\n");
    EXPECT_EQ(run.Out, "");
}

TEST(CliCommands, UsageErrorsPrintTheUsageAndExitWithTwo) {
    const std::vector<TCliArgs> wrong = {{},
                                         {"unknown"},
                                         {"entries"},
                                         {"entries", "a", "b"},
                                         {"tracks"},
                                         {"extract", "a"},
                                         {"extract", "a", "b", "c"},
                                         {"extract", "a", "b", "-o"},
                                         {"extract", "a", "b", "-o", "x", "-o", "y"}};
    for (const TCliArgs& args : wrong) {
        const TCliRun run = Capture(args);
        EXPECT_EQ(run.Code, kCliUsage) << ::testing::PrintToString(args);
        EXPECT_NE(run.Err.find("usage:"), std::string::npos);
        EXPECT_NE(run.Err.find("dunmeregl-cli extract ARCHIVE ENTRY [-o FILE]"), std::string::npos);
        EXPECT_EQ(run.Out, "");
    }
    const TCliRun help = Capture({"--help"});
    EXPECT_EQ(help.Code, kCliDone);
    EXPECT_NE(help.Out.find("\n  entries ARCHIVE\n"), std::string::npos);
}

TEST(CliCommands, VersionPrintsTheProgramsVersionRecord) {
    ASSERT_NE(GetVersionString(), "");
    const TCliRun run = Capture({"--version"});
    EXPECT_EQ(run.Code, kCliDone);
    EXPECT_EQ(run.Out, "dunmeregl-cli (Dunmere GL) " + GetVersionString() + "\n");
    EXPECT_EQ(run.Err, "");
}

TEST(CliCommands, HelpForOneCommandPrintsItsUsageToStandardOutput) {
    for (const TCliArgs& args : std::vector<TCliArgs>{{"help", "extract"},
                                                      {"extract", "--help"},
                                                      {"extract", "-h"},
                                                      {"extract", "GAME.POD", "--help"}}) {
        const TCliRun run = Capture(args);
        EXPECT_EQ(run.Code, kCliDone) << ::testing::PrintToString(args);
        EXPECT_EQ(run.Out, "usage: dunmeregl-cli extract ARCHIVE ENTRY [-o FILE]\n");
        EXPECT_EQ(run.Err, "");
    }
    for (const TCliCommand& command : CliCommandList()) {
        EXPECT_EQ(Capture({"help", command.Name}).Out,
                  "usage: dunmeregl-cli " + command.Name + " " + command.Usage + "\n");
    }
}

TEST(CliCommands, HelpWithoutACommandPrintsTheWholeUsageAndAnUnknownOneIsAUsageError) {
    for (const TCliArgs& args : std::vector<TCliArgs>{{"help"}, {"--help"}, {"-h"}}) {
        const TCliRun run = Capture(args);
        EXPECT_EQ(run.Code, kCliDone) << args[0];
        EXPECT_EQ(run.Out.rfind("Usage: dunmeregl-cli COMMAND [ARGUMENTS]\n", 0), 0u);
        EXPECT_NE(run.Out.find("\n  help [COMMAND]\n"), std::string::npos);
        EXPECT_NE(run.Out.find("\n  --version\n"), std::string::npos);
        EXPECT_EQ(run.Err, "");
        // The manual page is made from this text: every command has to be explained in it.
        for (const TCliCommand& command : CliCommandList()) {
            EXPECT_FALSE(command.Description.empty()) << command.Name;
            EXPECT_NE(run.Out.find("\n  " + command.Name + ' ' + command.Usage + '\n' +
                                   command.Description),
                      std::string::npos)
                << command.Name;
        }
        EXPECT_NE(run.Out.find("\nExit status:\n  0  done\n"), std::string::npos);
    }
    const TCliRun unknown = Capture({"help", "nope"});
    EXPECT_EQ(unknown.Code, kCliUsage);
    EXPECT_EQ(unknown.Out, "");
    EXPECT_EQ(unknown.Err.rfind("unknown command: nope\nusage:\n", 0), 0u) << unknown.Err;
    const TCliRun two = Capture({"help", "entries", "tracks"});
    EXPECT_EQ(two.Code, kCliUsage);
    EXPECT_EQ(two.Out, "");
}

TEST(CliCommands, RegisteredCommandsAreDispatchedWithTheirArguments) {
    TCliArgs seen;
    RegisterCliCommand({"probe-test", "WORD",
                        [&](const TCliArgs& args, std::ostream& out, std::ostream&) {
                            seen = args;
                            if (args.size() != 1) {
                                throw ECliUsageError("probe-test: one word");
                            }
                            if (args[0] == "fail") {
                                throw std::runtime_error("probe failed");
                            }
                            out << "probed " << args[0];
                            return kCliDone;
                        },
                        "      Probes the dispatch.\n"});
    EXPECT_EQ(Capture({"probe-test", "word"}).Out, "probed word");
    EXPECT_EQ(seen, (TCliArgs{"word"}));
    const TCliRun failed = Capture({"probe-test", "fail"});
    EXPECT_EQ(failed.Code, kCliFailed);
    EXPECT_EQ(failed.Err, "probe failed\n");
    const TCliRun usage = Capture({"probe-test"});
    EXPECT_EQ(usage.Code, kCliUsage);
    EXPECT_NE(usage.Err.find("dunmeregl-cli probe-test WORD"), std::string::npos);
}

// The built tool itself: arguments from the command line, bytes and exit codes to the shell.
std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

TCliRun RunTool(const std::string& arguments, const TTempDir& dir) {
    const std::string errPath = dir.Path() + "stderr.txt";
    const std::string command =
        ShellQuote(DUNMERE_CLI_PATH) + " " + arguments + " 2>" + ShellQuote(errPath);
    TCliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.Out.append(buffer, n);
    }
    const int status = pclose(pipe);
    run.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Err = ReadFileBytes(errPath);
    return run;
}

TEST(CliTool, BuiltToolListsExtractsAndReportsErrorsWithExitCodes) {
    TTempDir dir;
    const std::string archive = dir.Path() + "GAME.POD";
    TPodWriter()
        .Add("A.SIT", CrLfLines({"!Race Track Name", "Alpha"}))
        .Add("B.BIN", std::string("\x01\x00\x02", 3))
        .Write(archive);

    const TCliRun entries = RunTool("entries " + ShellQuote(archive), dir);
    EXPECT_EQ(entries.Code, 0);
    const size_t sitSize = CrLfLines({"!Race Track Name", "Alpha"}).size();
    EXPECT_EQ(entries.Out, "A.SIT\t" + std::to_string(sitSize) + "\t164\nB.BIN\t3\t" +
                               std::to_string(164 + sitSize) + "\n");

    const TCliRun tracks = RunTool("tracks " + ShellQuote(archive), dir);
    EXPECT_EQ(tracks.Out, "A.SIT=Alpha\n");

    const TCliRun extract = RunTool("extract " + ShellQuote(archive) + " b.bin", dir);
    EXPECT_EQ(extract.Code, 0);
    EXPECT_EQ(extract.Out, std::string("\x01\x00\x02", 3));

    const TCliRun missing = RunTool("entries " + ShellQuote(dir.Path() + "NONE.POD"), dir);
    EXPECT_EQ(missing.Code, 1);
    EXPECT_EQ(missing.Err, "Archive not found: " + dir.Path() + "NONE.POD\n");

    const TCliRun usage = RunTool("", dir);
    EXPECT_EQ(usage.Code, 2);
    EXPECT_NE(usage.Err.find("usage:"), std::string::npos);
}

TEST(CliTool, BuiltToolAnswersVersionAndHelpOnStandardOutput) {
    TTempDir dir;
    const TCliRun version = RunTool("--version", dir);
    EXPECT_EQ(version.Code, 0);
    EXPECT_EQ(version.Out, "dunmeregl-cli (Dunmere GL) " + GetVersionString() + "\n");

    const TCliRun help = RunTool("help render", dir);
    EXPECT_EQ(help.Code, 0);
    EXPECT_EQ(help.Out.rfind("usage: dunmeregl-cli render ARCHIVE -o OUT", 0), 0u) << help.Out;
    EXPECT_EQ(help.Err, "");
    EXPECT_EQ(RunTool("render --help", dir).Out, help.Out);

    const TCliRun unknown = RunTool("help nope", dir);
    EXPECT_EQ(unknown.Code, 2);
    EXPECT_EQ(unknown.Out, "");
    EXPECT_NE(unknown.Err.find("unknown command: nope"), std::string::npos);
}

} // namespace
