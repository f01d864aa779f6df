// The view a track subcommand draws or looks into: the size of the picture, the camera and the
// display options that `render` takes, and the view of a freshly opened track they change.
//
//   [--size WxH] [--camera VALUE] [--map] [--sky 0..4] [--objects 0..2] [--checkpoints]
//   [--no-water] [--no-boxes] [--no-backdrop] [--square]
#pragma once

#include "cli/CliCommands.h"
#include "cli/TrackSession.h"
#include "core/view/CameraLocations.h"
#include "core/view/ViewCommands.h"

#include <optional>
#include <ostream>
#include <string>

struct TViewOptions {
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
};

// The option at args[i] (and its value, moving i past it) into options; false when args[i] is
// no view option. Usage errors name command.
bool TakeViewOption(const std::string& command, const TCliArgs& args, size_t& i,
                    TViewOptions& options);
// The value after args[i], moving i to it; raises ECliUsageError naming command.
std::string OptionValue(const std::string& command, const TCliArgs& args, size_t& i);
// text as an integer in low..high; raises ECliUsageError naming command and option.
int IntegerOption(const std::string& command, const std::string& option, const std::string& text,
                  int low, int high);
// text as the WIDTHxHEIGHT of --size, each side 1..8192 pixels; raises ECliUsageError naming
// command.
TViewSize SizeOption(const std::string& command, const std::string& text);

// Loads the session's track (its warnings to err) and returns the session's view as the
// viewer's open command leaves it, changed by options; the objects show (a full frame).
TViewState& LoadTrackView(TCliTrackSession& session, const TViewOptions& options,
                          std::ostream& err);
