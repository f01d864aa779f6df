// Saved camera locations and the map view.
//
// A location is one value in section "CameraPos" of the INI file under the key
// TrackName + " #" + slot (slot 0 the default location, 1..5 the numbered ones), written as
// TransX, TransY, TransZ, Tilt, Heading, Roll, FOV and ViewDistance, each left-justified in 8
// characters and followed by "|": 71 characters, the fields starting at characters 1, 10, 19,
// 28, 37, 46, 55 and 64 (1-based). It is read back by those fixed positions, blanks around a
// field ignored. Older values stop after FOV (62 characters) or hold the view distance as a
// decimal in units of 32 squares.
//
// A camera field has at least two decimals ("%.2f", which older versions wrote) and as many
// more as it needs to read back as the same float, while it fits its 8 characters: 1/128 of a
// square or better, where two decimals alone are off by up to 0.16 square. Within one session
// a restore gives back the saved camera exactly, as long as the stored value is unchanged.
//
// The map view swaps the free camera for a top-down camera with its own field of view, view
// distance and area shape, and swaps back without losing either.
#pragma once

#include "core/view/ViewState.h"

#include <optional>
#include <string>

class TIniFile;

inline constexpr const char* kCameraPosSection = "CameraPos";

struct TCameraLocation {
    TCameraPos Camera;
    std::optional<int> ViewDistance; // absent in the oldest form
};

std::string FormatCameraLocation(const TCameraPos& camera, int viewDistance);
// nullopt when a field does not hold a finite number where the format puts it.
std::optional<TCameraLocation> ParseCameraLocation(const std::string& value);
std::string CameraLocationKey(const std::string& trackName, int slot);

// Stores the active camera (the map camera while the map view is on) and view distance, and
// remembers them exactly in state. Raises EInOutError when the INI file cannot be written.
void SaveCameraLocation(TIniFile& ini, TViewState& state, const std::string& trackName, int slot);

// Leaves the map view first, then places the camera at the saved location. A missing key stands
// for the current camera, which stays exactly where it is; a value that cannot be parsed leaves
// the camera as it is. Asks for a projection update and a full redraw.
TViewResult RestoreCameraLocation(const TIniFile& ini, TViewState& state,
                                  const std::string& trackName, int slot);

// Switches between the free and the map camera; the new MapView is the check mark of
// "Map view (toggle)". Asks for a projection update and a full redraw.
TViewResult ToggleMapView(TViewState& state);

// Puts the map camera back to (0, -21, 0, tilt 90, heading 90), FOV 45, view distance 128, square
// area. When the map view is on the active camera takes these at once (projection update and a
// light redraw); otherwise nothing visible changes.
TViewResult ResetMapView(TViewState& state);
