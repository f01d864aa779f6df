// dunmeregl-cli usage ARCHIVE [--search DIR]... [--ini FILE] [--json] [--progress]
// Loads every track of the archive as the viewer does, without drawing, and prints each entry with
// the tracks whose load read it, then each name a track asked for that is nowhere:
//   NAME<TAB>used<TAB>TRACK,TRACK      NAME<TAB>unused<TAB>-      NAME<TAB>missing<TAB>TRACK,...
// --json prints one object instead (see FormatUsageJson); --progress writes "track K/N ENTRY"
// lines to the error stream as the loads go, for the archive explorer's progress bar. A track
// whose load fails is named on the error stream and the rest are still read.
#include "cli/TrackSession.h"
#include "core/explore/ArchiveCatalog.h"
#include "render/ArchiveUsage.h"

#include <nlohmann/json.hpp>

namespace {

std::string TrackList(const TArchiveUsage& usage, const std::vector<int>& tracks) {
    std::string text;
    for (const int track : tracks) {
        text += (text.empty() ? "" : ",") + usage.Tracks[static_cast<size_t>(track)];
    }
    return text.empty() ? "-" : text;
}

// {"tracks": [..], "entries": [{"index", "name", "size", "kind", "used_by": [..]}],
//  "missing": [{"name", "asked_by": [..]}], "failed": ["TRACK.SIT: error", ..]}
std::string FormatUsageJson(const std::vector<TCatalogEntry>& catalog, const TArchiveUsage& usage) {
    using json = nlohmann::ordered_json;
    const auto names = [&](const std::vector<int>& tracks) {
        json list = json::array();
        for (const int track : tracks) {
            list.push_back(usage.Tracks[static_cast<size_t>(track)]);
        }
        return list;
    };
    json entries = json::array();
    for (const TCatalogEntry& entry : catalog) {
        entries.push_back(
            {{"index", entry.Index},
             {"name", entry.Name},
             {"size", entry.Size},
             {"kind", EntryKindText(entry.Kind)},
             {"used_by", names(usage.EntryTracks[static_cast<size_t>(entry.Index)])}});
    }
    json missing = json::array();
    for (const TMissingAsset& asset : usage.Missing) {
        missing.push_back({{"name", asset.Name}, {"asked_by", names(asset.Tracks)}});
    }
    const json report = {{"tracks", usage.Tracks},
                         {"entries", entries},
                         {"missing", missing},
                         {"failed", usage.Failures}};
    return report.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

int CliUsage(const TCliArgs& arguments, std::ostream& out, std::ostream& err) {
    TCliArgs args = arguments;
    const bool asJson = TakeFlag(args, "--json");
    const bool showProgress = TakeFlag(args, "--progress");
    const TCliTrackOptions options = TakeTrackOptions(args);
    if (!args.empty()) {
        throw ECliUsageError("usage: unexpected argument " + args[0]);
    }
    if (!options.Track.empty()) {
        throw ECliUsageError("usage: every track is read; --track does not apply");
    }
    const TPodFile pod = OpenArchive(options.Archive);
    const std::vector<TCatalogEntry> catalog = CatalogArchive(pod);
    const TArchiveUsage usage =
        ScanArchiveUsage(pod, CliIniFileName(options), options.SearchFolders,
                         [&](int done, int total, const std::string& track) {
                             if (showProgress) {
                                 err << "track " << done << '/' << total << ' ' << track
                                     << std::endl;
                             }
                         });
    for (const std::string& failure : usage.Failures) {
        err << "warning: " << failure << '\n';
    }
    if (asJson) {
        out << FormatUsageJson(catalog, usage);
        return kCliDone;
    }
    for (const TCatalogEntry& entry : catalog) {
        const std::vector<int>& tracks = usage.EntryTracks[static_cast<size_t>(entry.Index)];
        out << entry.Name << '\t' << (tracks.empty() ? "unused" : "used") << '\t'
            << TrackList(usage, tracks) << '\n';
    }
    for (const TMissingAsset& asset : usage.Missing) {
        out << asset.Name << "\tmissing\t" << TrackList(usage, asset.Tracks) << '\n';
    }
    return kCliDone;
}

const TCliRegistration registration(
    {"usage", "ARCHIVE [--search DIR]... [--ini FILE] [--json] [--progress]", CliUsage,
     "      Loads every track of the archive without drawing and prints each entry as\n"
     "      NAME<TAB>used|unused|missing<TAB>TRACKS: the tracks whose load asks for it, unused\n"
     "      when none does, and every name a track asks for that is found nowhere. --json\n"
     "      writes one JSON object instead; --progress reports each track as it is loaded.\n"});

} // namespace
