#include "core/settings/DMGLPrefs.h"
#include "core/base/Errors.h"
#include "core/settings/IniFile.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

namespace {

std::string PrefsFile(const TTempDir& dir, const std::vector<std::string>& preferenceLines) {
    std::vector<std::string> lines{"[Preferences]"};
    lines.insert(lines.end(), preferenceLines.begin(), preferenceLines.end());
    return dir.WriteFile("DunmereGL.ini", CrLfLines(lines));
}

TEST(Preferences, AbsentFileGivesTheDefaults) {
    TTempDir dir;
    const TDMGLPrefs prefs(dir.Path() + "DunmereGL.ini");
    EXPECT_EQ(prefs.ResetViewDistTo, 50);
    EXPECT_FALSE(prefs.ShowObjectsAfterLoad);
    EXPECT_EQ(prefs.HideObjectsWhileMovingFor, 500);
    EXPECT_EQ(prefs.ScreenshotFormat, "JPG");
    EXPECT_EQ(prefs.JPEGQuality, 80);
    EXPECT_EQ(prefs.IniFileName, dir.Path() + "DunmereGL.ini");
}

TEST(Preferences, ShowObjectsAfterLoadIsTrueOnlyForASingleY) {
    const std::pair<const char*, bool> cases[] = {{"Y", true},    {"y", true},  {" y ", true},
                                                  {"yes", false}, {"N", false}, {"1", false},
                                                  {"", false}};
    for (const auto& [value, expected] : cases) {
        TTempDir dir;
        const TDMGLPrefs prefs(PrefsFile(dir, {std::string("ShowObjectsAfterLoad=") + value}));
        EXPECT_EQ(prefs.ShowObjectsAfterLoad, expected) << "value '" << value << "'";
    }
}

TEST(Preferences, ScreenshotFormatIsUpperCasedOnReadAndWrittenBackSo) {
    TTempDir dir;
    const std::string path = PrefsFile(dir, {"ScreenshotFormat=png"});
    const TDMGLPrefs prefs(path);
    EXPECT_EQ(prefs.ScreenshotFormat, "PNG");
    prefs.Save();
    EXPECT_EQ(TIniFile(path).ReadString("Preferences", "ScreenshotFormat", ""), "PNG");
}

TEST(Preferences, IntegerKeysAcceptHexAndFallBackOnText) {
    TTempDir dir;
    const TDMGLPrefs prefs(PrefsFile(
        dir, {"JPEG Quality=0x50", "ResetViewDistTo=far", "HideObjectsWhileMovingFor=-1"}));
    EXPECT_EQ(prefs.JPEGQuality, 80);
    EXPECT_EQ(prefs.ResetViewDistTo, 50);
    EXPECT_EQ(prefs.HideObjectsWhileMovingFor, -1);
}

TEST(Preferences, SaveWritesEveryFieldSoThatLoadGetsThemBack) {
    TTempDir dir;
    const std::string path = dir.Path() + "DunmereGL.ini";
    TDMGLPrefs prefs(path);
    prefs.ResetViewDistTo = -1;
    prefs.ShowObjectsAfterLoad = true;
    prefs.HideObjectsWhileMovingFor = 1250;
    prefs.ScreenshotFormat = "BMP";
    prefs.JPEGQuality = 95;
    prefs.Save();
    const std::string text = ReadFileBytes(path);
    for (const char* line :
         {"ResetViewDistTo=-1", "ShowObjectsAfterLoad=Y", "HideObjectsWhileMovingFor=1250",
          "ScreenshotFormat=BMP", "JPEG Quality=95"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    const TDMGLPrefs reread(path);
    EXPECT_EQ(reread.ResetViewDistTo, -1);
    EXPECT_TRUE(reread.ShowObjectsAfterLoad);
    EXPECT_EQ(reread.HideObjectsWhileMovingFor, 1250);
    EXPECT_EQ(reread.ScreenshotFormat, "BMP");
    EXPECT_EQ(reread.JPEGQuality, 95);

    prefs.ShowObjectsAfterLoad = false;
    prefs.Save();
    EXPECT_NE(ReadFileBytes(path).find("ShowObjectsAfterLoad=N"), std::string::npos);
}

TEST(Preferences, SaveLeavesTheOtherKeysOfTheFileAlone) {
    TTempDir dir;
    const std::string path = PrefsFile(dir, {"SearchPath1=/games", "PanelWidth=800"});
    TIniFile ini(path);
    const TDMGLPrefs prefs(path);
    ini.WriteString("Preferences", "Water Color", "100|120|150|220");
    prefs.Save();
    EXPECT_EQ(ini.ReadString("Preferences", "SearchPath1", ""), "/games");
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelWidth", 0), 800);
    EXPECT_EQ(ini.ReadString("Preferences", "Water Color", ""), "100|120|150|220");
}

TEST(Preferences, LoadReadsTheFileAgain) {
    TTempDir dir;
    const std::string path = PrefsFile(dir, {"JPEG Quality=10"});
    TDMGLPrefs prefs(path);
    TIniFile(path).WriteInteger("Preferences", "JPEG Quality", 20);
    EXPECT_EQ(prefs.JPEGQuality, 10);
    prefs.Load();
    EXPECT_EQ(prefs.JPEGQuality, 20);
}

TEST(Preferences, SaveThatCannotWriteRaisesWithThePath) {
    TTempDir dir;
    const std::string path = dir.Path() + "missing/DunmereGL.ini";
    const TDMGLPrefs prefs(path);
    try {
        prefs.Save();
        FAIL() << "the save was not refused";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), "In " + path + " kann nicht geschrieben werden");
    }
}

} // namespace
