// TAssetLog: where each game file of one track load came from, in the order the load first asked
// for it. The game-file lookup (TGameFiles) writes to it as files are opened, so the list names
// exactly what the viewer used rather than what a separate walk would guess.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

class TPodFile;

enum class TAssetPlace {
    Archive,      // the track's own archive
    DataFolder,   // the program's "data" folder
    SearchFolder, // one of the user's search folders
    Missing,
};

struct TAssetRecord {
    // The name as the track asks for it ("ART\ROAD.RAW").
    std::string Name;
    TAssetPlace Place = TAssetPlace::Missing;
    // The loose file, or the archive that holds the name; empty when missing.
    std::string File;
    // The name was an entry of File rather than File itself.
    bool InsideArchive = false;
    int64_t Size = -1;
};

class TAssetLog {
public:
    // Keeps the first answer for a name (names compared ignoring ASCII case): a later lookup of
    // the same name reads the same file.
    void Record(TAssetRecord record);
    void Clear();
    const std::vector<TAssetRecord>& Records() const { return records_; }

private:
    std::vector<TAssetRecord> records_;
    // Upper-case names of records_: a load may ask for a hundred thousand names.
    std::unordered_set<std::string> known_;
};

// A file that only the track's own archive may hold (the track description, the level file and
// its grids): the load raises when one is absent, so it is recorded once it has been read.
void RecordArchiveEntry(TAssetLog& log, const TPodFile& archive, const std::string& name);
// The viewer's own files beside the program that every track load may draw with, named as
// "data\missing.tga" and so on; each is recorded as found in the data folder or missing.
void RecordViewerFiles(TAssetLog& log);

// "data folder", "search folder", "archive" or "missing".
std::string AssetPlaceText(TAssetPlace place);
// NAME<TAB>WHERE<TAB>SIZE, WHERE being "archive PATH", "data folder PATH", "search folder PATH",
// "search folder PATH inside POD" ... or "missing"; SIZE is "-" for a missing file.
std::string FormatAssetLine(const TAssetRecord& record);
// A JSON array of objects with the keys, in this order: name (as the track asks for it), found
// (AssetPlaceText), file (null when missing), inside_archive, size (null when missing).
std::string FormatAssetJson(const std::vector<TAssetRecord>& records);
