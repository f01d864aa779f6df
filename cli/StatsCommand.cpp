// dunmeregl-cli stats ARCHIVE [--track ENTRY] [--search DIR]... [--ini FILE] [--json]
//     [view options of render]
//
// Loads the track as `render` does and prints the statistics of the viewer's track report; the
// triangles drawn are those of the view `render` would draw with the same options.
#include "cli/RenderView.h"
#include "cli/TrackSession.h"
#include "render/PickScene.h"

namespace {

int CliStats(const TCliArgs& arguments, std::ostream& out, std::ostream& err) {
    TCliArgs args = arguments;
    const bool asJson = TakeFlag(args, "--json");
    const TCliTrackOptions trackOptions = TakeTrackOptions(args);
    TViewOptions viewOptions;
    for (size_t i = 0; i < args.size(); ++i) {
        if (!TakeViewOption("stats", args, i, viewOptions)) {
            throw ECliUsageError("stats: unexpected argument " + args[i]);
        }
    }
    TCliTrackSession session(trackOptions, 64, 64);
    const TViewState& view = LoadTrackView(session, viewOptions, err);
    const TTrackStatistics statistics =
        FrameTrackStatistics(session.Render(), view, session.LoadSteps());
    out << (asJson ? FormatTrackStatisticsJson(statistics) : FormatTrackStatistics(statistics));
    return kCliDone;
}

const TCliRegistration registration(
    {"stats",
     "ARCHIVE [--track ENTRY] [--search DIR]... [--ini FILE] [--json] [--camera VALUE] "
     "[--map] [--objects 0..2] [--checkpoints] [--no-boxes] [--square]",
     CliStats,
     "      Loads the track and prints what it holds and costs: cells with terrain and ground\n"
     "      boxes, objects by model, checkpoints, textures, triangles drawn from the view\n"
     "      render would draw, GPU memory and the load time of each step. --json writes one\n"
     "      JSON object instead.\n"});

} // namespace
