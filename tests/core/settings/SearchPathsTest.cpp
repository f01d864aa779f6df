#include "core/settings/SearchPaths.h"
#include "core/settings/IniFile.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

namespace {

TEST(SearchPaths, AbsentKeysGiveFiveEmptyPaths) {
    TTempDir dir;
    const TIniFile ini(dir.Path() + "DunmereGL.ini");
    EXPECT_EQ(LoadSearchPaths(ini), TStringList(5));
}

TEST(SearchPaths, SavedPathsComeBackInOrderWithGapsKept) {
    TTempDir dir;
    TIniFile ini(dir.Path() + "DunmereGL.ini");
    const TStringList paths = {"/games/qrx", "", "/games/qrx2/data", "", "/mnt/x y"};
    SaveSearchPaths(ini, paths);
    EXPECT_EQ(LoadSearchPaths(TIniFile(ini.FileName())), paths);
    EXPECT_EQ(ini.ReadString("Preferences", "SearchPath3", "?"), "/games/qrx2/data");
    EXPECT_TRUE(ini.ValueExists("Preferences", "SearchPath2"));
    EXPECT_EQ(ini.ReadString("Preferences", "SearchPath2", "?"), "");
}

TEST(SearchPaths, KeysWrittenByHandAreReadIgnoringCase) {
    TTempDir dir;
    const std::string path = dir.WriteFile(
        "DunmereGL.ini", CrLfLines({"[preferences]", "searchpath5=/last", "SEARCHPATH1 = /first"}));
    EXPECT_EQ(LoadSearchPaths(TIniFile(path)), (TStringList{"/first", "", "", "", "/last"}));
}

TEST(SearchPaths, SavingOverwritesEveryOneOfTheFiveKeys) {
    TTempDir dir;
    TIniFile ini(dir.Path() + "DunmereGL.ini");
    SaveSearchPaths(ini, TStringList{"a", "b", "c", "d", "e"});
    SaveSearchPaths(ini, TStringList{"", "", "", "", "only"});
    EXPECT_EQ(LoadSearchPaths(ini), (TStringList{"", "", "", "", "only"}));
}

} // namespace
