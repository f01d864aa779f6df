// TDMGLPrefs: the five user preferences of section "Preferences" in DunmereGL.ini.
#pragma once

#include <cstdint>
#include <string>

class TDMGLPrefs {
public:
    explicit TDMGLPrefs(std::string iniFileName); // calls Load

    void Load();
    void Save() const; // raises EInOutError when the file cannot be written

    int32_t ResetViewDistTo = 50;            // "ResetViewDistTo"; <= 0 leaves the distance alone
    bool ShowObjectsAfterLoad = false;       // "ShowObjectsAfterLoad", "Y" or "N"
    int32_t HideObjectsWhileMovingFor = 500; // "HideObjectsWhileMovingFor", ms; -1 = off
    std::string ScreenshotFormat = "JPG";    // "ScreenshotFormat", upper case
    int32_t JPEGQuality = 80;                // "JPEG Quality"
    std::string IniFileName;
};
