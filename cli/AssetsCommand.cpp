// dunmeregl-cli assets ARCHIVE [--track ENTRY] [--search DIR]... [--ini FILE] [--json]
// Loads one track as the viewer does and lists every file the load asked for, where it was found
// and its size: one NAME<TAB>WHERE<TAB>SIZE line each, or one JSON array with --json.
#include "cli/TrackSession.h"

#include <algorithm>

namespace {

int CliAssets(const TCliArgs& arguments, std::ostream& out, std::ostream&) {
    TCliArgs args = arguments;
    const auto json = std::find(args.begin(), args.end(), "--json");
    const bool asJson = json != args.end();
    if (asJson) {
        args.erase(json);
    }
    const TCliTrackOptions options = TakeTrackOptions(args);
    if (!args.empty()) {
        throw ECliUsageError("assets: unexpected argument " + args[0]);
    }
    TCliTrackSession session(options, 64, 64);
    session.Load();
    if (asJson) {
        out << FormatAssetJson(session.Session().Assets().Records());
        return kCliDone;
    }
    for (const TAssetRecord& record : session.Session().Assets().Records()) {
        out << FormatAssetLine(record) << '\n';
    }
    return kCliDone;
}

const TCliRegistration registration(
    {"assets", "ARCHIVE [--track ENTRY] [--search DIR]... [--ini FILE] [--json]", CliAssets,
     "      Loads the track as the viewer does and lists every file the load asked for, in\n"
     "      order: NAME<TAB>WHERE<TAB>SIZE, WHERE being the archive, the data folder, a search\n"
     "      folder or missing. --json writes one JSON array of objects instead.\n"});

} // namespace
