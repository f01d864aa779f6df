#include "core/settings/RecentArchives.h"

#include "core/settings/IniFile.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

namespace {

TEST(RecentArchives, ANewArchiveComesFirstAndOneNamedAgainMovesToTheFront) {
    TStringList list = WithRecentArchive({}, "/a/ONE.POD");
    list = WithRecentArchive(list, "/a/TWO.POD");
    EXPECT_EQ(list, (TStringList{"/a/TWO.POD", "/a/ONE.POD"}));
    list = WithRecentArchive(list, "/a/ONE.POD");
    EXPECT_EQ(list, (TStringList{"/a/ONE.POD", "/a/TWO.POD"}));
}

TEST(RecentArchives, KeepsTheLastEight) {
    TStringList list;
    for (int i = 1; i <= 10; ++i) {
        list = WithRecentArchive(list, "/p/" + std::to_string(i) + ".POD");
    }
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list.front(), "/p/10.POD");
    EXPECT_EQ(list.back(), "/p/3.POD");
}

TEST(RecentArchives, MissingArchivesAreRemovedKeepingTheOrder) {
    const TStringList list{"/x/A.POD", "/x/GONE.POD", "/x/B.POD"};
    EXPECT_EQ(WithoutMissingArchives(list, [](const std::string& p) { return p != "/x/GONE.POD"; }),
              (TStringList{"/x/A.POD", "/x/B.POD"}));
}

TEST(RecentArchives, SurviveInTheirOwnSectionAndAShorterListLeavesNoOldNames) {
    TTempDir dir;
    TIniFile ini(dir.Path() + "DunmereGL.ini");
    ini.WriteString("Preferences", "PanelWidth", "640");
    SaveRecentArchives(ini, {"/t/C.POD", "/t/B.POD", "/t/A.POD"});
    EXPECT_EQ(ini.ReadString("RecentArchives", "File1", ""), "/t/C.POD");
    EXPECT_EQ(ini.ReadString("RecentArchives", "File3", ""), "/t/A.POD");
    EXPECT_EQ(LoadRecentArchives(ini), (TStringList{"/t/C.POD", "/t/B.POD", "/t/A.POD"}));

    SaveRecentArchives(ini, {"/t/A.POD"});
    EXPECT_EQ(LoadRecentArchives(ini), (TStringList{"/t/A.POD"}));
    EXPECT_EQ(ini.ReadString("Preferences", "PanelWidth", ""), "640");
}

TEST(RecentArchives, AnEditedFileWithGapsAndRepeatsReadsAsAPlainList) {
    TTempDir dir;
    TIniFile ini(dir.Path() + "DunmereGL.ini");
    ini.WriteString("RecentArchives", "File2", "/t/A.POD");
    ini.WriteString("RecentArchives", "File5", "/t/A.POD");
    ini.WriteString("RecentArchives", "File7", "/t/B.POD");
    ini.WriteString("RecentArchives", "File9", "/t/NINTH.POD");
    EXPECT_EQ(LoadRecentArchives(ini), (TStringList{"/t/A.POD", "/t/B.POD"}));
}

} // namespace
