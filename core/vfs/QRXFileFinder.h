// TQRXFileFinder: the second stop of every game-file lookup, after the track's own archive.
// Searches its folders in order (the program's "data" folder first, then the user's search
// folders), each recursively, first for a loose file with the requested file-name part and then
// for an archive that holds the whole requested name. Every answer, found or not, is cached for
// the rest of the run.
//
// While a load is in progress (TFinderLoadScope) each search folder is listed once, and each
// archive found there read once, however many names the load asks for; outside a load every
// uncached request lists the folders anew.
//
// Location strings: "F" + path of a loose file, "P" + path of the POD archive that holds the
// name, "" when not found.
#pragma once

#include "core/base/TextUtils.h"
#include "core/vfs/GameFile.h"
#include "core/vfs/ScanLimits.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class TQRXFileFinder {
public:
    TQRXFileFinder();
    ~TQRXFileFinder();
    TQRXFileFinder(TQRXFileFinder&&) noexcept;
    TQRXFileFinder& operator=(TQRXFileFinder&&) noexcept;

    std::string Locate(const std::string& name);
    // Size of what file now reads, positioned at its first byte; -1 when the name is not found.
    int64_t OpenFile(TGameFile& file, const std::string& name);

    // Keeps listings from now until EndLoad; a search folder too large to list whole is named in
    // warnings (null: only in the log), which must outlive the load.
    void BeginLoad(TStringList* warnings);
    void EndLoad();

    TStringList SearchFolders;
    TNameValueList FoundCache;   // name=location
    TNameValueList MissingCache; // name=XXX
    std::string LastLocation;
    TScanLimits ScanLimits;

private:
    struct TListing;
    const TListing& Listing(const std::string& folder);
    bool ArchiveHolds(const std::string& archivePath, const std::string& name);
    std::string SearchFolder(const std::string& folder, const std::string& name);

    bool inLoad_ = false;
    TStringList* warnings_ = nullptr;
    std::map<std::string, std::unique_ptr<TListing>> listings_;
    // Upper-case entry names of each archive read during the load; empty for a damaged one.
    std::unordered_map<std::string, std::unordered_set<std::string>> archiveNames_;
};

// Keeps the finder's listings for one load and drops them when the load ends, also by an error.
class TFinderLoadScope {
public:
    TFinderLoadScope(TQRXFileFinder& finder, TStringList& warnings) : finder_(finder) {
        finder_.BeginLoad(&warnings);
    }
    ~TFinderLoadScope() { finder_.EndLoad(); }
    TFinderLoadScope(const TFinderLoadScope&) = delete;
    TFinderLoadScope& operator=(const TFinderLoadScope&) = delete;

private:
    TQRXFileFinder& finder_;
};

// Clears folders and fills them: ProgramFolder() + "data", then the five search paths in order.
void BuildSearchFolders(TQRXFileFinder& finder, const TStringList& searchPaths);
