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
#include "cli/TrackSession.h"
#include "core/base/Errors.h"
#include "core/formats/GLBMP.h"
#include "core/settings/DMGLPrefs.h"
#include "core/track/TrackData.h"
#include "core/view/Camera.h"
#include "core/view/CameraLocations.h"
#include "core/view/ViewCommands.h"
#include "render/FrameRender.h"
#include "render/ScreenGrab.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

namespace {

// Offscreen buffers beyond this are refused rather than attempted.
constexpr int kMaxImageSide = 8192;
constexpr int kMaxTimedFrames = 100000;

struct TRenderOptions {
    std::string Output;
    int Width = 640;
    int Height = 480;
    std::optional<TCameraLocation> Camera;
    bool MapView = false;
    std::optional<int> SkyType;
    std::optional<int> ObjectsMode;
    bool ShowCheckpoints = false;
    bool HideWater = false;
    bool HideGroundBoxes = false;
    bool HideBackdrop = false;
    bool SquareArea = false;
    int TimedFrames = 0;
    TRendererKind Renderer = TRendererKind::Prepared;
};

std::string ValueOf(const TCliArgs& args, size_t& i) {
    if (i + 1 >= args.size()) {
        throw ECliUsageError("render: " + args[i] + " needs a value");
    }
    return args[++i];
}

int IntegerIn(const std::string& option, const std::string& text, int low, int high) {
    const std::optional<int32_t> value = TryStrToInt(text);
    if (!value || *value < low || *value > high) {
        throw ECliUsageError(
            Format("render: %s takes %d..%d, not %s", option.c_str(), low, high, text.c_str()));
    }
    return *value;
}

void ParseSize(const std::string& text, TRenderOptions& options) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos) {
        throw ECliUsageError("render: --size takes WIDTHxHEIGHT, not " + text);
    }
    options.Width = IntegerIn("--size", text.substr(0, x), 1, kMaxImageSide);
    options.Height = IntegerIn("--size", text.substr(x + 1), 1, kMaxImageSide);
}

TRenderOptions TakeRenderOptions(const TCliArgs& args) {
    TRenderOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "-o") {
            options.Output = ValueOf(args, i);
        } else if (option == "--size") {
            ParseSize(ValueOf(args, i), options);
        } else if (option == "--camera") {
            options.Camera = ParseCameraLocation(ValueOf(args, i));
            if (!options.Camera) {
                throw ECliUsageError("render: --camera takes a saved camera location value");
            }
        } else if (option == "--map") {
            options.MapView = true;
        } else if (option == "--sky") {
            options.SkyType = IntegerIn(option, ValueOf(args, i), 0, 4);
        } else if (option == "--objects") {
            options.ObjectsMode = IntegerIn(option, ValueOf(args, i), 0, 2);
        } else if (option == "--checkpoints") {
            options.ShowCheckpoints = true;
        } else if (option == "--no-water") {
            options.HideWater = true;
        } else if (option == "--no-boxes") {
            options.HideGroundBoxes = true;
        } else if (option == "--no-backdrop") {
            options.HideBackdrop = true;
        } else if (option == "--square") {
            options.SquareArea = true;
        } else if (option == "--renderer") {
            const std::string name = ValueOf(args, i);
            if (name != "prepared" && name != "reference") {
                throw ECliUsageError("render: --renderer takes prepared or reference, not " + name);
            }
            options.Renderer =
                name == "prepared" ? TRendererKind::Prepared : TRendererKind::Reference;
        } else if (option == "--time") {
            options.TimedFrames = IntegerIn(option, ValueOf(args, i), 1, kMaxTimedFrames);
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

void ApplyOptions(const TRenderOptions& options, TViewState& view) {
    if (options.Camera) {
        view.Camera = options.Camera->Camera;
        view.Camera.TransX = static_cast<float>(WrapIntoRange(view.Camera.TransX, 8, 8));
        view.Camera.TransZ = static_cast<float>(WrapIntoRange(view.Camera.TransZ, 8, 8));
        if (options.Camera->ViewDistance) {
            view.ViewDistance = *options.Camera->ViewDistance;
        }
    }
    if (options.MapView) {
        ToggleMapView(view);
    }
    TDisplaySettings& display = view.Display;
    if (options.SkyType) {
        SelectSkyPreset(display, *options.SkyType);
    }
    if (options.ObjectsMode) {
        display.ObjectsMode = *options.ObjectsMode;
    }
    display.ShowCheckpoints = display.ShowCheckpoints || options.ShowCheckpoints;
    display.ShowWater = display.ShowWater && !options.HideWater;
    display.ShowGroundBoxes = display.ShowGroundBoxes && !options.HideGroundBoxes;
    display.ShowBackdrop = display.ShowBackdrop && !options.HideBackdrop;
    if (options.SquareArea) {
        display.AreaShape = TAreaShape::Square;
    }
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

    TCliTrackSession session(trackOptions, options.Width, options.Height);
    session.Load();
    for (const std::string& warning : session.Session().Warnings()) {
        err << "warning: " << warning << '\n';
    }

    const TDMGLPrefs& prefs = session.Session().Prefs();
    TViewState& view = session.Session().View();
    ApplyOptions(options, view);
    view.FullFrame = true;

    TQuietFrameHost host;
    TRenderContext& render = session.Render();
    render.Renderer = options.Renderer;
    Panel1Resize(render, options.Width, options.Height, view.Camera.FOV);
    RenderFrame({render, view, true, host});
    if (options.TimedFrames > 0) {
        out << TimeFrames({render, view, true, host}, options.TimedFrames) << '\n';
    }

    TGLBMP image;
    image.SetJPEGQuality(prefs.JPEGQuality);
    GrabScreen(image);
    SaveCliImage(image, "render", options.Output);
    out << options.Output << ' ' << options.Width << 'x' << options.Height << '\n';
    return kCliDone;
}

const TCliRegistration registration(
    {"render",
     "ARCHIVE -o OUT [--track ENTRY] [--size WxH] [--camera VALUE] [--map] [--sky 0..4] "
     "[--objects 0..2] [--checkpoints] [--no-water] [--no-boxes] [--no-backdrop] [--square] "
     "[--renderer prepared|reference] [--time N] [--search DIR]... [--ini FILE]",
     CliRender});

} // namespace
