#include "core/view/ViewCommands.h"

#include "core/settings/IniFile.h"
#include "core/track/DMConvert.h"
#include "core/view/Camera.h"
#include "core/view/CameraLocations.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kDegreeSign = "\xC2\xB0";

// "%.1f" without the sign of a value that rounds to zero: "-0.0" reads like a fault.
std::string OneDecimal(double value) {
    std::string text = Format("%.1f", value);
    if (text == "-0.0") {
        text = "0.0";
    }
    return text;
}

double HeadingForDisplay(double heading) {
    double h = heading - 90.0;
    if (!std::isfinite(h)) {
        return h;
    }
    if (std::fabs(h) > 1e6) {
        h = std::fmod(h, 360.0);
    }
    while (h >= 360.0) {
        h -= 360.0;
    }
    while (h < 0.0) {
        h += 360.0;
    }
    return h;
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsKeptScreenshotChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ' ||
           c == '-' || c == '_';
}

} // namespace

void ToggleGroundBoxes(TDisplaySettings& display) {
    display.ShowGroundBoxes = !display.ShowGroundBoxes;
}

void ToggleObjects(TDisplaySettings& display) {
    display.ObjectsMode = (display.ObjectsMode + 1) % 3;
    if (display.ObjectsMode < 0) {
        display.ObjectsMode = 0;
    }
}

void ToggleWater(TDisplaySettings& display) {
    display.ShowWater = !display.ShowWater;
}

void ToggleCheckpoints(TDisplaySettings& display) {
    display.ShowCheckpoints = !display.ShowCheckpoints;
}

void ToggleBackdrop(TDisplaySettings& display) {
    display.ShowBackdrop = !display.ShowBackdrop;
}

void ToggleAreaShape(TDisplaySettings& display) {
    display.AreaShape =
        display.AreaShape == TAreaShape::Circle ? TAreaShape::Square : TAreaShape::Circle;
}

void ToggleHighTide(TDisplaySettings& display) {
    display.HighTide = !display.HighTide;
}

void ResetBackgroundOffset(TViewState& state) {
    state.BackgroundOffset = 0;
}

std::string LayerStatusText(const TDisplaySettings& display) {
    std::string text;
    text += display.ShowGroundBoxes ? 'B' : '-';
    text += '-';
    text += display.ShowWater ? 'W' : '-';
    text += display.ObjectsMode == 0 ? '-' : (display.ObjectsMode == 1 ? 'o' : 'O');
    text += '-';
    text += display.ShowCheckpoints ? 'C' : '-';
    return text;
}

void SelectSkyPreset(TDisplaySettings& display, int skyType) {
    const TSkyPreset& preset = kSkyPresets.at(static_cast<size_t>(skyType));
    display.SkyType = preset.SkyType;
    display.GlobalTint = preset.Tint;
}

void NextSkyPreset(TDisplaySettings& display) {
    const int count = static_cast<int>(kSkyPresets.size());
    const int current = ((display.SkyType % count) + count) % count;
    SelectSkyPreset(display, (current + 1) % count);
}

void ResetDisplayForTrackOpen(TDisplaySettings& display, bool showObjectsAfterLoad) {
    display.ObjectsMode = showObjectsAfterLoad ? 1 : 0;
    display.ShowCheckpoints = false;
    display.ShowWater = true;
    display.ShowGroundBoxes = true;
    display.ShowBackdrop = true;
    SelectSkyPreset(display, 1);
}

TViewResult ResetViewForTrackOpen(TViewState& state, int resetViewDistTo,
                                  bool showObjectsAfterLoad) {
    ResetCamera(state, resetViewDistTo);
    state.BackgroundOffset = 0;
    ResetMapView(state);
    state.MapView = false;
    ResetDisplayForTrackOpen(state.Display, showObjectsAfterLoad);
    TViewResult result;
    result.UpdateProjection = true;
    return result;
}

std::string FpsMessage(int framesDrawn, double seconds) {
    if (framesDrawn <= 0 || !(seconds > 0)) {
        return "No frames were drawn.";
    }
    return Format("%.1f frames per second", framesDrawn / seconds);
}

std::string PositionStatusText(const TCameraPos& camera) {
    const double x = static_cast<double>(WorldToMapUnits(camera.TransZ));
    const double y = static_cast<double>(WorldToMapUnits(camera.TransX));
    const double alt = -(camera.TransY * 255.0);
    return "POS: (x=" + OneDecimal(x) + ", y=" + OneDecimal(y) + ", alt=" + OneDecimal(alt) +
           ") HDG: " + OneDecimal(HeadingForDisplay(camera.Heading)) + kDegreeSign +
           " TLT: " + OneDecimal(-camera.Tilt) + kDegreeSign + " FOV: " + OneDecimal(camera.FOV) +
           kDegreeSign;
}

