#include "core/vfs/QRXFileFinder.h"
#include "core/base/Errors.h"
#include "core/base/ProgramFolder.h"
#include "tests/support/LogCapture.h"
#include "tools/PodWriter.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// A program folder with its "data" folder and five search folders s1..s5, all in one temporary
// tree; the finder searches data first, then s1..s5.
class FileFinderTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedProgramFolder_ = ProgramFolder();
        SetProgramFolder(dir_.MakeDir("prog"));
        dir_.MakeDir("prog/data");
        TStringList paths;
        for (int i = 1; i <= 5; ++i) {
            paths.push_back(dir_.MakeDir("s" + std::to_string(i)));
        }
        BuildSearchFolders(finder_, paths);
    }
    void TearDown() override { SetProgramFolder(savedProgramFolder_); }

    std::string Path(const std::string& relative) const { return dir_.Path() + relative; }
    std::string Write(const std::string& relative, const std::string& contents) const {
        return dir_.WriteFile(relative, contents);
    }
    std::string WritePod(const std::string& relative, const TPodWriter& pod) const {
        return Write(relative, pod.Bytes());
    }

    TTempDir dir_;
    TQRXFileFinder finder_;
    std::string savedProgramFolder_;
};

TEST_F(FileFinderTest, FolderListPutsProgramDataFirstThenTheSearchPathsInOrder) {
    ASSERT_EQ(finder_.SearchFolders.size(), 6u);
    EXPECT_EQ(finder_.SearchFolders[0], Path("prog/data"));
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(finder_.SearchFolders[static_cast<size_t>(i)], Path("s" + std::to_string(i)));
    }
    // Rebuilding replaces the list but leaves the answers already given.
    finder_.FoundCache.Add("X=Fsomewhere");
    BuildSearchFolders(finder_, TStringList{"", "", "", "", ""});
    EXPECT_EQ(finder_.SearchFolders, (TStringList{Path("prog/data"), "", "", "", "", ""}));
    EXPECT_EQ(finder_.FoundCache.size(), 1u);
}

TEST_F(FileFinderTest, LooseFileInDataBeatsArchiveInFirstSearchFolder) {
    const std::string loose = Write("prog/data/ROAD.RAW", "loose");
    WritePod("s1/GAME.POD", TPodWriter().Add("ART\\ROAD.RAW", "packed"));
    EXPECT_EQ(finder_.Locate("ART\\ROAD.RAW"), "F" + loose);
    EXPECT_EQ(finder_.LastLocation, "F" + loose);
}

TEST_F(FileFinderTest, LooseFileBeatsArchiveInTheSameFolderAndEarlierFolderBeatsLater) {
    const std::string pod = WritePod("s2/GAME.POD", TPodWriter().Add("ART\\A.RAW", "a"));
    const std::string looseInS2 = Write("s2/deep/B.RAW", "b");
    Write("s3/A.RAW", "later folder");
    WritePod("s2/OTHER.POD", TPodWriter().Add("ART\\B.RAW", "b packed"));
    EXPECT_EQ(finder_.Locate("ART\\A.RAW"), "P" + pod);
    EXPECT_EQ(finder_.Locate("ART\\B.RAW"), "F" + looseInS2);
}

TEST_F(FileFinderTest, SubfolderFileComesBeforeSameNameDirectlyInTheFolder) {
    Write("s1/ROAD.RAW", "top");
    const std::string nested = Write("s1/sub/deeper/ROAD.RAW", "nested");
    EXPECT_EQ(finder_.Locate("ART\\ROAD.RAW"), "F" + nested);
}

TEST_F(FileFinderTest, LooseFilesMatchOnFileNameIgnoringCaseAndFolderPart) {
    const std::string loose = Write("s4/Textures/road.Raw", "x");
    EXPECT_EQ(finder_.Locate("C:ART\\ROAD.RAW"), "F" + loose);
    EXPECT_EQ(finder_.Locate("road.raw"), "F" + loose);
    EXPECT_EQ(finder_.Locate("ROAD.RA"), "");
}

TEST_F(FileFinderTest, ArchivesInNestedFoldersAreSearchedForTheWholeName) {
    const std::string pod =
        WritePod("s5/a/b/GAME.POD", TPodWriter().Add("X.TXT", "x").Add("MODELS\\CAR.BIN", "car"));
    EXPECT_EQ(finder_.Locate("models\\car.bin"), "P" + pod);
}

TEST_F(FileFinderTest, BareNameDoesNotFindArchiveEntryWithFolderButFindsLooseFile) {
    WritePod("s1/GAME.POD", TPodWriter().Add("ART\\ROAD.RAW", "packed"));
    EXPECT_EQ(finder_.Locate("ROAD.RAW"), "");
    // The miss is cached, so a later loose file needs a new finder to show up.
    TQRXFileFinder fresh;
    fresh.SearchFolders = finder_.SearchFolders;
    const std::string loose = Write("s3/ROAD.RAW", "loose");
    EXPECT_EQ(fresh.Locate("ROAD.RAW"), "F" + loose);
}

