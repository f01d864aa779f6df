#include "core/settings/IniFile.h"

#include "core/base/Errors.h"
#include "core/base/ProgramFolder.h"
#include "core/base/TextUtils.h"

#include <SimpleIni.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The file's text split for the INI parser: Body holds everything up to the last section or key
// line, Tail the comments and blank lines after it, which the parser would otherwise drop.
struct TIniText {
    std::string Body;
    std::string Tail;
};

enum class TLineKind { Blank, Comment, Entry, Garbage };

TLineKind Classify(const std::string& line) {
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
        ++i;
    }
    if (i == line.size()) {
        return TLineKind::Blank;
    }
    if (line[i] == ';' || line[i] == '#') {
        return TLineKind::Comment;
    }
    if (line[i] == '[') {
        return line.find(']', i) != std::string::npos ? TLineKind::Entry : TLineKind::Garbage;
    }
    const size_t eq = line.find('=', i);
    if (eq == std::string::npos || Trim(std::string_view(line).substr(i, eq - i)).empty()) {
        return TLineKind::Garbage;
    }
    return TLineKind::Entry;
}

// The parser loses lines it cannot read, and an unclosed "[" corrupts the name of the next
// section it meets, hiding the keys that follow. Such lines are kept as comments instead, so they
// neither disturb the keys around them nor vanish when the file is written back. Zero bytes would
// end the parser's text early and are dropped.
TIniText PrepareText(const std::string& raw) {
    TIniText result;
    std::string pending;
    size_t pos = 0;
    while (pos < raw.size()) {
        size_t end = raw.find_first_of("\r\n", pos);
        if (end == std::string::npos) {
            end = raw.size();
        }
        std::string line = raw.substr(pos, end - pos);
        std::erase(line, '\0');
        pos = end;
        if (pos < raw.size()) {
            pos += (raw[pos] == '\r' && pos + 1 < raw.size() && raw[pos + 1] == '\n') ? 2 : 1;
        }
        switch (Classify(line)) {
        case TLineKind::Entry:
            result.Body += pending + line + "\n";
            pending.clear();
            break;
        case TLineKind::Garbage:
            pending += ";" + line + "\n";
            break;
        default:
            pending += line + "\n";
            break;
        }
    }
    result.Tail = pending;
    return result;
}

enum class TReadResult { Absent, Read, Failed };

TReadResult ReadWholeFile(const std::string& path, std::string& text) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return errno == ENOENT ? TReadResult::Absent : TReadResult::Failed;
    }
    if (!S_ISREG(info.st_mode)) {
        return TReadResult::Failed;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return TReadResult::Failed;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.bad() ? TReadResult::Failed : TReadResult::Read;
}

void LoadInto(CSimpleIniA& ini, const std::string& text) {
    ini.SetSpaces(false);
    const TIniText prepared = PrepareText(text);
    ini.LoadData(prepared.Body);
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Temporary files are named path + kTempMark + writer pid + "-" + attempt.
constexpr const char* kTempMark = ".tmp";

bool ProcessIsGone(pid_t pid) {
    return pid != getpid() && kill(pid, 0) != 0 && errno == ESRCH;
}

// A writer killed between creating its temporary file and the rename leaves the file behind; the
// pid in its name tells whether that writer can still finish.
void RemoveStaleTempFiles(const std::string& path) {
    const std::filesystem::path target(path);
    const std::string prefix = target.filename().string() + kTempMark;
    std::error_code error;
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        const auto pid =
            TryStrToInt(name.substr(prefix.size(), name.find('-', prefix.size()) - prefix.size()));
        if (pid && *pid > 0 && ProcessIsGone(*pid)) {
            std::filesystem::remove(entry.path(), error);
        }
    }
}

// A symlinked INI file must stay a link: the new text replaces the file it points to.
std::string FollowLinks(const std::string& path) {
    std::filesystem::path current(path);
    std::error_code error;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(current, error); ++hops) {
        const std::filesystem::path next = std::filesystem::read_symlink(current, error);
        if (error) {
            break;
        }
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return current.string();
}

// The rename is only durable once the folder that holds the name is on disk too.
void SyncFolderOf(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const int fd = open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// Writes bytes to a fresh file beside path and renames it over path, so that readers (and a
// crash) see either the old file or the new one, never half of one.
bool ReplaceFile(const std::string& linkOrPath, const std::string& bytes, const struct stat* old) {
    const std::string path = FollowLinks(linkOrPath);
    RemoveStaleTempFiles(path);
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = path + kTempMark + std::to_string(getpid()) + "-" + std::to_string(attempt);
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, bytes);
    if (ok && old != nullptr) {
        ok = fchmod(fd, old->st_mode & 07777) == 0;
    }
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    SyncFolderOf(path);
    return true;
}

} // namespace

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& fallback) const {
    std::string text;
    if (ReadWholeFile(fileName_, text) != TReadResult::Read) {
        return fallback;
    }
    CSimpleIniA ini;
    LoadInto(ini, text);
    const char* value = ini.GetValue(section.c_str(), key.c_str(), nullptr);
    return value == nullptr ? fallback : Trim(value);
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key,
                              int32_t fallback) const {
    return StrToIntDef(ReadString(section, key, ""), fallback);
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
    std::string text;
    if (ReadWholeFile(fileName_, text) != TReadResult::Read) {
        return false;
    }
    CSimpleIniA ini;
    LoadInto(ini, text);
    return ini.GetValue(section.c_str(), key.c_str(), nullptr) != nullptr;
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    std::string text;
    const TReadResult state = ReadWholeFile(fileName_, text);
    // A file that cannot be read back cannot be rewritten without losing its other keys; a file
    // made read-only must stay unchanged even though renaming over it would succeed.
    if (state == TReadResult::Failed ||
        (state == TReadResult::Read && access(fileName_.c_str(), W_OK) != 0)) {
        RaiseCannotWrite(fileName_);
    }
    struct stat old {};
    const bool hadFile = state == TReadResult::Read && stat(fileName_.c_str(), &old) == 0;

    const TIniText prepared = PrepareText(text);
    CSimpleIniA ini;
    ini.SetSpaces(false);
    std::string output;
    if (ini.LoadData(prepared.Body) < 0 ||
        ini.SetValue(section.c_str(), key.c_str(), value.c_str()) < 0 || ini.Save(output) < 0) {
        RaiseCannotWrite(fileName_);
    }
    output += prepared.Tail;
    if (!ReplaceFile(fileName_, output, hadFile ? &old : nullptr)) {
        RaiseCannotWrite(fileName_);
    }
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

std::string ChooseIniFileName() {
    const std::string& programFolder = ProgramFolder();
    if (access(programFolder.c_str(), W_OK) == 0 &&
        access((programFolder + kInstalledMarker).c_str(), F_OK) != 0) {
        return programFolder + "DunmereGL.ini";
    }
    std::string base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config != 0) {
        base = config;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != 0) {
        base = std::string(home) + "/.config";
    } else {
        base = std::filesystem::temp_directory_path().string();
    }
    const std::string folder = base + "/DunmereGL";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return folder + "/DunmereGL.ini";
}
