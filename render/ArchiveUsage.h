// Which tracks of an archive use each of its entries: every track is loaded as the viewer loads
// it, without drawing, and its asset log says what the load asked for. An entry no track asks for
// is unused; a name a track asks for that neither the archive nor the search folders hold is
// missing.
//
// The loads go through a track session of the scan's own and need a GL context of their own,
// which the scan makes on the calling thread. The loaders report through the process's one
// message sink, which the scan replaces while it runs, so the window runs it in a process of its
// own ("dunmeregl-cli usage"). The loads write nothing to the session log and show no messages: a
// track whose load fails is reported in Failures instead.
#pragma once

#include "core/base/TextUtils.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class TPodFile;

struct TMissingAsset {
    std::string Name;
    std::vector<int> Tracks; // indices into TArchiveUsage::Tracks
};

struct TArchiveUsage {
    std::vector<std::string> Tracks; // the .SIT entries, archive order
    // For each directory entry, the tracks whose load read it; empty for an unused entry.
    std::vector<std::vector<int>> EntryTracks;
    std::vector<TMissingAsset> Missing; // in the order first asked for
    std::vector<std::string> Failures;  // "TRACK.SIT: the load's error"
};

// Called before each track load with the tracks done so far and the number of tracks.
using TUsageProgress = std::function<void(int done, int total, const std::string& track)>;

// The preferences come from iniFileName; searchFolders, when given, replace its search paths
// (the program's data folder is searched first).
TArchiveUsage ScanArchiveUsage(const TPodFile& pod, const std::string& iniFileName,
                               const std::optional<TStringList>& searchFolders,
                               const TUsageProgress& progress = {});
