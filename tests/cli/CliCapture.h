// Runs the tool's subcommands in the test's own process and keeps what they print.
#pragma once

#include "cli/CliCommands.h"
#include "cli/TrackSession.h"

#include <memory>
#include <sstream>
#include <string>

struct TCliRun {
    int Code = -1;
    std::string Out;
    std::string Err;
};

inline TCliRun Capture(const TCliArgs& args) {
    std::ostringstream out;
    std::ostringstream err;
    TCliRun run;
    run.Code = RunCli(args, out, err);
    run.Out = out.str();
    run.Err = err.str();
    return run;
}

// The track of an archive loaded as a subcommand loads it, for a test to compare with what the
// subcommand wrote.
inline std::unique_ptr<TCliTrackSession> LoadedTrack(const std::string& archive,
                                                     const std::string& track = "") {
    TCliTrackOptions options;
    options.Archive = archive;
    options.Track = track;
    auto session = std::make_unique<TCliTrackSession>(options, 64, 64);
    session->Load();
    return session;
}
