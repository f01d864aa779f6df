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
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

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

// The text the parser reads: an unclosed "[" would corrupt the name of the next section it meets,
// hiding the keys that follow, so such lines are given to it as comments. Zero bytes would end the
// parser's text early and are dropped. (The file itself keeps these lines: a write changes only
// the line of its key.)
std::string PrepareText(const std::string& raw) {
    std::string body;
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
            body.append(pending).append(line).append("\n");
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
    return body;
}

// Where one key's line is in the file's text, found the way the parser finds it: sections and
// keys ignore case, garbage lines are not keys, and of a key given twice the last one counts.
struct TLineSpan {
    size_t Start = 0;
    size_t Length = 0; // without the line break
    size_t End = 0;    // past the line break
};

std::vector<TLineSpan> SplitLines(const std::string& raw) {
    std::vector<TLineSpan> lines;
    size_t pos = 0;
    while (pos < raw.size()) {
        size_t end = raw.find_first_of("\r\n", pos);
        if (end == std::string::npos) {
            end = raw.size();
        }
        TLineSpan line{pos, end - pos, end};
        if (end < raw.size()) {
            line.End += (raw[end] == '\r' && end + 1 < raw.size() && raw[end + 1] == '\n') ? 2 : 1;
        }
        lines.push_back(line);
        pos = line.End;
    }
    return lines;
}

// Names are trimmed as the parser trims them, of blanks and tabs only: a name that ends in
// another control byte is another name to it, and a write must not take it for the one asked.
std::string TrimAsParser(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::string();
    }
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

std::string SectionName(const std::string& line) {
    const size_t open = line.find('[');
    return TrimAsParser(std::string_view(line).substr(open + 1, line.find(']', open) - open - 1));
}

std::string KeyName(const std::string& line) {
    return TrimAsParser(std::string_view(line).substr(0, line.find('=')));
}

// The text with section/key set to value. Every other line stays as it was, byte for byte: a new
// key goes after the last line of its section, a new section at the end.
std::string WithValue(const std::string& raw, const std::string& section, const std::string& key,
                      const std::string& value) {
    const std::vector<TLineSpan> lines = SplitLines(raw);
    std::optional<size_t> keyLine;
    std::optional<size_t> sectionEnd; // the line after which a new key of section goes
    bool inSection = section.empty();
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string line = raw.substr(lines[i].Start, lines[i].Length);
        std::erase(line, '\0');
        if (Classify(line) != TLineKind::Entry) {
            continue;
        }
        if (TrimAsParser(line).front() == '[') {
            inSection = SameText(SectionName(line), section);
        } else if (inSection && SameText(KeyName(line), key)) {
            keyLine = i;
        }
        if (inSection) {
            sectionEnd = i;
        }
    }
    const size_t firstBreak = raw.find_first_of("\r\n");
    const std::string lineBreak =
        firstBreak != std::string::npos && raw.compare(firstBreak, 2, "\r\n") == 0 ? "\r\n" : "\n";
    std::string result;
    result.reserve(raw.size() + key.size() + value.size() + section.size() + 8);
    if (keyLine) {
        const TLineSpan& line = lines[*keyLine];
        const size_t equals = raw.find('=', line.Start);
        result.append(raw, 0, equals + 1)
            .append(value)
            .append(raw, line.Start + line.Length, std::string::npos);
    } else if (sectionEnd) {
        const TLineSpan& line = lines[*sectionEnd];
        result.append(raw, 0, line.End);
        if (line.End == line.Start + line.Length) {
            result += lineBreak; // the section's last line ended the file without a break
        }
        result.append(key).append("=").append(value).append(lineBreak).append(raw, line.End,
                                                                              std::string::npos);
    } else {
        result = raw;
        if (!result.empty()) {
            if (result.back() != '\n' && result.back() != '\r') {
                result += lineBreak;
            }
            result += lineBreak;
        }
        result.append("[").append(section).append("]").append(lineBreak);
        result.append(key).append("=").append(value).append(lineBreak);
    }
    // Zero bytes would end the text early for other readers of the file.
    std::erase(result, '\0');
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
    ini.LoadData(PrepareText(text));
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

// The parsed file with the text it was parsed from. Reading a file is fast next to parsing it,
// and comparing the text is exact where a file's times may not tell two edits apart.
struct TIniFile::TParsed {
    std::string Text;
    CSimpleIniA Ini;
};

std::shared_ptr<const TIniFile::TParsed> TIniFile::Parsed() const {
    std::string text;
    if (ReadWholeFile(fileName_, text) != TReadResult::Read) {
        parsed_.reset();
        return nullptr;
    }
    if (parsed_ == nullptr || parsed_->Text != text) {
        auto parsed = std::make_shared<TParsed>();
        LoadInto(parsed->Ini, text);
        parsed->Text = std::move(text);
        parsed_ = std::move(parsed);
    }
    return parsed_;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& fallback) const {
    const std::shared_ptr<const TParsed> parsed = Parsed();
    const char* value =
        parsed == nullptr ? nullptr : parsed->Ini.GetValue(section.c_str(), key.c_str(), nullptr);
    return value == nullptr ? fallback : Trim(value);
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key,
                              int32_t fallback) const {
    return StrToIntDef(ReadString(section, key, ""), fallback);
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
    const std::shared_ptr<const TParsed> parsed = Parsed();
    return parsed != nullptr &&
           parsed->Ini.GetValue(section.c_str(), key.c_str(), nullptr) != nullptr;
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

    const std::string output = WithValue(text, section, key, value);
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
