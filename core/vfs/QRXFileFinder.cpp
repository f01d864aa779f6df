#include "core/vfs/QRXFileFinder.h"

#include "core/base/Errors.h"
#include "core/base/Logging.h"
#include "core/base/ProgramFolder.h"
#include "core/vfs/FileTools.h"
#include "core/vfs/PodFile.h"

namespace {

constexpr const char* kMissingMark = "XXX";

// Game names separate folders with backslashes (and may carry a drive colon); on this platform
// "/" is a separator too, and no file on disk can have it in its name.
std::string RequestFileName(const std::string& name) {
    const size_t cut = name.find_last_of("\\:/");
    return cut == std::string::npos ? name : name.substr(cut + 1);
}

std::string DiskFileName(const std::string& path) {
    const size_t cut = path.rfind('/');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

} // namespace

// One recursive listing of a search folder: every path in listing order, the loose files by
// upper-case file name (first in listing order first), and the archives in listing order.
struct TQRXFileFinder::TListing {
    std::unordered_map<std::string, TStringList> FilesByName;
    TStringList Archives;
};

TQRXFileFinder::TQRXFileFinder() = default;
TQRXFileFinder::~TQRXFileFinder() = default;
TQRXFileFinder::TQRXFileFinder(TQRXFileFinder&&) noexcept = default;
TQRXFileFinder& TQRXFileFinder::operator=(TQRXFileFinder&&) noexcept = default;

void TQRXFileFinder::BeginLoad(TStringList* warnings) {
    EndLoad();
    inLoad_ = true;
    warnings_ = warnings;
}

void TQRXFileFinder::EndLoad() {
    inLoad_ = false;
    warnings_ = nullptr;
    listings_.clear();
    archiveNames_.clear();
}

const TQRXFileFinder::TListing& TQRXFileFinder::Listing(const std::string& folder) {
    std::unique_ptr<TListing>& kept = listings_[folder];
    if (kept != nullptr) {
        return *kept;
    }
    kept = std::make_unique<TListing>();
    TStringList paths;
    if (!FindFilesRecursive(folder, "*.*", paths, true, true, ScanLimits)) {
        const std::string warning =
            "Search folder " + folder + " holds more than " +
            std::to_string(ScanLimits.MaxEntries) + " files or is nested deeper than " +
            std::to_string(ScanLimits.MaxDepth) + " folders; only part of it was searched";
        WriteLog(warning);
        if (warnings_ != nullptr) {
            warnings_->push_back(warning);
        }
    }
    for (std::string& path : paths) {
        if (MatchesMask(DiskFileName(path), "*.pod")) {
            kept->Archives.push_back(path);
        }
        kept->FilesByName[UpperCase(DiskFileName(path))].push_back(std::move(path));
    }
    return *kept;
}

bool TQRXFileFinder::ArchiveHolds(const std::string& archivePath, const std::string& name) {
    auto known = archiveNames_.find(archivePath);
    if (known == archiveNames_.end()) {
        std::unordered_set<std::string> names;
        try {
            const TPodFile pod(archivePath);
            for (const TPodEntry& entry : pod.Entries()) {
                names.insert(UpperCase(entry.Name));
            }
        } catch (const std::exception&) {
            // Kept as holding nothing, so that a load tells of it once.
            archiveNames_.emplace(archivePath, std::move(names));
            throw;
        }
        known = archiveNames_.emplace(archivePath, std::move(names)).first;
    }
    return known->second.count(UpperCase(name)) != 0;
}

// One search folder: a loose file by its file-name part first, then an archive that holds the
// whole name. Listings also name folders (and "." / ".."), which can never be opened as files.
std::string TQRXFileFinder::SearchFolder(const std::string& folder, const std::string& name) {
    const TListing& listing = Listing(folder);
    const auto loose = listing.FilesByName.find(UpperCase(RequestFileName(name)));
    if (loose != listing.FilesByName.end()) {
        for (const std::string& path : loose->second) {
            if (FileExists(path)) {
                return "F" + path;
            }
        }
    }
    for (const std::string& path : listing.Archives) {
        if (!FileExists(path)) {
            continue;
        }
        // One damaged archive among a user's files must not turn every later lookup into a
        // failed load; it is passed over like a file that is not there.
        try {
            if (ArchiveHolds(path, name)) {
                return "P" + path;
            }
        } catch (const std::exception& e) {
            WriteLog("Skipping unreadable archive " + path + ": " + e.what());
        }
    }
    return "";
}

std::string TQRXFileFinder::Locate(const std::string& name) {
    if (const auto found = FoundCache.Find(name)) {
        return *found;
    }
    if (MissingCache.Find(name)) {
        return "";
    }
    if (!LastLocation.empty() && LastLocation[0] == 'P') {
        // The last archive that answered may have gone since; then the folders decide.
        bool held = false;
        try {
            held = ArchiveHolds(LastLocation.substr(1), name);
        } catch (const std::exception&) {
            held = false;
        }
        if (!inLoad_) {
            archiveNames_.clear();
        }
        if (held) {
            FoundCache.Add(name + "=" + LastLocation);
            return LastLocation;
        }
    }
    std::string location;
    for (const std::string& folder : SearchFolders) {
        if (DirectoryExists(folder)) {
            location = SearchFolder(folder, name);
            if (!location.empty()) {
                break;
            }
        }
    }
    if (!inLoad_) {
        listings_.clear();
        archiveNames_.clear();
    }
    if (location.empty()) {
        MissingCache.Add(name + "=" + kMissingMark);
        return "";
    }
    FoundCache.Add(name + "=" + location);
    LastLocation = location;
    return location;
}

int64_t TQRXFileFinder::OpenFile(TGameFile& file, const std::string& name) {
    file.Close();
    const std::string location = Locate(name);
    if (location.empty()) {
        return -1;
    }
    const std::string path = location.substr(1);
    if (location[0] == 'F') {
        if (!file.Open(path)) {
            throw EInOutError("Datei " + path + " kann nicht geöffnet werden");
        }
        return file.Size();
    }
    if (location[0] == 'P') {
        const TPodFile pod(path);
        const int32_t size = pod.GetEntrySize(name);
        // A size the caller cannot read, or an entry that cannot be opened, must not be handed
        // out as if the handle were ready.
        if (size < 0 || !pod.OpenEntry(file, name)) {
            file.Close();
            return -1;
        }
        return size;
    }
    return -1;
}

void BuildSearchFolders(TQRXFileFinder& finder, const TStringList& searchPaths) {
    finder.SearchFolders.clear();
    finder.SearchFolders.push_back(ProgramFolder() + "data");
    finder.SearchFolders.insert(finder.SearchFolders.end(), searchPaths.begin(), searchPaths.end());
}
