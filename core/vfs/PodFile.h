// TPodFile: one opened POD archive, read only.
//
// On-disk layout (little-endian):
//   0   int32     EntryCount
//   4   80 bytes  Description (not interpreted)
//   84  EntryCount x 40-byte records:
//         0  32 bytes  Name, ends at the first zero byte or after 32 characters
//        32  int32     Size in bytes
//        36  int32     Offset from the start of the file
//   entry contents at their offsets
//
// The directory is read once; every operation that needs entry bytes opens the file anew.
// Names are compared whole, folding ASCII letters only: ROAD.RAW does not find ART\ROAD.RAW.
#pragma once

#include "core/base/TextUtils.h"
#include "core/vfs/GameFile.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// The next non-empty line before position end; "" when there is none. Carriage returns and line
// feeds end a line; blank lines are skipped.
std::string ReadLineUntil(TGameFile& file, int64_t end);

struct TPodEntry {
    std::string Name;
    int32_t Size = 0;
    int32_t Offset = 0;
};

class TPodFile {
public:
    // Raises EDunmereError "PodFile: File not found!" when path is not a file, and EInOutError
    // when the file is shorter than its header or directory claims.
    explicit TPodFile(const std::string& path);

    int FindEntry(const std::string& name) const; // -1 when absent
    int32_t GetEntryOffset(const std::string& name) const;
    int32_t GetEntrySize(const std::string& name) const;
    int64_t GetEntryEnd(const std::string& name) const;

    // Opens file on the archive positioned at the entry's first byte; false leaves it closed.
    bool OpenEntry(TGameFile& file, const std::string& name) const;
    // The next non-empty line of the entry; "" when it has no more.
    std::string ReadLine(TGameFile& file, const std::string& name) const;
    std::string GetTrackName(const std::string& sitEntryName) const;

    const std::string& ArchivePath() const { return archivePath_; }
    int32_t EntryCount() const { return static_cast<int32_t>(entries_.size()); }
    const std::string& Description() const { return description_; }
    const std::vector<TPodEntry>& Entries() const { return entries_; }
    // ENTRY=Track name, one line per .SIT entry, archive order.
    const TStringList& SitEntries() const { return sitEntries_; }

private:
    // firstOfName[i]: the entry that entry i's name finds.
    void ReadTrackNames(TGameFile& file, const std::vector<size_t>& firstOfName);

    std::string archivePath_;
    std::string description_;
    std::vector<TPodEntry> entries_;
    TStringList sitEntries_;
    std::unordered_map<std::string, int> index_; // upper-cased name -> first entry of that name
};
