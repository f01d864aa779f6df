// TGameFiles: the one way to reach a game file that may come from elsewhere than the track's own
// archive (textures, palettes, models, the light map, the texture list). The opened archive
// answers first; a name it lacks, or every name while no archive is open, goes to the file finder
// (the program's "data" folder and the user's search folders, loose or inside other archives).
// Names are compared ignoring the case of ASCII letters on both stops.
//
// The lookup itself logs nothing and warns of nothing: each loader says in its own words what a
// missing file means for it.
#pragma once

#include "core/base/TextUtils.h"
#include "core/vfs/GameFile.h"

#include <cstdint>
#include <string>
#include <unordered_set>

class TAssetLog;
class TPalettePool;
class TPodFile;
class TQRXFileFinder;

enum class TGameFileSource { Nowhere, Archive, Finder };

struct TOpenedGameFile {
    // Positioned at the first byte of the file's data; closed when the name was found nowhere.
    TGameFile File;
    // What the archive's directory or the finder says the file holds; -1 when found nowhere.
    // An archive directory is trusted as it stands, so an entry may claim a negative size.
    int64_t Size = -1;
    // The position in File just past the file's last byte; -1 when found nowhere.
    int64_t End = -1;
    TGameFileSource Source = TGameFileSource::Nowhere;

    bool Found() const { return Source != TGameFileSource::Nowhere; }
};

class TGameFiles {
public:
    // archive may be null (model textures and tests without a track); both must outlive this.
    TGameFiles(const TPodFile* archive, TQRXFileFinder& finder)
        : archive_(archive), finder_(finder) {}

    const TPodFile* Archive() const { return archive_; }
    // The finder caches every answer, so a lookup is not a const operation.
    TOpenedGameFile Open(const std::string& name);

    // From now on every lookup is written to log (null stops that); log must outlive this.
    void RecordInto(TAssetLog* log) { log_ = log; }
    // Writes where name would be found to the log without opening it, for a file whose contents
    // an earlier load left in a cache.
    void RecordCached(const std::string& name);

private:
    void Record(const std::string& name, TGameFileSource source, int64_t size);

    const TPodFile* archive_;
    TQRXFileFinder& finder_;
    TAssetLog* log_ = nullptr;
};

// One track load's access to game files together with the list its loaders add their warnings to.
// The list belongs to the load (the caller shows it when the load ends) while the files belong to
// the opened archive, so the two travel side by side rather than as one object.
struct TGameLoad {
    TGameLoad(TGameFiles& files, TStringList& warnings, TPalettePool& palettes)
        : Files(files), Warnings(warnings), Palettes(palettes) {}

    TGameFiles& Files;
    TStringList& Warnings;
    // The palettes of the game textures, kept across loads by their owner.
    TPalettePool& Palettes;

    // Adds line unless an equal line is already there, also one added to Warnings directly.
    void WarnOnce(const std::string& line);

private:
    // A track can miss thousands of textures; the lines already in Warnings are hashed so that
    // warning about each stays cheap. Lines appended directly are taken in on the next call.
    std::unordered_set<std::string> known_;
    size_t knownCount_ = 0;
};
