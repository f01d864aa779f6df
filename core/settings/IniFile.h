// TIniFile: the viewer's INI file. Sections and keys ignore case; unknown keys and comments are
// kept. Nothing is cached: every read sees the file as it is now, and every write is a
// read-modify-write of the whole file into a temporary file renamed over the old one, so a crash
// mid-write loses nothing and two objects on one file never overwrite each other's keys.
// A write the file system refuses raises EInOutError "In <path> kann nicht geschrieben werden".
#pragma once

#include <cstdint>
#include <string>

// The section of every setting but the saved camera locations.
inline constexpr const char* kPreferencesSection = "Preferences";

class TIniFile {
public:
    explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

    const std::string& FileName() const { return fileName_; }

    // Values are returned without surrounding blanks.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    // Decimal or 0x hex; anything else gives fallback.
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t fallback) const;
    bool ValueExists(const std::string& section, const std::string& key) const;

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int32_t value);

private:
    std::string fileName_;
};

// The INI file of this run, by the one rule the viewer and the command-line tool share:
// DunmereGL.ini beside the program when that folder can be written, otherwise in the user's
// configuration folder ($XDG_CONFIG_HOME or ~/.config, then "DunmereGL"), which is created.
// An installed program folder holds kInstalledMarker and counts as not writable: root can write
// there, but settings written into /usr would outlive the package and be shared by every user.
std::string ChooseIniFileName();
inline constexpr const char* kInstalledMarker = "installed.txt";
