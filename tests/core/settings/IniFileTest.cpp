#include "core/settings/IniFile.h"
#include "core/base/Errors.h"
#include "core/base/ProgramFolder.h"
#include "tests/support/ScopedEnv.h"
#include "tools/PodWriter.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The folder's entries by name, to see that no temporary file stays behind.
std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

void ExpectCannotWrite(TIniFile& ini) {
    try {
        ini.WriteString("Preferences", "PanelWidth", "800");
        FAIL() << "the write was not refused";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), "In " + ini.FileName() + " kann nicht geschrieben werden");
    }
}

TEST(IniFile, AbsentFileReadsDefaultsAndTheFirstWriteCreatesIt) {
    TTempDir dir;
    TIniFile ini(dir.Path() + "DunmereGL.ini");
    EXPECT_EQ(ini.ReadString("Preferences", "LastTrackDir", "none"), "none");
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelWidth", 640), 640);
    EXPECT_FALSE(ini.ValueExists("Preferences", "PanelWidth"));
    ini.WriteInteger("Preferences", "PanelWidth", 1024);
    EXPECT_TRUE(Contains(ReadFileBytes(ini.FileName()), "[Preferences]"));
    EXPECT_TRUE(Contains(ReadFileBytes(ini.FileName()), "PanelWidth=1024"));
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelWidth", 640), 1024);
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"DunmereGL.ini"});
}

TEST(IniFile, TwoObjectsOnOneFileKeepEachOthersKeys) {
    TTempDir dir;
    const std::string path = dir.Path() + "DunmereGL.ini";
    TIniFile first(path);
    TIniFile second(path);
    first.WriteString("Preferences", "ScreenshotFormat", "PNG");
    second.WriteInteger("Preferences", "PanelHeight", 600);
    first.WriteString("CameraPos", "Hill #0", "1.00");
    second.WriteString("Preferences", "LastTrackDir", "/tracks/");
    EXPECT_EQ(second.ReadString("Preferences", "ScreenshotFormat", ""), "PNG");
    EXPECT_EQ(first.ReadInteger("Preferences", "PanelHeight", 0), 600);
    EXPECT_EQ(second.ReadString("CameraPos", "Hill #0", ""), "1.00");
    EXPECT_EQ(first.ReadString("Preferences", "LastTrackDir", ""), "/tracks/");
}

TEST(IniFile, EveryReadSeesTheFileAsItIsNow) {
    TTempDir dir;
    const std::string path = dir.WriteFile("DunmereGL.ini", "[Preferences]\nPanelWidth=100\n");
    const TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelWidth", 0), 100);
    WriteFileBytes(path, "[Preferences]\nPanelWidth=200\n");
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelWidth", 0), 200);
}

TEST(IniFile, IntegersAreDecimalOrHexAndAnythingElseIsTheDefault) {
    TTempDir dir;
    const std::string path = dir.WriteFile(
        "DunmereGL.ini", CrLfLines({"[Preferences]", "JPEG Quality=0x50", "Upper=0X1f",
                                    "Negative=-1", "Padded=  42  ", "Trailing=12abc",
                                    "Empty=", "Real=1.5", "Huge=99999999999", "Bare=0x"}));
    const TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("Preferences", "JPEG Quality", 7), 80);
    EXPECT_EQ(ini.ReadInteger("Preferences", "Upper", 7), 31);
    EXPECT_EQ(ini.ReadInteger("Preferences", "Negative", 7), -1);
    EXPECT_EQ(ini.ReadInteger("Preferences", "Padded", 7), 42);
    EXPECT_EQ(ini.ReadInteger("Preferences", "Trailing", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Preferences", "Empty", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Preferences", "Real", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Preferences", "Huge", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Preferences", "Bare", 7), 7);
}