TEST_F(FileFinderTest, RequestsDifferingInCaseShareOneCacheLine) {
    const std::string loose = Write("s1/ROAD.RAW", "x");
    EXPECT_EQ(finder_.Locate("ART\\ROAD.RAW"), "F" + loose);
    EXPECT_EQ(finder_.Locate("art\\road.raw"), "F" + loose);
    EXPECT_EQ(finder_.FoundCache.Lines(), (TStringList{"ART\\ROAD.RAW=F" + loose}));
    EXPECT_TRUE(finder_.MissingCache.empty());
}

TEST_F(FileFinderTest, MissStaysAMissEvenAfterTheFileAppears) {
    EXPECT_EQ(finder_.Locate("ART\\LATE.RAW"), "");
    EXPECT_EQ(finder_.MissingCache.Lines(), (TStringList{"ART\\LATE.RAW=XXX"}));
    Write("prog/data/LATE.RAW", "now here");
    EXPECT_EQ(finder_.Locate("art\\late.raw"), "");
    EXPECT_EQ(finder_.MissingCache.size(), 1u);
    EXPECT_TRUE(finder_.FoundCache.empty());
}

TEST_F(FileFinderTest, FirstAnswerStaysWhenTheFileDisappears) {
    const std::string loose = Write("s1/GONE.RAW", "x");
    EXPECT_EQ(finder_.Locate("GONE.RAW"), "F" + loose);
    std::filesystem::remove(loose);
    EXPECT_EQ(finder_.Locate("GONE.RAW"), "F" + loose);
}

TEST_F(FileFinderTest, WithAllSearchPathsEmptyOnlyDataIsSearched) {
    BuildSearchFolders(finder_, TStringList(5));
    const std::string inData = Write("prog/data/IN.RAW", "x");
    Write("s1/OUT.RAW", "x");
    // An empty path must not stand for the working directory either.
    const std::string cwd = std::filesystem::current_path().string();
    Write("cwd/HERE.RAW", "x");
    ASSERT_EQ(chdir(Path("cwd").c_str()), 0);
    const std::string here = finder_.Locate("HERE.RAW");
    ASSERT_EQ(chdir(cwd.c_str()), 0);
    EXPECT_EQ(here, "");
    EXPECT_EQ(finder_.Locate("IN.RAW"), "F" + inData);
    EXPECT_EQ(finder_.Locate("OUT.RAW"), "");
}

TEST_F(FileFinderTest, MissingSearchFolderIsSkippedSilently) {
    BuildSearchFolders(finder_, TStringList{Path("nowhere"), "", Path("s3"), "", ""});
    const std::string loose = Write("s3/X.RAW", "x");
    EXPECT_EQ(finder_.Locate("X.RAW"), "F" + loose);
}

TEST_F(FileFinderTest, LastAnsweringArchiveIsTriedBeforeAnyFolder) {
    const std::string pod =
        WritePod("s2/GAME.POD", TPodWriter().Add("ART\\A.RAW", "a").Add("ART\\B.RAW", "b"));
    Write("prog/data/B.RAW", "would win a fresh search");
    EXPECT_EQ(finder_.Locate("ART\\A.RAW"), "P" + pod);
    EXPECT_EQ(finder_.Locate("ART\\B.RAW"), "P" + pod);
    EXPECT_EQ(finder_.FoundCache.size(), 2u);
    EXPECT_EQ(finder_.LastLocation, "P" + pod);
    // A name the last archive lacks goes through the folders again.
    EXPECT_EQ(finder_.Locate("B.RAW"), "F" + Path("prog/data/B.RAW"));
}

TEST_F(FileFinderTest, LastArchiveThatVanishedFallsBackToTheFolders) {
    const std::string pod = WritePod("s1/GAME.POD", TPodWriter().Add("ART\\A.RAW", "a"));
    ASSERT_EQ(finder_.Locate("ART\\A.RAW"), "P" + pod);
    std::filesystem::remove(pod);
    const std::string loose = Write("s2/C.RAW", "c");
    EXPECT_EQ(finder_.Locate("ART\\C.RAW"), "F" + loose);
}

TEST_F(FileFinderTest, BrokenArchiveInASearchFolderIsSkippedWithALogLineLikeAMissingFile) {
    TLogCapture log;
    const std::string broken = Write("s1/BROKEN.POD", "abc");
    const std::string good = WritePod("s2/GOOD.POD", TPodWriter().Add("ART\\ROAD.RAW", "r"));
    EXPECT_EQ(finder_.Locate("ART\\ROAD.RAW"), "P" + good);
    EXPECT_EQ(finder_.Locate("ART\\GONE.RAW"), "");
    EXPECT_EQ(finder_.MissingCache.Lines(), TStringList{"ART\\GONE.RAW=XXX"});
    EXPECT_EQ(log.Count("Skipping unreadable archive " + broken +
                        ": Versuch hinter dem "
                        "Dateiende zu lesen"),
              2);
    // A loose file is found before any archive is opened.
    const std::string loose = Write("s1/LOOSE.RAW", "x");
    EXPECT_EQ(finder_.Locate("ART\\LOOSE.RAW"), "F" + loose);
}

