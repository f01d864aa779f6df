#include "core/settings/DMGLPrefs.h"

#include "core/base/TextUtils.h"
#include "core/settings/IniFile.h"

namespace {
constexpr const char* kSection = "Preferences";
}

TDMGLPrefs::TDMGLPrefs(std::string iniFileName) : IniFileName(std::move(iniFileName)) {
    Load();
}

void TDMGLPrefs::Load() {
    const TIniFile ini(IniFileName);
    ResetViewDistTo = ini.ReadInteger(kSection, "ResetViewDistTo", 50);
    ShowObjectsAfterLoad = UpperCase(ini.ReadString(kSection, "ShowObjectsAfterLoad", "N")) == "Y";
    HideObjectsWhileMovingFor = ini.ReadInteger(kSection, "HideObjectsWhileMovingFor", 500);
    ScreenshotFormat = UpperCase(ini.ReadString(kSection, "ScreenshotFormat", "JPG"));
    JPEGQuality = ini.ReadInteger(kSection, "JPEG Quality", 80);
}

void TDMGLPrefs::Save() const {
    TIniFile ini(IniFileName);
    ini.WriteInteger(kSection, "ResetViewDistTo", ResetViewDistTo);
    ini.WriteString(kSection, "ShowObjectsAfterLoad", ShowObjectsAfterLoad ? "Y" : "N");
    ini.WriteInteger(kSection, "HideObjectsWhileMovingFor", HideObjectsWhileMovingFor);
    ini.WriteString(kSection, "ScreenshotFormat", ScreenshotFormat);
    ini.WriteInteger(kSection, "JPEG Quality", JPEGQuality);
}