TEST(IniFile, SectionsAndKeysIgnoreCaseAndAWriteUpdatesTheExistingLine) {
    TTempDir dir;
    const std::string path =
        dir.WriteFile("DunmereGL.ini", "[preferences]\r\nresetviewdistto=7\r\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("PREFERENCES", "ResetViewDistTo", 50), 7);
    EXPECT_TRUE(ini.ValueExists("Preferences", "RESETVIEWDISTTO"));
    ini.WriteInteger("Preferences", "ResetViewDistTo", 9);
    const std::string text = ReadFileBytes(path);
    EXPECT_TRUE(Contains(text, "resetviewdistto=9"));
    EXPECT_FALSE(Contains(text, "=7"));
    EXPECT_FALSE(Contains(text, "[Preferences]"));
    EXPECT_EQ(ini.ReadInteger("preferences", "resetviewdistto", 50), 9);
}

TEST(IniFile, ValuesAreReadWithoutSurroundingBlanksAndKeepTheirBytes) {
    TTempDir dir;
    TIniFile ini(
        dir.WriteFile("DunmereGL.ini", "[CameraPos]\n  Hill #1  =   1.00    |2.00    |   \t\n"));
    EXPECT_EQ(ini.ReadString("CameraPos", "Hill #1", ""), "1.00    |2.00    |");
    const std::string track = "Stra\xdf"
                              "e \xe9t\xe9 #0";
    ini.WriteString("CameraPos", track, "5  | 20 |3  |  7");
    EXPECT_EQ(ini.ReadString("CameraPos", track, ""), "5  | 20 |3  |  7");
    EXPECT_TRUE(Contains(ReadFileBytes(ini.FileName()), track + "=5  | 20 |3  |  7"));
}

TEST(IniFile, GarbageLinesNeitherHideOtherKeysNorVanish) {
    TTempDir dir;
    const std::string path =
        dir.WriteFile("DunmereGL.ini", "just some words\r\n[Preferences]\r\nPanelWidth=800\r\n"
                                       "[unclosed section\r\n=value without key\r\n" +
                                           std::string("a zero \0 byte here\r\n", 20) +
                                           "PanelHeight=600\r\n[Other]\r\nKey=1\r\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelWidth", 0), 800);
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelHeight", 0), 600);
    EXPECT_EQ(ini.ReadInteger("Other", "Key", 0), 1);
    ini.WriteInteger("Preferences", "PanelHeight", 480);
    const std::string text = ReadFileBytes(path);
    EXPECT_TRUE(Contains(text, "just some words"));
    EXPECT_TRUE(Contains(text, "[unclosed section"));
    EXPECT_TRUE(Contains(text, "=value without key"));
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelWidth", 0), 800);
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelHeight", 0), 480);
    EXPECT_EQ(ini.ReadInteger("Other", "Key", 0), 1);
    EXPECT_FALSE(ini.ValueExists("unclosed section", "PanelHeight"));
}

TEST(IniFile, NamesThatDifferByAControlByteAreOtherNamesForTheWriteAsForTheRead) {
    // The zero bytes go when the file is written; what is left ends the section name in \x01.
    TTempDir dir;
    const std::string path = dir.WriteFile(
        "DunmereGL.ini", std::string("[Prefe\0rences\x01]\r\n\x01PanelWidth=800\r\n", 34));
    TIniFile ini(path);
    ini.WriteInteger("Preferences", "PanelWidth", 640);
    ini.WriteInteger("Preferences\x01", "PanelWidth", 1024);
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelWidth", 0), 640);
    EXPECT_EQ(ini.ReadInteger("Preferences\x01", "PanelWidth", 0), 1024);
    EXPECT_EQ(ini.ReadInteger("Preferences\x01", "\x01PanelWidth", 0), 800);

    // A line that starts with a control byte is a key to the parser, not a section.
    const std::string keyLine = dir.WriteFile("key.ini", "\x1a[Preferences]x=1\r\n");
    TIniFile keys(keyLine);
    keys.WriteInteger("Preferences", "PanelWidth", 640);
    EXPECT_EQ(keys.ReadInteger("Preferences", "PanelWidth", 0), 640);
}