TEST_F(FileFinderTest, FoldersNamedLikeTheRequestOrLikeArchivesAreNotAnswers) {
    dir_.MakeDir("prog/data/ROAD.RAW");
    dir_.MakeDir("prog/data/FOLDER.POD");
    const std::string loose = Write("s1/ROAD.RAW", "x");
    EXPECT_EQ(finder_.Locate("ROAD.RAW"), "F" + loose);
    EXPECT_EQ(finder_.Locate("NOTHING.RAW"), "");
}

TEST_F(FileFinderTest, OpenFileInArchiveGivesEntrySizeAtEntryOffset) {
    const std::string pod =
        WritePod("s1/GAME.POD", TPodWriter().Add("FIRST", "0123456789").Add("ART\\X.RAW", "xyz"));
    TGameFile file;
    EXPECT_EQ(finder_.OpenFile(file, "art\\x.raw"), 3);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Path(), pod);
    EXPECT_EQ(file.Position(), 84 + 2 * 40 + 10);
    char bytes[3];
    file.Read(bytes, 3);
    EXPECT_EQ(std::string(bytes, 3), "xyz");
}

TEST_F(FileFinderTest, OpenFileOnLooseFileGivesItsSizeFromTheStart) {
    Write("s1/sub/MODEL.BIN", "model bytes");
    TGameFile file;
    EXPECT_EQ(finder_.OpenFile(file, "MODELS\\MODEL.BIN"), 11);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Position(), 0);
    EXPECT_EQ(file.ReadByte(), 'm');
}

TEST_F(FileFinderTest, OpenFileOfUnknownNameGivesMinusOneAndLeavesHandleClosed) {
    Write("s1/OTHER.RAW", "x");
    TGameFile file;
    ASSERT_TRUE(file.Open(Path("s1/OTHER.RAW")));
    EXPECT_EQ(finder_.OpenFile(file, "NONE.RAW"), -1);
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(FileFinderTest, OpenFileOfEntryThatCannotBeOpenedGivesMinusOne) {
    // An offset of zero marks an entry that cannot be opened, whatever its size says.
    TByteWriter bytes;
    bytes.I32(1).FixedText("", 80).FixedText("ART\\Z.RAW", 32).I32(5).I32(0).Raw("zzzzz");
    Write("s1/ZERO.POD", bytes.Bytes());
    TGameFile file;
    EXPECT_EQ(finder_.OpenFile(file, "ART\\Z.RAW"), -1);
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(FileFinderTest, OpenFileOfLooseFileThatCannotBeOpenedRaises) {
    const std::string loose = Write("s1/LOST.RAW", "x");
    ASSERT_EQ(finder_.Locate("LOST.RAW"), "F" + loose);
    std::filesystem::remove(loose);
    TGameFile file;
    EXPECT_THROW(finder_.OpenFile(file, "LOST.RAW"), EInOutError);
}

TEST_F(FileFinderTest, DuringALoadEachFolderIsListedOnceAndAnOversizedOneIsNamed) {
    const std::string pod = WritePod("s1/GAME.POD", TPodWriter().Add("ART\\A.RAW", "a"));
    TStringList warnings;
    {
        const TFinderLoadScope load(finder_, warnings);
        EXPECT_EQ(finder_.Locate("ART\\NONE.RAW"), "");
        // Added after the folders were listed for this load: seen by the next load only.
        Write("s2/LATE.RAW", "late");
        EXPECT_EQ(finder_.Locate("ART\\LATE.RAW"), "");
        EXPECT_EQ(finder_.Locate("art\\a.raw"), "P" + pod);
    }
    EXPECT_TRUE(warnings.empty());
    const std::string late = Write("s2/LATE2.RAW", "late");
    EXPECT_EQ(finder_.Locate("ART\\LATE2.RAW"), "F" + late);

    for (int k = 0; k < 20; ++k) {
        Write("s3/many/F" + std::to_string(k) + ".RAW", "x");
    }
    Write("s3/more/G.RAW", "x");
    finder_.ScanLimits.MaxEntries = 10;
    TLogCapture log;
    const TFinderLoadScope load(finder_, warnings);
    EXPECT_EQ(finder_.Locate("ART\\F1.RAW"), "F" + Path("s3/many/F1.RAW"));
    EXPECT_EQ(finder_.Locate("ART\\G.RAW"), "");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("Search folder " + Path("s3")), std::string::npos);
    EXPECT_EQ(log.Count(warnings[0]), 1);
}

} // namespace
