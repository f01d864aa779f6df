// The main window's view commands and texts that need no window: layer switches and their
// status letters, sky presets, the display reset of a track open, the frame-rate message, the
// position text, the full-frame rule, window captions, the command line, the view-size helpers,
// the "Water Color" value and the screenshot file name.
//
// Texts returned for display are UTF-8; game text (track names) is converted from Windows-1252.
#pragma once

#include "core/base/TextUtils.h"
#include "core/view/ViewState.h"

#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

class TIniFile;

// --- Layers -------------------------------------------------------------------------------

void ToggleGroundBoxes(TDisplaySettings& display);
void ToggleObjects(TDisplaySettings& display); // ObjectsMode 0 -> 1 -> 2 -> 0
void ToggleWater(TDisplaySettings& display);
void ToggleCheckpoints(TDisplaySettings& display);
void ToggleBackdrop(TDisplaySettings& display);
void ToggleAreaShape(TDisplaySettings& display);
void ToggleHighTide(TDisplaySettings& display);
void ResetBackgroundOffset(TViewState& state);

// The six letters of status panel 3: ground boxes, "-", water, objects ("-", "o", "O"), "-",
// checkpoints; for example "B-Wo--".
std::string LayerStatusText(const TDisplaySettings& display);

// --- Sky ------------------------------------------------------------------------------------

struct TSkyPreset {
    const char* Caption;
    int SkyType;
    TColor3 Tint;
};

// Indexed by SkyType: None, Clear, Cloudy, Dusk, Night.
inline constexpr std::array<TSkyPreset, 5> kSkyPresets{{
    {"None", 0, {1.0f, 1.0f, 1.0f}},
    {"Clear", 1, {1.0f, 1.0f, 1.0f}},
    {"Cloudy", 2, {1.0f, 1.0f, 1.0f}},
    {"Dusk", 3, {0.8f, 0.7f, 0.6f}},
    {"Night", 4, {0.3f, 0.3f, 0.3f}},
}};

// Sets SkyType and GlobalTint from the preset; the checked sky entry is the one of SkyType.
void SelectSkyPreset(TDisplaySettings& display, int skyType);
void NextSkyPreset(TDisplaySettings& display); // None -> Clear -> Cloudy -> Dusk -> Night -> None

// --- Track open -----------------------------------------------------------------------------

// The display settings a newly opened track starts with; area shape and high tide carry over.
void ResetDisplayForTrackOpen(TDisplaySettings& display, bool showObjectsAfterLoad);

// Everything a track open resets before the camera goes to the saved default location or the
// start grid: the camera, the background offset, the map camera (the map view is switched off
// without bringing the free camera back) and the display settings. The window then clears the
// map-view check mark, refreshes the layer letters and the sky menu, and updates the projection.
TViewResult ResetViewForTrackOpen(TViewState& state, int resetViewDistTo,
                                  bool showObjectsAfterLoad);

// --- Frame-rate test ------------------------------------------------------------------------

inline constexpr int kFpsTestFrames = 20;
inline constexpr const char* kFpsTestTitle = "Test FPS";

// "25.0 frames per second", shown under kFpsTestTitle; framesDrawn is 0 when no frame could be
// drawn (no track open).
std::string FpsMessage(int framesDrawn, double seconds);

// --- Status bar and captions ----------------------------------------------------------------

// "POS: (x=%.1f, y=%.1f, alt=%.1f) HDG: %.1f° TLT: %.1f° FOV: %.1f°" in map and level units.
std::string PositionStatusText(const TCameraPos& camera);

// Whether a frame requested as a light one is to be drawn in full after all: the time since the
// last redraw request, as hours, minutes, seconds and milliseconds, shows the user has paused.
// hideFor -1 (hiding off) makes every frame full.
bool FullFrameDue(std::chrono::steady_clock::duration elapsed, int hideFor);

std::string MainCaption(const std::string& versionText); // "Dunmere GL v" + version
// The message that shows the warnings of a track load: the first ten of them.
std::string LoadWarningsMessage(const TStringList& warnings);
// "Dunmere GL v<version> - <track name> (<ARCHIVE FILE NAME>)"
std::string TrackCaption(const std::string& versionText, const std::string& trackName,
                         const std::string& archivePath);

// The lines joined with separator; with maximum >= 0 at most that many, followed by separator
// and ellipsis when some were left out (and ellipsis is not empty).
std::string JoinLines(const TStringList& lines, const std::string& separator, int maximum,
                      const std::string& ellipsis);

// --- Command line and view size -------------------------------------------------------------

struct TCommandLine {
    int Width = 0;
    int Height = 0;
    std::string Archive; // empty when no argument names one
};

