// The view state the frame drawing reads and the window's commands change: camera, navigation,
// display settings, the redraw bookkeeping and the busy flag. Plain data.
//
// Its owner, the track session (core/session/TrackSession.h), writes down the re-entrancy rules
// that Busy follows.
#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

struct TTrackData;

// Seven singles, in the order saved camera locations use.
struct TCameraPos {
    float TransX = 0; // scene translation, world units; the eye is at the negated values
    float TransY = -3;
    float TransZ = 0;
    float Tilt = 25;    // degrees, applied first (about x)
    float Heading = 90; // about y
    float Roll = 0;     // about z
    float FOV = 60;     // vertical field of view, degrees
};

enum class TAreaShape { Circle, Square };

struct TColor3 {
    float r = 1;
    float g = 1;
    float b = 1;
};

struct TColor4 {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 0;
};

struct TDisplaySettings {
    bool ShowGroundBoxes = true;
    bool ShowWater = true;
    bool ShowCheckpoints = false;
    int ObjectsMode = 0; // 0 none, 1 all but type "6,0", 2 all
    bool ShowBackdrop = true;
    int SkyType = 1; // 0 none, 1 clear, 2 cloudy, 3 dusk, 4 night
    TColor3 GlobalTint;
    TAreaShape AreaShape = TAreaShape::Circle;
    bool HighTide = false;
};

struct TMapCamera {
    float TransX = 0;
    float TransY = -21;
    float TransZ = 0;
    float Tilt = 90;
    float Heading = 90;
    float FOV = 45;
    int ViewDistance = 128;
    TAreaShape AreaShape = TAreaShape::Square;
};

// What the window has to do after a command or an input handler changed the state.
enum class TRedraw {
    None,
    Light, // RedrawView(false): objects may be left out until the idle handler completes it
    Full   // RedrawView(true)
};

struct TViewResult {
    bool UpdateProjection = false; // Panel1Resize: the field of view may have changed
    TRedraw Redraw = TRedraw::None;
    bool Beep = false;
};

// A camera location saved in this session, kept exactly: the INI value holds fewer digits.
struct TSavedLocation {
    std::string Value; // as written to the INI file, blanks around it removed
    TCameraPos Camera;
    int ViewDistance = 0;
};

struct TViewState {
    // The track this view shows, read only; its owner (the track session) outlives the view.
    // Without one the ground is flat at height 0 and the start grid at the origin.
    const TTrackData* Track = nullptr;

    TCameraPos Camera;
    // The area drawn around the camera, in grid squares. Starts at 50 rather than 0 so that a
    // track opened with "ResetViewDistTo" off and no saved location still shows something.
    int ViewDistance = 50;
    double HeightAboveGround = 0;
    double BackgroundOffset = 0;

    bool FollowTerrain = false;
    bool FollowGroundBoxes = true;
    bool FollowWater = true;
    bool SteeringMode = true;

    // Pointer position at the previous mouse event over the view; ResetMouse makes the next
    // movement only record the position, so the first movement after a dialog is not a jump.
    int LastMouseX = -1;
    int LastMouseY = -1;
    bool ResetMouse = false;

    bool MapView = false;
    TMapCamera MapCamera;   // the map camera while it is not active
    TCameraPos SavedCamera; // the free camera while the map camera is active
    int SavedViewDistance = 50;
    TAreaShape SavedAreaShape = TAreaShape::Circle;

    TDisplaySettings Display;
    TColor4 WaterColor{100 / 255.0f, 120 / 255.0f, 150 / 255.0f, 220 / 255.0f};

    bool FullFrame = true;
    std::chrono::steady_clock::time_point LastRedrawTime = std::chrono::steady_clock::now();
    int HideObjectsWhileMovingFor = 500; // ms, -1 = never hide

    bool Busy = false; // see the re-entrancy rules of the track session

    // By INI key; a stored value that has changed since is read from the file instead.
    std::map<std::string, TSavedLocation> SavedLocations;
};

// Whether a cell dr rows and dc columns from the camera cell lies inside the view area.
inline bool CellInViewArea(const TViewState& view, int dr, int dc) {
    if (view.Display.AreaShape == TAreaShape::Square) {
        return std::max(std::abs(dr), std::abs(dc)) < view.ViewDistance;
    }
    return std::sqrt(static_cast<double>(dr * dr + dc * dc)) < view.ViewDistance;
}
