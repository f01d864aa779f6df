#include "core/vfs/FileTools.h"
#include "tools/PodWriter.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

TEST(MatchesMask, StarsQuestionMarksAndCaseFollowTheGameSearchRules) {
    EXPECT_TRUE(MatchesMask("X.POD", "*.pod"));
    EXPECT_TRUE(MatchesMask("archive.Pod", "*.POD"));
    EXPECT_FALSE(MatchesMask("X.PODS", "*.pod"));
    EXPECT_FALSE(MatchesMask("XPOD", "*.pod"));
    EXPECT_TRUE(MatchesMask("NOEXTENSION", "*.*"));
    EXPECT_TRUE(MatchesMask(".", "*.*"));
    EXPECT_TRUE(MatchesMask("anything", "*"));
    EXPECT_TRUE(MatchesMask("ROAD1.RAW", "ROAD?.RAW"));
    EXPECT_FALSE(MatchesMask("ROAD.RAW", "ROAD?.RAW"));
    EXPECT_FALSE(MatchesMask("ROAD12.RAW", "ROAD?.RAW"));
    EXPECT_TRUE(MatchesMask("a.b.c.pod", "*.*.pod"));
    EXPECT_TRUE(MatchesMask("abcabd", "*abd"));
    EXPECT_FALSE(MatchesMask("abcab", "*abd"));
    EXPECT_TRUE(MatchesMask("", "*"));
    EXPECT_FALSE(MatchesMask("", "?"));
}

TEST(FileExistence, FilesAndFoldersAreToldApart) {
    TTempDir dir;
    const std::string file = dir.WriteFile("f.txt", "x");
    const std::string folder = dir.MakeDir("sub");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(folder));
    EXPECT_TRUE(DirectoryExists(folder));
    EXPECT_FALSE(DirectoryExists(file));
    EXPECT_FALSE(FileExists(dir.Path() + "none"));
    EXPECT_FALSE(DirectoryExists(""));
    EXPECT_FALSE(FileExists(""));
}

// root/
//   a/ b/ y.pod   a/ x.txt   c.POD   z.txt
class FolderListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.WriteFile("root/a/b/y.pod", "");
        dir_.WriteFile("root/a/x.txt", "");
        dir_.WriteFile("root/c.POD", "");
        dir_.WriteFile("root/z.txt", "");
    }
    std::string Root() const { return dir_.Path() + "root"; }
    TTempDir dir_;
};

TEST_F(FolderListingTest, SubfolderContentsComeFirstDepthFirstWithFolderEntriesAlike) {
    TStringList list;
    FindFilesRecursive(Root(), "*.*", list, true, true);
    const std::string r = Root() + "/";
    const TStringList expected = {r + "a/b/.", r + "a/b/..", r + "a/b/y.pod", r + "a/.",
                                  r + "a/..",  r + "a/b",    r + "a/x.txt",   r + ".",
                                  r + "..",    r + "a",      r + "c.POD",     r + "z.txt"};
    EXPECT_EQ(list, expected);
}

TEST_F(FolderListingTest, WithoutPathGivesBareNamesAndSkipsDotEntries) {
    TStringList list{"kept"};
    FindFilesRecursive(Root() + "/", "*.*", list, false, true);
    EXPECT_EQ(list, (TStringList{"kept", "y.pod", "b", "x.txt", "a", "c.POD", "z.txt"}));
}

TEST_F(FolderListingTest, MaskSelectsArchivesInAnyCaseInEveryLevel) {
    TStringList list;
    FindFilesRecursive(Root(), "*.pod", list, true, true);
    EXPECT_EQ(list, (TStringList{Root() + "/a/b/y.pod", Root() + "/c.POD"}));
}

TEST_F(FolderListingTest, NonRecursiveListingStaysInTheFolder) {
    TStringList list;
    FindFilesRecursive(Root(), "*.txt", list, true, false);
    EXPECT_EQ(list, (TStringList{Root() + "/z.txt"}));
}

TEST_F(FolderListingTest, MissingFolderAddsNothing) {
    TStringList list;
    FindFilesRecursive(dir_.Path() + "absent", "*.*", list, true, true);
    EXPECT_TRUE(list.empty());
}

TEST_F(FolderListingTest, SymbolicLinkBackUpTheTreeDoesNotRecurseForever) {
    std::filesystem::create_directory_symlink(Root(), Root() + "/a/loop");
    TStringList list;
    FindFilesRecursive(Root(), "*.pod", list, true, true);
    // Entering the link would revisit root, so it is not entered and every archive appears once.
    EXPECT_EQ(list, (TStringList{Root() + "/a/b/y.pod", Root() + "/c.POD"}));
}

TEST_F(FolderListingTest, SymbolicLinkToAnotherFolderIsFollowed) {
    dir_.WriteFile("elsewhere/far.pod", "");
    std::filesystem::create_directory_symlink(dir_.Path() + "elsewhere", Root() + "/link");
    TStringList list;
    FindFilesRecursive(Root(), "far.pod", list, true, true);
    EXPECT_EQ(list, (TStringList{Root() + "/link/far.pod"}));
}

TEST_F(FolderListingTest, FolderReachedByManyLinksIsListedOnceAndLimitsEndTheScan) {
    // Two links per level to the next level: followed blindly, level 18 would be listed 2^18
    // times.
    const int levels = 18;
    for (int level = 0; level < levels; ++level) {
        const std::string here = dir_.MakeDir("chain/L" + std::to_string(level));
        const std::string next = dir_.MakeDir("chain/L" + std::to_string(level + 1));
        std::filesystem::create_directory_symlink(next, here + "/a");
        std::filesystem::create_directory_symlink(next, here + "/b");
    }
    dir_.WriteFile("chain/L" + std::to_string(levels) + "/deep.pod", "");
    TStringList list;
    EXPECT_TRUE(FindFilesRecursive(dir_.Path() + "chain/L0", "*.pod", list, true, true));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_NE(list[0].find("/a/a/a/"), std::string::npos);

    list.clear();
    EXPECT_FALSE(FindFilesRecursive(dir_.Path() + "chain/L0", "*.pod", list, true, true,
                                    TScanLimits{1000, levels - 1}));
    EXPECT_TRUE(list.empty());
    list.clear();
    EXPECT_FALSE(FindFilesRecursive(Root(), "*.*", list, true, true, TScanLimits{3, 40}));
    EXPECT_FALSE(list.empty());
    EXPECT_LT(list.size(), 12u);
}

} // namespace