// -W<n> and -H<n> (either case) set the size; an existing file, or an argument that is no
// option, is the archive (opening it tells when it is missing); later arguments win, anything
// else is ignored.
TCommandLine ParseCommandLine(const TStringList& args, int width, int height,
                              const std::function<bool(const std::string&)>& fileExists);

// What a command line asks for before any window exists.
enum class TCommandLineRequest { OpenViewer, ShowHelp, ShowVersion, UnknownOption, BadSize };

struct TCommandLineCheck {
    TCommandLineRequest Request = TCommandLineRequest::OpenViewer;
    std::string Option; // the unknown option or the size option without a number
};

// "--help" or "-h", "--version" or "-V", whichever comes first, wins; otherwise the first
// argument that names no existing file and either starts with "--" (an unknown option) or is
// -W or -H without a whole number after it (-W, -Wabc) is refused. "--" ends the options.
// Everything else is left to ParseCommandLine.
TCommandLineCheck CheckCommandLine(const TStringList& args,
                                   const std::function<bool(const std::string&)>& fileExists);
std::string ViewerUsageText(); // for --help
// The first line of --version: "Dunmere GL " and the version's four numbers.
std::string ViewerVersionText(const std::string& version);
// The two lines for stderr that refuse check's option.
std::string ViewerRefusalText(const TCommandLineCheck& check);

inline constexpr int kMinCustomWidth = 60;
inline constexpr int kMinCustomHeight = 48;

// A "Custom ..." prompt's answer (nullopt when cancelled): an integer replaces current, anything
// else keeps it; the result is at least minimum.
int CustomSizeValue(const std::optional<std::string>& answer, int current, int minimum);

struct TViewSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TViewSize&) const = default;
};

// The wanted view size brought within what the screen shows whole: at most the screen's free
// area less what the window puts around the view (frame, menu bar, status bar), so that no part
// of the window lies off screen; at least kMinCustomWidth x kMinCustomHeight, which wins on a
// screen too small for it.
TViewSize FitViewSize(TViewSize wanted, TViewSize screenArea, TViewSize aroundView);

// The view's size is counted in the pixels of its picture (the INI keys "PanelWidth" and
// "PanelHeight", -W and -H, the size commands, status panel 4), the window's in units that the
// desktop's scale factor enlarges: ratio pixels to the unit. A size read keeps its number when it
// is stored again, however the scale rounds.
TViewSize ViewSizeInWindowUnits(TViewSize pixels, double ratio);
// The pixels of a view the window shows at shown units: lastPixels when that is what they came
// from, otherwise shown scaled to pixels.
TViewSize ViewPixelsShown(TViewSize lastPixels, TViewSize shown, double ratio);

// The spacer panel takes what the other four leave of the status bar; never negative.
int StatusPanel2Width(int statusBarWidth, int panel0, int panel1, int panel3, int panel4);
std::string ViewSizeText(int width, int height); // "%dx%d"

// --- Water colour ---------------------------------------------------------------------------
//
// [Preferences] "Water Color": "%-3d|%-3d|%-3d|%3d" from red, green, blue, alpha (0..255), read
// by the fixed columns 1-3, 5-7, 9-11 and 13-15 (1-based), each trimmed.

inline constexpr const char* kWaterColorKey = "Water Color";
inline constexpr std::array<int, 4> kDefaultWaterChannels{100, 120, 150, 220};

std::string FormatWaterColor(const std::array<int, 4>& channels);
std::string DefaultWaterColorText(); // "100|120|150|220"
// The four channels, each limited to 0..255; a value whose columns do not all hold integers
// gives the default rather than stopping the start-up.
std::array<int, 4> ParseWaterColorChannels(const std::string& text);
TColor4 WaterColorFromChannels(const std::array<int, 4>& channels); // each / 255
TColor4 ReadWaterColor(const TIniFile& ini);

// --- Screenshots ----------------------------------------------------------------------------

inline constexpr const char* kScreenshotFilter =
    "JPEG Files (*.JPG)|*.JPG|PNG files (*.PNG)|*.PNG|TGA files (*.TGA)|*.TGA|"
    "BMP files (*.BMP)|*.BMP|All files (*.*)|*.*";

std::string ScreenshotCaption(const std::string& format); // "Take JPG screenshot ..."
// The track name keeping only A-Z, a-z, 0-9, blank, "-" and "_", then "." and the format.
std::string ProposedScreenshotName(const std::string& trackName, const std::string& format);
// The chosen name, with "." and the format appended unless it already ends so (any case).
std::string ScreenshotFileName(const std::string& chosenName, const std::string& format);
// 1-based entry of kScreenshotFilter for the format: JPG 1, PNG 2, TGA 3, BMP 4, others 1.
int ScreenshotFilterIndex(const std::string& format);
