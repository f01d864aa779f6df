// dunmeregl-cli render ARCHIVE -o OUT [--track ENTRY] [--size WxH] [--camera VALUE] [--map]
//     [--sky 0..4] [--objects 0..2] [--checkpoints] [--no-water] [--no-boxes] [--no-backdrop]
//     [--square] [--renderer prepared|reference] [--time N] [--search DIR]... [--ini FILE]
//
// Loads one track as the viewer opens it (display settings reset, camera at the track's saved
// default location or at the start grid), applies the options, draws one full frame in a
// headless context and saves it; the image format follows OUT's extension (.bmp .jpg .png .tga).
// --camera takes a saved-location value (the "CameraPos" format) for the free camera; --map then
// switches to the map camera. The load's warnings go to the error stream. --time N draws the frame
// N more times after the first and prints "frame ms: min A median B max C" over those N.
#include "cli/RenderView.h"
#include "cli/TrackSession.h"
#include "core/base/Errors.h"
#include "core/formats/GLBMP.h"
#include "core/settings/DMGLPrefs.h"
#include "render/FrameRender.h"
#include "render/ScreenGrab.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

constexpr int kMaxTimedFrames = 100000;

struct TRenderOptions {
    std::string Output;
    TViewOptions View;
    int TimedFrames = 0;
    TRendererKind Renderer = TRendererKind::Prepared;
};

TRenderOptions TakeRenderOptions(const TCliArgs& args) {
    TRenderOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (TakeViewOption("render", args, i, options.View)) {
            continue;
        }
        if (option == "-o") {
            options.Output = OptionValue("render", args, i);
        } else if (option == "--renderer") {
            const std::string name = OptionValue("render", args, i);
            if (name != "prepared" && name != "reference") {
                throw ECliUsageError("render: --renderer takes prepared or reference, not " + name);
            }
            options.Renderer =
                name == "prepared" ? TRendererKind::Prepared : TRendererKind::Reference;
        } else if (option == "--time") {
            options.TimedFrames =
                IntegerOption("render", option, OptionValue("render", args, i), 1, kMaxTimedFrames);
        } else {
            throw ECliUsageError("render: unexpected argument " + option);
        }
    }
    if (options.Output.empty()) {
        throw ECliUsageError("render: -o OUT missing");
    }
    // Known before the track is loaded, so a wrong name costs no load.
    if (!IsImageFileName(options.Output)) {
        throw EDunmereError("render: could not write " + options.Output +
                            " (the name must end in .bmp, .jpg, .png or .tga)");
    }
    return options;
}

// Each frame is waited for, so the time covers the drawing and not just its queueing.
std::string TimeFrames(const TFrameContext& frame, int count) {
    WaitForDrawing();
    std::vector<double> milliseconds;
    for (int i = 0; i < count; ++i) {
        const auto start = std::chrono::steady_clock::now();
        RenderFrame(frame);
        WaitForDrawing();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        milliseconds.push_back(took.count());
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    const size_t n = milliseconds.size();
    const double median =
        n % 2 == 1 ? milliseconds[n / 2] : (milliseconds[n / 2 - 1] + milliseconds[n / 2]) / 2;
    return Format("frame ms: min %.1f median %.1f max %.1f", milliseconds.front(), median,
                  milliseconds.back());
}

int CliRender(const TCliArgs& arguments, std::ostream& out, std::ostream& err) {
    TCliArgs args = arguments;
    const TCliTrackOptions trackOptions = TakeTrackOptions(args);
    const TRenderOptions options = TakeRenderOptions(args);

    TCliTrackSession session(trackOptions, options.View.Width, options.View.Height);
    TViewState& view = LoadTrackView(session, options.View, err);

    TQuietFrameHost host;
    TRenderContext& render = session.Render();
    TGLState& gl = session.GL();
    render.SelectRenderer(options.Renderer);
    Panel1Resize(gl, options.View.Width, options.View.Height, view.Camera.FOV);
    RenderFrame({render, gl, view, true, host});
    if (options.TimedFrames > 0) {
        out << TimeFrames({render, gl, view, true, host}, options.TimedFrames) << '\n';
    }

    TGLBMP image;
    image.SetJPEGQuality(session.Session().Prefs().JPEGQuality);
    GrabScreen(image);
    session.Session().RefuseToOverwrite(options.Output);
    SaveCliImage(image, "render", options.Output);
    out << options.Output << ' ' << options.View.Width << 'x' << options.View.Height << '\n';
    return kCliDone;
}

const TCliRegistration registration(
    {"render",
     "ARCHIVE -o OUT [--track ENTRY] [--size WxH] [--camera VALUE] [--map] [--sky 0..4] "
     "[--objects 0..2] [--checkpoints] [--no-water] [--no-boxes] [--no-backdrop] [--square] "
     "[--renderer prepared|reference] [--time N] [--search DIR]... [--ini FILE]",
     CliRender,
     "      Opens the track as the viewer does, draws one frame and saves it to OUT (.png,\n"
     "      .jpg, .tga or .bmp). --size WxH (default 640x480); --camera a saved camera\n"
     "      location value; --map the map view; --sky 0 none, 1 clear, 2 cloudy, 3 dusk,\n"
     "      4 night; --objects 0 none, 1 all but type 6,0, 2 all; --checkpoints shows\n"
     "      the checkpoint markers; --no-water, --no-boxes and --no-backdrop hide layers;\n"
     "      --square a square view area instead of a circle; --renderer the drawing path;\n"
     "      --time N draws N more frames and prints their minimum, median and maximum.\n"});

} // namespace