TEST(IniFile, UnknownKeysSectionsAndCommentsSurviveAWrite) {
    TTempDir dir;
    const std::string path = dir.WriteFile(
        "DunmereGL.ini",
        CrLfLines({"; written by hand", "", "[Preferences]", "; the size", "PanelWidth=800",
                   "MyOwnKey=keep me", "[Plugins]", "Thing=on", "# last words"}));
    TIniFile ini(path);
    ini.WriteString("Preferences", "ScreenshotFormat", "TGA");
    ini.WriteString("Newly", "Added", "x");
    const std::string text = ReadFileBytes(path);
    for (const char* line :
         {"; written by hand", "; the size", "PanelWidth=800", "MyOwnKey=keep me", "[Plugins]",
          "Thing=on", "# last words", "ScreenshotFormat=TGA", "[Newly]", "Added=x"}) {
        EXPECT_TRUE(Contains(text, line)) << line;
    }
    EXPECT_EQ(ini.ReadString("Plugins", "Thing", ""), "on");
}

TEST(IniFile, AWriteChangesOnlyTheLineOfItsKeyAndKeepsEveryOtherByte) {
    TTempDir dir;
    // Blank lines, spacing, tabs, mixed line breaks, a key given twice (the last one counts), a
    // section given twice, garbage and a last line without its break.
    const std::string before = "; hand made\r\n\r\n[Preferences]\r\n  PanelWidth = 800\r\n"
                               "PanelHeight\t=600\n[unclosed\r\nPanelWidth=1\r\n"
                               "junk line\r\n\r\n[Other]\r\nKey=1\r\n[preferences]\r\n"
                               "panelwidth=900\r\n# trailing comment";
    const std::string path = dir.WriteFile("DunmereGL.ini", before);
    TIniFile ini(path);
    ASSERT_EQ(ini.ReadInteger("Preferences", "PanelWidth", 0), 900);
    ini.WriteInteger("Preferences", "PanelWidth", 1024);
    std::string expected = before;
    expected.replace(expected.find("panelwidth=900"), 14, "panelwidth=1024");
    EXPECT_EQ(ReadFileBytes(path), expected);

    ini.WriteString("Other", "New", "x");
    expected.insert(expected.find("Key=1\r\n") + 7, "New=x\r\n");
    EXPECT_EQ(ReadFileBytes(path), expected);
    ini.WriteString("Third", "A", "b");
    expected += "\r\n\r\n[Third]\r\nA=b\r\n";
    EXPECT_EQ(ReadFileBytes(path), expected);
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelWidth", 0), 1024);
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelHeight", 0), 600);
    EXPECT_EQ(ini.ReadString("Other", "New", ""), "x");
}

TEST(IniFile, RewriteKeepsTheFileModeAndLeavesNoTemporaryFile) {
    TTempDir dir;
    const std::string path = dir.WriteFile("DunmereGL.ini", "[Preferences]\nPanelWidth=1\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    TIniFile ini(path);
    ini.WriteInteger("Preferences", "PanelWidth", 2);
    ini.WriteInteger("Preferences", "PanelHeight", 3);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"DunmereGL.ini"});
}

TEST(IniFile, TemporaryFilesOfWritersThatDiedAreRemovedByTheNextWrite) {
    TTempDir dir;
    const std::string path = dir.WriteFile("DunmereGL.ini", "[Preferences]\nPanelWidth=1\n");
    // A pid that no process has: a child that has already been waited for.
    const pid_t gone = fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) {
        _exit(0);
    }
    ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
    const std::string stale = path + ".tmp" + std::to_string(gone) + "-0";
    WriteFileBytes(stale, std::string(100000, 'x'));
    const std::string foreign = dir.WriteFile("Other.ini.tmp" + std::to_string(gone) + "-0", "y");
    TIniFile ini(path);
    ini.WriteInteger("Preferences", "PanelWidth", 2);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(foreign)) << "only this file's own temporary files are removed";
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelWidth", 0), 2);
}

