// TIniFile: the viewer's INI file. Sections and keys ignore case; unknown keys and comments are
// kept. Every read sees the file as it is now: the parsed file is kept only while the file's
// inode, size and modification time stay the same, so a long file is not parsed again for each
// key. Every write is a read-modify-write of the whole file into a temporary file renamed over
// the old one, so a crash mid-write loses nothing and two objects on one file never overwrite
// each other's keys; it changes the one line of its key (or adds one) and keeps every other line
// byte for byte.
// A write the file system refuses raises EInOutError "In <path> kann nicht geschrieben werden".
#pragma once

#include <cstdint>
#include <memory>
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
    struct TParsed;
    std::shared_ptr<const TParsed> Parsed() const;

    std::string fileName_;
    // Reading does not change the file, so the cache of what it holds is not part of the state.
    mutable std::shared_ptr<const TParsed> parsed_;
};

// The INI file of this run, by the one rule the viewer and the command-line tool share:
// DunmereGL.ini beside the program when that folder can be written, otherwise in the user's
// configuration folder ($XDG_CONFIG_HOME or ~/.config, then "DunmereGL"), which is created.
// An installed program folder holds kInstalledMarker and counts as not writable: root can write
// there, but settings written into /usr would outlive the package and be shared by every user.
std::string ChooseIniFileName();
inline constexpr const char* kInstalledMarker = "installed.txt";
