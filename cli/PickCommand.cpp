// dunmeregl-cli pick ARCHIVE --at X,Y [--camera VALUE] [--size WxH] [view options of render]
//     [--track ENTRY] [--search DIR]... [--ini FILE] [--json]
//
// Loads the track as `render` does and prints what `render` with the same options would show
// under pixel X,Y (from the top-left corner), in the words of the viewer's pick panel, or as one
// JSON object with --json.
#include "cli/RenderView.h"
#include "cli/TrackSession.h"
#include "core/view/Pick.h"
#include "render/PickScene.h"

namespace {

struct TPixel {
    int X = -1;
    int Y = -1;
};

TPixel ParsePixel(const std::string& text, const TViewOptions& view) {
    const size_t comma = text.find(',');
    if (comma == std::string::npos) {
        throw ECliUsageError("pick: --at takes X,Y, not " + text);
    }
    return {IntegerOption("pick", "--at", text.substr(0, comma), 0, view.Width - 1),
            IntegerOption("pick", "--at", text.substr(comma + 1), 0, view.Height - 1)};
}

int CliPick(const TCliArgs& arguments, std::ostream& out, std::ostream& err) {
    TCliArgs args = arguments;
    const bool asJson = TakeFlag(args, "--json");
    const TCliTrackOptions trackOptions = TakeTrackOptions(args);
    TViewOptions viewOptions;
    std::string at;
    for (size_t i = 0; i < args.size(); ++i) {
        if (TakeViewOption("pick", args, i, viewOptions)) {
            continue;
        }
        if (args[i] == "--at") {
            at = OptionValue("pick", args, i);
        } else {
            throw ECliUsageError("pick: unexpected argument " + args[i]);
        }
    }
    if (at.empty()) {
        throw ECliUsageError("pick: --at X,Y missing");
    }
    // Checked against the size, whichever order the options came in.
    const TPixel pixel = ParsePixel(at, viewOptions);

    TCliTrackSession session(trackOptions, 64, 64);
    const TViewState& view = LoadTrackView(session, viewOptions, err);
    const TPickScene scene = FramePickScene(session.Render(), view);
    const TPickHit hit =
        Pick(scene, PickRay(view, viewOptions.Width, viewOptions.Height, pixel.X, pixel.Y));
    const std::vector<TPickField> fields =
        DescribePick(hit, scene.Track, &session.Session().Assets(), scene.ModelOf);
    out << (asJson ? FormatPickJson(fields) : FormatPickText(fields));
    return kCliDone;
}

const TCliRegistration registration(
    {"pick",
     "ARCHIVE --at X,Y [--camera VALUE] [--size WxH] [--map] [--sky 0..4] [--objects 0..2] "
     "[--checkpoints] [--no-water] [--no-boxes] [--no-backdrop] [--square] [--track ENTRY] "
     "[--search DIR]... [--ini FILE] [--json]",
     CliPick,
     "      Prints what render with the same camera and view options shows under pixel X,Y\n"
     "      (from the top-left corner): the placed object, checkpoint marker, ground box or\n"
     "      terrain cell the eye sees there, with its record's fields, one Label: value line\n"
     "      each, or nothing. --json writes one JSON object instead.\n"});

} // namespace
