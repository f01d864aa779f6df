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

bool ArchiveHolds(const std::string& archivePath, const std::string& name) {
    const TPodFile pod(archivePath);
    return pod.FindEntry(name) != -1;
}

// One search folder: a loose file by its file-name part first, then an archive that holds the
// whole name. Listings also name folders (and "." / ".."), which can never be opened as files.
std::string SearchFolder(const std::string& folder, const std::string& name) {
    const std::string wanted = UpperCase(RequestFileName(name));
    TStringList files;
    FindFilesRecursive(folder, "*.*", files, true, true);
    for (const std::string& path : files) {
        if (UpperCase(DiskFileName(path)) == wanted && FileExists(path)) {
            return "F" + path;
        }
    }
    TStringList archives;
    FindFilesRecursive(folder, "*.pod", archives, true, true);
    for (const std::string& path : archives) {
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

} // namespace

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
        if (held) {
            FoundCache.Add(name + "=" + LastLocation);
            return LastLocation;
        }
    }
    for (const std::string& folder : SearchFolders) {
        if (!DirectoryExists(folder)) {
            continue;
        }
        const std::string location = SearchFolder(folder, name);
        if (!location.empty()) {
            FoundCache.Add(name + "=" + location);
            LastLocation = location;
            return location;
        }
    }
    MissingCache.Add(name + "=" + kMissingMark);
    return "";
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