bool FullFrameDue(std::chrono::steady_clock::duration elapsed, int hideFor) {
    const long long total = std::max<long long>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    const long long ms = total % 1000;
    const long long totalSeconds = total / 1000;
    const long long s = totalSeconds % 60;
    const long long m = totalSeconds / 60 % 60;
    // Whole hours, not hours of a day: a pause of exactly one day must not look like no pause.
    const long long h = totalSeconds / 3600;
    return h + m + s > 1 || ms > hideFor;
}

std::string LoadWarningsMessage(const TStringList& warnings) {
    return "Warnings and Errors:\r\n" + JoinLines(warnings, "\r\n", 10, "...");
}

std::string MainCaption(const std::string& versionText) {
    return "Dunmere GL v" + versionText;
}

std::string TrackCaption(const std::string& versionText, const std::string& trackName,
                         const std::string& archivePath) {
    return MainCaption(versionText) + " - " + Cp1252ToUtf8(trackName) + " (" +
           UpperCase(FileNameOf(archivePath)) + ")";
}

std::string JoinLines(const TStringList& lines, const std::string& separator, int maximum,
                      const std::string& ellipsis) {
    const size_t count = lines.size();
    const size_t n = maximum < 0 ? count : std::min(static_cast<size_t>(maximum), count);
    std::string text;
    for (size_t k = 0; k < n; ++k) {
        if (k > 0) {
            text += separator;
        }
        text += lines[k];
    }
    if (n < count && !ellipsis.empty()) {
        text += separator + ellipsis;
    }
    return text;
}

TCommandLine ParseCommandLine(const TStringList& args, int width, int height,
                              const std::function<bool(const std::string&)>& fileExists) {
    TCommandLine line{width, height, std::string()};
    for (const std::string& arg : args) {
        if (fileExists(arg) || (!arg.empty() && arg[0] != '-')) {
            line.Archive = arg;
            continue;
        }
        if (arg.size() < 2) {
            continue;
        }
        const std::string option = UpperCase(arg.substr(0, 2));
        if (option != "-W" && option != "-H") {
            continue;
        }
        if (const auto value = TryStrToInt(std::string_view(arg).substr(2))) {
            (option == "-W" ? line.Width : line.Height) = *value;
        }
    }
    return line;
}

TCommandLineCheck CheckCommandLine(const TStringList& args,
                                   const std::function<bool(const std::string&)>& fileExists) {
    TCommandLineCheck check;
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (arg == "--help" || arg == "-h") {
            return {TCommandLineRequest::ShowHelp, std::string()};
        }
        if (arg == "--version" || arg == "-V") {
            return {TCommandLineRequest::ShowVersion, std::string()};
        }
        // An archive may have any name, even one that looks like an option.
        if (!check.Option.empty() || fileExists(arg)) {
            continue;
        }
        if (arg.starts_with("--")) {
            check = {TCommandLineRequest::UnknownOption, arg};
        } else if (arg.size() >= 2 &&
                   (UpperCase(arg.substr(0, 2)) == "-W" || UpperCase(arg.substr(0, 2)) == "-H")) {
            if (!TryStrToInt(std::string_view(arg).substr(2))) {
                check = {TCommandLineRequest::BadSize, arg};
            }
        }
    }
    return check;
}

std::string ViewerUsageText() {
    return "Usage: dunmeregl [-W<width>] [-H<height>] [ARCHIVE.POD]\n"
           "Shows the race tracks of Quarrix 1 and 2 in 3D.\n"
           "\n"
           "  -W<width>     width of the 3D view in pixels, for example -W800\n"
           "  -H<height>    height of the 3D view in pixels, for example -H600\n"
           "  ARCHIVE.POD   a POD archive of the games whose track is opened at start\n"
           "  --help        show this help and exit\n"
           "  --version     show the version and exit\n"
           "\n"
           "The view size is kept for the next start and limited to what the screen can show.\n"
           "\n"
           "Exit status:\n"
           "  0  the window was closed\n"
           "  1  the viewer could not start (the reason is shown in a message box)\n"
           "  2  an unknown option\n";
}

std::string ViewerVersionText(const std::string& version) {
    return "dunmeregl (Dunmere GL) " + version;
}