TEST(IniFile, SymlinkedFileStaysALinkAndTheWriteGoesToItsTarget) {
    TTempDir dir;
    const std::string target = dir.WriteFile("real/DunmereGL.ini", "[Preferences]\nPanelWidth=1\n");
    const std::string link = dir.Path() + "DunmereGL.ini";
    fs::create_symlink("real/DunmereGL.ini", link);
    TIniFile ini(link);
    ini.WriteInteger("Preferences", "PanelWidth", 2);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(Contains(ReadFileBytes(target), "PanelWidth=2"));
    EXPECT_EQ(FolderNames(dir.Path() + "real"), std::vector<std::string>{"DunmereGL.ini"});
}

TEST(IniFile, WriterKilledAtAnyMomentLeavesTheOldOrTheNewFileWholeAndNoTemporaryFiles) {
    TTempDir dir;
    const std::string path = dir.Path() + "DunmereGL.ini";
    {
        TIniFile setup(path);
        for (int k = 0; k < 150; ++k) {
            setup.WriteString("Filler", "Key" + std::to_string(k), std::string(40, 'a' + k % 26));
        }
        setup.WriteInteger("Preferences", "Counter", 0);
    }
    const std::string filler = ReadFileBytes(path).substr(0, ReadFileBytes(path).find("[Pref"));
    std::srand(12345);
    int lastSeen = 0;
    for (int round = 0; round < 40; ++round) {
        int progress[2];
        ASSERT_EQ(pipe(progress), 0);
        const pid_t writer = fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            close(progress[0]);
            TIniFile ini(path);
            for (int n = 1;; ++n) {
                ini.WriteInteger("Preferences", "Counter", lastSeen + n);
                const char done = 1;
                if (write(progress[1], &done, 1) != 1) {
                    _exit(1);
                }
            }
        }
        close(progress[1]);
        // Kill it after a random number of finished writes, while it is busy with the next one.
        const int finished = std::rand() % 4;
        for (int k = 0; k < finished; ++k) {
            char done = 0;
            ASSERT_EQ(read(progress[0], &done, 1), 1);
        }
        kill(writer, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(writer, &status, 0), writer);
        close(progress[0]);
        ASSERT_TRUE(WIFSIGNALED(status));

        const std::string text = ReadFileBytes(path);
        ASSERT_EQ(text.substr(0, filler.size()), filler) << "round " << round;
        TIniFile reader(path);
        const int counter = reader.ReadInteger("Preferences", "Counter", -1);
        ASSERT_GE(counter, lastSeen + finished) << "round " << round;
        ASSERT_EQ(text.substr(filler.size()),
                  "[Preferences]\nCounter=" + std::to_string(counter) + "\n")
            << "round " << round;
        lastSeen = counter;
    }
    TIniFile(path).WriteInteger("Preferences", "Counter", 0);
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"DunmereGL.ini"});
}

TEST(IniFile, WriteIntoAMissingFolderOrBelowAFileIsRefusedWithThePath) {
    TTempDir dir;
    TIniFile missing(dir.Path() + "no/such/folder/DunmereGL.ini");
    ExpectCannotWrite(missing);
    const std::string file = dir.WriteFile("plain", "not a folder");
    TIniFile belowFile(file + "/DunmereGL.ini");
    ExpectCannotWrite(belowFile);
    EXPECT_EQ(ReadFileBytes(file), "not a folder");
    EXPECT_EQ(belowFile.ReadInteger("Preferences", "PanelWidth", 640), 640);
}

TEST(IniFile, WriteOverAFolderIsRefusedAndTheFolderStays) {
    TTempDir dir;
    TIniFile ini(dir.MakeDir("DunmereGL.ini"));
    ExpectCannotWrite(ini);
    EXPECT_TRUE(fs::is_directory(ini.FileName()));
}

