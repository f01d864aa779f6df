#include "core/vfs/PodFile.h"

#include "core/base/Errors.h"

#include <cstring>
#include <sys/stat.h>

namespace {

constexpr int kHeaderSize = 84;
constexpr int kRecordSize = 40;
constexpr int kNameSize = 32;

int32_t Int32At(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                (static_cast<uint32_t>(p[2]) << 16) |
                                (static_cast<uint32_t>(p[3]) << 24));
}

bool IsFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

TPodFile::TPodFile(const std::string& path) {
    if (!IsFile(path)) {
        throw EDunmereError("PodFile: File not found!");
    }
    archivePath_ = path;
    TGameFile file;
    if (!file.Open(path)) {
        throw EInOutError("Datei " + path + " kann nicht geöffnet werden");
    }
    uint8_t header[kHeaderSize];
    file.Read(header, kHeaderSize);
    const int32_t count = Int32At(header);
    description_.assign(reinterpret_cast<const char*>(header + 4), 80);
    // An untrusted count must fit the file before it drives an allocation.
    if (count < 0 || static_cast<int64_t>(count) * kRecordSize > file.Remaining()) {
        RaiseReadPastEnd();
    }
    entries_.resize(static_cast<size_t>(count));
    for (TPodEntry& entry : entries_) {
        uint8_t record[kRecordSize];
        file.Read(record, kRecordSize);
        const char* name = reinterpret_cast<const char*>(record);
        entry.Name.assign(name, strnlen(name, kNameSize));
        entry.Size = Int32At(record + 32);
        entry.Offset = Int32At(record + 36);
    }
    file.Close();
    for (const TPodEntry& entry : entries_) {
        const std::string& name = entry.Name;
        if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".SIT") == 0) {
            sitEntries_.push_back(name + "=" + GetTrackName(name));
        }
    }
}

int TPodFile::FindEntry(const std::string& name) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (SameText(entries_[i].Name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int32_t TPodFile::GetEntryOffset(const std::string& name) const {
    const int i = FindEntry(name);
    return i < 0 ? 0 : entries_[i].Offset;
}

int32_t TPodFile::GetEntrySize(const std::string& name) const {
    const int i = FindEntry(name);
    return i < 0 ? 0 : entries_[i].Size;
}

int64_t TPodFile::GetEntryEnd(const std::string& name) const {
    const int i = FindEntry(name);
    return i < 0 ? 0 : static_cast<int64_t>(entries_[i].Offset) + entries_[i].Size;
}

bool TPodFile::OpenEntry(TGameFile& file, const std::string& name) const {
    file.Close();
    const int32_t offset = GetEntryOffset(name);
    if (offset <= 0 || !file.Open(archivePath_)) {
        return false;
    }
    file.Seek(offset);
    if (file.Position() != offset) {
        file.Close();
        return false;
    }
    return true;
}

std::string TPodFile::ReadLine(TGameFile& file, const std::string& name) const {
    return ReadLineUntil(file, GetEntryEnd(name));
}

std::string ReadLineUntil(TGameFile& file, int64_t end) {
    std::string result;
    while (!file.Eof() && file.Position() < end) {
        const uint8_t b = file.ReadByte();
        if (b == 13 || b == 10) {
            if (!result.empty()) {
                break;
            }
            continue;
        }
        result += static_cast<char>(b);
    }
    return result;
}

std::string TPodFile::GetTrackName(const std::string& sitEntryName) const {
    std::string result = "<unnamed>";
    TGameFile file;
    if (!OpenEntry(file, sitEntryName)) {
        return result;
    }
    for (;;) {
        const std::string line = ReadLine(file, sitEntryName);
        if (line.empty()) {
            break;
        }
        if (line == "!Race Track Name") {
            result = ReadLine(file, sitEntryName);
            break;
        }
    }
    return result;
}
