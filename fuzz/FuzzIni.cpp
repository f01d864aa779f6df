// The INI file: the input is the file. Every setting is read, one is written, and what was
// written reads back while the keys around it keep their values.
#include "core/settings/IniFile.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = TFuzzSession::Get().WriteInput("DunmereGL.ini", data, size);
    RunReader([&] {
        TIniFile ini(path);
        const std::string lastTrackDir = ini.ReadString(kPreferencesSection, "LastTrackDir", "?");
        const int32_t quality = ini.ReadInteger(kPreferencesSection, "JPEG Quality", 75);
        ini.ValueExists("CameraPos", "Track #0");
        ini.WriteString(kPreferencesSection, "ResetViewDistTo", "64");
        Require(ini.ReadInteger(kPreferencesSection, "ResetViewDistTo", 0) == 64,
                "a written value reads back");
        Require(ini.ReadString(kPreferencesSection, "LastTrackDir", "?") == lastTrackDir,
                "writing one key leaves another as it was");
        Require(ini.ReadInteger(kPreferencesSection, "JPEG Quality", 75) == quality,
                "writing one key leaves another as it was");
    });
    return 0;
}