TEST(IniFile, ReadOnlyFileIsRefusedAndKeepsItsText) {
    TTempDir dir;
    const std::string before = "[Preferences]\nPanelWidth=640\n";
    const std::string path = dir.WriteFile("DunmereGL.ini", before);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    if (access(path.c_str(), W_OK) == 0) {
        GTEST_SKIP() << "this user may write read-only files";
    }
    TIniFile ini(path);
    ExpectCannotWrite(ini);
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST(IniFile, ReadOnlyFolderIsRefused) {
    TTempDir dir;
    const std::string folder = dir.MakeDir("locked");
    const std::string path = dir.WriteFile("locked/DunmereGL.ini", "[Preferences]\n");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    if (access(folder.c_str(), W_OK) == 0) {
        GTEST_SKIP() << "this user may write into read-only folders";
    }
    TIniFile ini(path);
    ExpectCannotWrite(ini);
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(ReadFileBytes(path), "[Preferences]\n");
}

// Points the program folder elsewhere while it lives.
class TProgramFolderFor {
public:
    explicit TProgramFolderFor(const std::string& folder) : saved_(ProgramFolder()) {
        SetProgramFolder(folder);
    }
    ~TProgramFolderFor() { SetProgramFolder(saved_); }
    TProgramFolderFor(const TProgramFolderFor&) = delete;
    TProgramFolderFor& operator=(const TProgramFolderFor&) = delete;

private:
    std::string saved_;
};

// The kernel keeps the top of /proc/sys closed to writers, root included, and a system without
// /proc has no such folder at all: either way a program folder nobody can write.
constexpr const char* kUnwritableFolder = "/proc/sys/";

TEST(IniLocation, BesideTheProgramWhenItsFolderIsWritable) {
    TTempDir dir;
    const TScopedEnv config("XDG_CONFIG_HOME", dir.Path() + "config");
    const TProgramFolderFor program(dir.Path());
    EXPECT_EQ(ChooseIniFileName(), dir.Path() + "DunmereGL.ini");
    EXPECT_FALSE(fs::exists(dir.Path() + "config"));
}

TEST(IniLocation, InTheUserConfigurationFolderOtherwise) {
    TTempDir dir;
    const TScopedEnv config("XDG_CONFIG_HOME", dir.Path() + "config");
    const TScopedEnv home("HOME", dir.Path() + "home");
    // An installed program folder is writable for root, yet settings must not land there.
    const std::string installed = dir.Path() + "installed/";
    fs::create_directories(installed);
    std::ofstream(installed + kInstalledMarker) << "installed\n";
    for (const std::string& folder :
         {dir.Path() + "no/such/folder/", std::string(kUnwritableFolder), installed}) {
        ASSERT_TRUE(folder == installed || access(folder.c_str(), W_OK) != 0) << folder;
        const TProgramFolderFor program(folder);
        EXPECT_EQ(ChooseIniFileName(), dir.Path() + "config/DunmereGL/DunmereGL.ini") << folder;
        EXPECT_TRUE(fs::is_directory(dir.Path() + "config/DunmereGL")) << folder;
    }
    EXPECT_FALSE(fs::exists(dir.Path() + "home"));
}

TEST(IniLocation, WithoutAConfigurationVariableTheConfigFolderOfHomeIsUsed) {
    TTempDir dir;
    const TScopedEnv home("HOME", dir.Path() + "home");
    const TProgramFolderFor program(kUnwritableFolder);
    for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
        const TScopedEnv config("XDG_CONFIG_HOME", unset);
        EXPECT_EQ(ChooseIniFileName(), dir.Path() + "home/.config/DunmereGL/DunmereGL.ini");
        EXPECT_TRUE(fs::is_directory(dir.Path() + "home/.config/DunmereGL"));
    }
}

} // namespace
