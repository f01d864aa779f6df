#include "cli/RenderView.h"

#include "core/view/Camera.h"

namespace {

// Offscreen buffers beyond this are refused rather than attempted.
constexpr int kMaxImageSide = 8192;

void ApplyOptions(const TViewOptions& options, TViewState& view) {
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

} // namespace

std::string OptionValue(const std::string& command, const TCliArgs& args, size_t& i) {
    if (i + 1 >= args.size()) {
        throw ECliUsageError(command + ": " + args[i] + " needs a value");
    }
    return args[++i];
}

int IntegerOption(const std::string& command, const std::string& option, const std::string& text,
                  int low, int high) {
    const std::optional<int32_t> value = TryStrToInt(text);
    if (!value || *value < low || *value > high) {
        throw ECliUsageError(Format("%s: %s takes %d..%d, not %s", command.c_str(), option.c_str(),
                                    low, high, text.c_str()));
    }
    return *value;
}

TViewSize SizeOption(const std::string& command, const std::string& text) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos) {
        throw ECliUsageError(command + ": --size takes WIDTHxHEIGHT, not " + text);
    }
    return {IntegerOption(command, "--size", text.substr(0, x), 1, kMaxImageSide),
            IntegerOption(command, "--size", text.substr(x + 1), 1, kMaxImageSide)};
}

bool TakeViewOption(const std::string& command, const TCliArgs& args, size_t& i,
                    TViewOptions& options) {
    const std::string& option = args[i];
    if (option == "--size") {
        const TViewSize size = SizeOption(command, OptionValue(command, args, i));
        options.Width = size.Width;
        options.Height = size.Height;
    } else if (option == "--camera") {
        options.Camera = ParseCameraLocation(OptionValue(command, args, i));
        if (!options.Camera) {
            throw ECliUsageError(command + ": --camera takes a saved camera location value");
        }
    } else if (option == "--map") {
        options.MapView = true;
    } else if (option == "--sky") {
        options.SkyType = IntegerOption(command, option, OptionValue(command, args, i), 0, 4);
    } else if (option == "--objects") {
        options.ObjectsMode = IntegerOption(command, option, OptionValue(command, args, i), 0, 2);
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
    } else {
        return false;
    }
    return true;
}

TViewState& LoadTrackView(TCliTrackSession& session, const TViewOptions& options,
                          std::ostream& err) {
    session.Load();
    for (const std::string& warning : session.Session().Warnings()) {
        err << "warning: " << warning << '\n';
    }
    TViewState& view = session.Session().View();
    ApplyOptions(options, view);
    view.FullFrame = true;
    return view;
}