std::string ViewerRefusalText(const TCommandLineCheck& check) {
    const std::string hint = "Try 'dunmeregl --help'.\n";
    if (check.Request == TCommandLineRequest::BadSize) {
        return "dunmeregl: '" + check.Option + "' needs a whole number of pixels, as in " +
               UpperCase(check.Option.substr(0, 2)) + "800\n" + hint;
    }
    return "dunmeregl: unrecognized option '" + check.Option + "'\n" + hint;
}

int CustomSizeValue(const std::optional<std::string>& answer, int current, int minimum) {
    int value = current;
    if (answer) {
        if (const auto typed = TryStrToInt(*answer)) {
            value = *typed;
        }
    }
    return std::max(value, minimum);
}

namespace {

int InWindowUnits(int pixels, double ratio) {
    return static_cast<int>(std::lround(pixels / (ratio > 0 ? ratio : 1)));
}

int ShownPixels(int lastPixels, int shown, double ratio) {
    if (InWindowUnits(lastPixels, ratio) == shown) {
        return lastPixels;
    }
    return static_cast<int>(std::lround(shown * (ratio > 0 ? ratio : 1)));
}

} // namespace

TViewSize ViewSizeInWindowUnits(TViewSize pixels, double ratio) {
    return {InWindowUnits(pixels.Width, ratio), InWindowUnits(pixels.Height, ratio)};
}

TViewSize ViewPixelsShown(TViewSize lastPixels, TViewSize shown, double ratio) {
    return {ShownPixels(lastPixels.Width, shown.Width, ratio),
            ShownPixels(lastPixels.Height, shown.Height, ratio)};
}

TViewSize FitViewSize(TViewSize wanted, TViewSize screenArea, TViewSize aroundView) {
    const auto fit = [](int value, int largest, int smallest) {
        return std::max(std::min(value, largest), smallest);
    };
    return {fit(wanted.Width, screenArea.Width - aroundView.Width, kMinCustomWidth),
            fit(wanted.Height, screenArea.Height - aroundView.Height, kMinCustomHeight)};
}

int StatusPanel2Width(int statusBarWidth, int panel0, int panel1, int panel3, int panel4) {
    return std::max(0, statusBarWidth - (panel0 + panel1 + panel3 + panel4) - 40);
}

std::string ViewSizeText(int width, int height) {
    return Format("%dx%d", width, height);
}

std::string FormatWaterColor(const std::array<int, 4>& channels) {
    return Format("%-3d|%-3d|%-3d|%3d", channels[0], channels[1], channels[2], channels[3]);
}

std::string DefaultWaterColorText() {
    return Format("%3d|%3d|%3d|%3d", kDefaultWaterChannels[0], kDefaultWaterChannels[1],
                  kDefaultWaterChannels[2], kDefaultWaterChannels[3]);
}

std::array<int, 4> ParseWaterColorChannels(const std::string& text) {
    std::array<int, 4> channels{};
    for (size_t k = 0; k < channels.size(); ++k) {
        const size_t start = k * 4;
        const std::string field =
            start < text.size() ? Trim(std::string_view(text).substr(start, 3)) : std::string();
        const auto value = TryStrToInt(field);
        if (!value) {
            return kDefaultWaterChannels;
        }
        channels[k] = std::clamp(*value, 0, 255);
    }
    return channels;
}

TColor4 WaterColorFromChannels(const std::array<int, 4>& channels) {
    return TColor4{channels[0] / 255.0f, channels[1] / 255.0f, channels[2] / 255.0f,
                   channels[3] / 255.0f};
}

TColor4 ReadWaterColor(const TIniFile& ini) {
    return WaterColorFromChannels(ParseWaterColorChannels(
        ini.ReadString(kPreferencesSection, kWaterColorKey, DefaultWaterColorText())));
}

std::string ScreenshotCaption(const std::string& format) {
    return "Take " + format + " screenshot ...";
}

std::string ProposedScreenshotName(const std::string& trackName, const std::string& format) {
    std::string name;
    std::copy_if(trackName.begin(), trackName.end(), std::back_inserter(name),
                 IsKeptScreenshotChar);
    return name + "." + format;
}

std::string ScreenshotFileName(const std::string& chosenName, const std::string& format) {
    const std::string extension = "." + format;
    if (EndsWithText(chosenName, extension)) {
        return chosenName;
    }
    return chosenName + extension;
}

int ScreenshotFilterIndex(const std::string& format) {
    static const char* const kFormats[] = {"JPG", "PNG", "TGA", "BMP"};
    for (int k = 0; k < 4; ++k) {
        if (format == kFormats[k]) {
            return k + 1;
        }
    }
    return 1;
}
