#include "core/settings/DMGLPrefs.h"

#include "core/base/TextUtils.h"
#include "core/settings/IniFile.h"

TDMGLPrefs::TDMGLPrefs(std::string iniFileName) : IniFileName(std::move(iniFileName)) {
    Load();
}

void TDMGLPrefs::Load() {
    const TIniFile ini(IniFileName);
    ResetViewDistTo = ini.ReadInteger(kPreferencesSection, "ResetViewDistTo", 50);
    ShowObjectsAfterLoad =
        UpperCase(ini.ReadString(kPreferencesSection, "ShowObjectsAfterLoad", "N")) == "Y";
    HideObjectsWhileMovingFor =
        ini.ReadInteger(kPreferencesSection, "HideObjectsWhileMovingFor", 500);
    ScreenshotFormat = UpperCase(ini.ReadString(kPreferencesSection, "ScreenshotFormat", "JPG"));
    JPEGQuality = ini.ReadInteger(kPreferencesSection, "JPEG Quality", 80);
}

void TDMGLPrefs::Save() const {
    TIniFile ini(IniFileName);
    ini.WriteInteger(kPreferencesSection, "ResetViewDistTo", ResetViewDistTo);
    ini.WriteString(kPreferencesSection, "ShowObjectsAfterLoad", ShowObjectsAfterLoad ? "Y" : "N");
    ini.WriteInteger(kPreferencesSection, "HideObjectsWhileMovingFor", HideObjectsWhileMovingFor);
    ini.WriteString(kPreferencesSection, "ScreenshotFormat", ScreenshotFormat);
    ini.WriteInteger(kPreferencesSection, "JPEG Quality", JPEGQuality);
}
