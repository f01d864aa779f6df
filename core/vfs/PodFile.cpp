#include "core/vfs/PodFile.h"

#include "core/base/Errors.h"

#include <algorithm>
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

constexpr std::string_view kTrackNameKey = "!Race Track Name";
constexpr const char* kUnnamedTrack = "<unnamed>";

bool IsLineEnd(uint8_t b) {
    return b == 13 || b == 10;
}

// The track names of many .SIT entries from one read of the bytes they cover. Entries may overlap
// one another (a hostile directory can make every entry claim the whole file), so reading each
// entry on its own would take time in proportion to entries times file size. Instead the lines of
// the block are indexed once, backwards, and each entry's answer is found in constant time,
// giving exactly what reading its lines one by one would give.
class TTrackNameScan {
public:
    explicit TTrackNameScan(std::string bytes) : bytes_(std::move(bytes)) {
        const size_t n = bytes_.size();
        runEnd_.resize(n + 1);
        nextLineStart_.resize(n + 1);
        nextKeyLine_.resize(n + 1);
        runEnd_[n] = nextLineStart_[n] = nextKeyLine_[n] = static_cast<uint32_t>(n);
        for (size_t i = n; i-- > 0;) {
            const auto at = static_cast<uint32_t>(i);
            const bool lineEnd = IsLineEnd(Byte(i));
            runEnd_[i] = lineEnd ? at : runEnd_[i + 1];
            nextLineStart_[i] = lineEnd ? nextLineStart_[i + 1] : at;
            nextKeyLine_[i] =
                LineStartsAt(i) && Text(i, runEnd_[i]) == kTrackNameKey ? at : nextKeyLine_[i + 1];
        }
    }

    // The track name of the entry whose bytes are [start, end) of the block.
    std::string TrackName(size_t start, size_t end) const {
        const TLine first = LineFrom(start, end);
        if (first.Start == first.End) {
            return kUnnamedTrack;
        }
        if (Text(first.Start, first.End) == kTrackNameKey) {
            return LineText(LineFrom(first.End, end));
        }
        const size_t key = nextKeyLine_[first.End];
        if (key < end && runEnd_[key] <= end) {
            return LineText(LineFrom(runEnd_[key], end));
        }
        // The entry's end may cut its last line down to the key itself; nothing follows it then.
        const size_t cutStart = end - std::min(end, kTrackNameKey.size());
        if (cutStart >= first.End && LineStartsAt(cutStart) &&
            Text(cutStart, end) == kTrackNameKey) {
            return "";
        }
        return kUnnamedTrack;
    }

private:
    struct TLine {
        size_t Start;
        size_t End;
    };

    uint8_t Byte(size_t i) const { return static_cast<uint8_t>(bytes_[i]); }
    bool LineStartsAt(size_t i) const {
        return !IsLineEnd(Byte(i)) && (i == 0 || IsLineEnd(Byte(i - 1)));
    }
    std::string_view Text(size_t start, size_t end) const {
        return std::string_view(bytes_).substr(start, end - start);
    }
    std::string LineText(TLine line) const { return std::string(Text(line.Start, line.End)); }
    // The next non-empty line from position from, cut at limit; empty when there is none.
    TLine LineFrom(size_t from, size_t limit) const {
        const size_t start = nextLineStart_[from];
        if (start >= limit) {
            return {limit, limit};
        }
        return {start, std::min<size_t>(runEnd_[start], limit)};
    }

    // Positions fit 32 bits: a block lies within what 32-bit offsets and sizes can reach.
    std::string bytes_;
    std::vector<uint32_t> runEnd_;        // first line end at or after i
    std::vector<uint32_t> nextLineStart_; // first byte at or after i that is not a line end
    std::vector<uint32_t> nextKeyLine_;   // first whole line at or after i that is the key
};

bool IsFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

TPodFile::TPodFile(const std::string& path) try {
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
    std::string directory(static_cast<size_t>(count) * kRecordSize, '\0');
    file.Read(directory.data(), directory.size());
    entries_.resize(static_cast<size_t>(count));
    index_.reserve(entries_.size());
    std::vector<size_t> firstOfName(entries_.size());
    for (size_t i = 0; i < entries_.size(); ++i) {
        const auto* record = reinterpret_cast<const uint8_t*>(directory.data()) + i * kRecordSize;
        TPodEntry& entry = entries_[i];
        const char* name = reinterpret_cast<const char*>(record);
        entry.Name.assign(name, strnlen(name, kNameSize));
        entry.Size = Int32At(record + 32);
        entry.Offset = Int32At(record + 36);
        // The first entry of a name stays the one the name finds.
        const auto [found, added] = index_.emplace(UpperCase(entry.Name), static_cast<int>(i));
        firstOfName[i] = static_cast<size_t>(found->second);
    }
    ReadTrackNames(file, firstOfName);
} catch (EViewerError& error) {
    // A damaged directory or track list: the archive is the file to name.
    error.SetPlace(path, "");
}

// Only the bytes that track descriptions cover are read, each at most once, and never past the
// end of the file whatever the directory claims.
void TPodFile::ReadTrackNames(TGameFile& file, const std::vector<size_t>& firstOfName) {
    struct TSpan {
        int64_t Start;
        int64_t End;
        size_t Sit;
    };
    std::vector<TSpan> spans;
    for (size_t i = 0; i < entries_.size(); ++i) {
        const std::string& name = entries_[i].Name;
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".SIT") != 0) {
            continue;
        }
        // Lines are read by name, so a later entry of the same name reads the first one's bytes.
        const TPodEntry& source = entries_[firstOfName[i]];
        const int64_t start = source.Offset;
        const int64_t end = std::min<int64_t>(start + source.Size, file.Size());
        const bool readable = start > 0 && start < end;
        if (readable) {
            spans.push_back({start, end, sitEntries_.size()});
        }
        sitEntries_.push_back(name + "=" + (readable ? "" : kUnnamedTrack));
    }
    std::sort(spans.begin(), spans.end(),
              [](const TSpan& a, const TSpan& b) { return a.Start < b.Start; });
    for (size_t first = 0; first < spans.size();) {
        int64_t blockEnd = spans[first].End;
        size_t last = first + 1;
        while (last < spans.size() && spans[last].Start < blockEnd) {
            blockEnd = std::max(blockEnd, spans[last].End);
            ++last;
        }
        const int64_t blockStart = spans[first].Start;
        std::string bytes(static_cast<size_t>(blockEnd - blockStart), '\0');
        file.Seek(blockStart);
        file.Read(bytes.data(), bytes.size());
        const TTrackNameScan scan(std::move(bytes));
        for (size_t k = first; k < last; ++k) {
            sitEntries_[spans[k].Sit] +=
                scan.TrackName(static_cast<size_t>(spans[k].Start - blockStart),
                               static_cast<size_t>(spans[k].End - blockStart));
        }
        first = last;
    }
}

int TPodFile::FindEntry(const std::string& name) const {
    const auto found = index_.find(UpperCase(name));
    return found == index_.end() ? -1 : found->second;
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
    file.SetEntryName(name);
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
    std::string result = kUnnamedTrack;
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
