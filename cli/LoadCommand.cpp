// dunmeregl-cli load ARCHIVE [--track ENTRY] [--search DIR]... [--ini FILE]
// Loads one track as the viewer does and prints the load's warnings, one per line.
#include "cli/TrackSession.h"

namespace {

int CliLoad(const TCliArgs& arguments, std::ostream& out, std::ostream&) {
    TCliArgs args = arguments;
    const TCliTrackOptions options = TakeTrackOptions(args);
    if (!args.empty()) {
        throw ECliUsageError("load: unexpected argument " + args[0]);
    }
    TCliTrackSession session(options, 64, 64);
    session.Load();
    for (const std::string& warning : session.Session().Warnings()) {
        out << warning << '\n';
    }
    return kCliDone;
}

const TCliRegistration
    registration({"load", "ARCHIVE [--track ENTRY] [--search DIR]... [--ini FILE]", CliLoad,
                  "      Loads the track as the viewer does and prints the load's warnings, one\n"
                  "      per line.\n"});

} // namespace
