// The archive explorer's view of a POD archive: what kind of file each directory entry holds, the
// folder part it is listed under, and where extracting it would write.
//
// A kind comes from the name's ending and the first bytes, except for the grids and texture lists,
// which have no fixed ending: a level file names them, so the catalogue reads every level entry
// first and takes its names as the strongest evidence, then falls back to the grid sizes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TPodFile;

enum class TEntryKind {
    TextureRaw,
    TextureBmp,
    TextureTga,
    Palette,
    Model,
    AnimationControl,
    TrackDescription,
    Level,
    HeightGrid,          // altitude, ground box bottom or top: one byte per grid point
    LightMap,            // 7 bytes per grid point, byte 0 the light
    TextureIndexGrid,    // one texture entry per cell
    BoxTextureIndexGrid, // six texture entries per cell
    TextureList,
    Text,
    Unknown,
};

// "texture RAW", "palette ACT", "model BIN", ... as the explorer's kind column shows it.
std::string EntryKindText(TEntryKind kind);

// How many leading bytes DetectEntryKind looks at.
constexpr size_t kKindProbeBytes = 512;

// The kind of an entry judged alone: head is up to kKindProbeBytes of its first bytes, size what
// the directory says it holds.
TEntryKind DetectEntryKind(const std::string& name, const std::string& head, int64_t size);

// "ART\" for "ART\ROAD.RAW", "" for a name in the archive's root.
std::string FolderPart(const std::string& name);

struct TCatalogEntry {
    int Index = 0; // in the archive's directory
    std::string Name;
    std::string Folder;
    int64_t Size = 0;
    TEntryKind Kind = TEntryKind::Unknown;
};

// Every directory entry in archive order. An entry whose bytes cannot be read (an offset past the
// end of the file) is judged by its name alone.
std::vector<TCatalogEntry> CatalogArchive(const TPodFile& pod);

// The grid and list names the level entry lvlName refers to, each with its kind.
struct TLevelReference {
    std::string Name;
    TEntryKind Kind;
};
std::vector<TLevelReference> LevelReferences(const TPodFile& pod, const std::string& lvlName);

struct TExtractTarget {
    int Index = 0;
    std::string Path; // folder + the entry name, backslashes as "/"
};
struct TExtractPlan {
    std::vector<TExtractTarget> Targets;
    // Targets whose path already exists: the caller asks before extracting with overwrite.
    std::vector<std::string> Conflicts;
    // Names that would leave folder ("..", absolute parts) or replace the archive itself; they
    // are never written.
    std::vector<std::string> Refused;
};
// Where extracting the entries indices of pod into folder writes; writes nothing.
TExtractPlan PlanExtraction(const TPodFile& pod, const std::vector<int>& indices,
                            const std::string& folder);
// Writes every target, making its sub-folders; a conflict is skipped unless overwrite is set.
// Raises EInOutError naming the file that cannot be read or written; returns how many were written.
int ExtractEntries(const TPodFile& pod, const TExtractPlan& plan, bool overwrite);
