// TQRXFileFinder: the second stop of every game-file lookup, after the track's own archive.
// Searches its folders in order (the program's "data" folder first, then the user's search
// folders), each recursively, first for a loose file with the requested file-name part and then
// for an archive that holds the whole requested name. Every answer, found or not, is cached for
// the rest of the run.
//
// Location strings: "F" + path of a loose file, "P" + path of the POD archive that holds the
// name, "" when not found.
#pragma once

#include "core/base/TextUtils.h"
#include "core/vfs/GameFile.h"

#include <cstdint>
#include <string>

class TQRXFileFinder {
public:
    std::string Locate(const std::string& name);
    // Size of what file now reads, positioned at its first byte; -1 when the name is not found.
    int64_t OpenFile(TGameFile& file, const std::string& name);

    TStringList SearchFolders;
    TNameValueList FoundCache;   // name=location
    TNameValueList MissingCache; // name=XXX
    std::string LastLocation;
};

// Clears folders and fills them: ProgramFolder() + "data", then the five search paths in order.
void BuildSearchFolders(TQRXFileFinder& finder, const TStringList& searchPaths);
