// Camera and navigation: the camera defaults, the followed ground height, the mouse drags and
// the navigation keys over the 3D view, terrain following and the start-grid placement. Plain
// functions on TViewState; the window turns the returned TViewResult into projection updates,
// redraws and beeps.
//
// World units: the 256 x 256 grid spans [-8, 8] in x and z; grid point (row, column) of a camera
// translation (X, Z) is (Round((8 - X) * 255 / 16), Round((8 - Z) * 255 / 16)). Angles are degrees.
#pragma once

#include "core/view/ViewState.h"

#include <string>

struct TMouseButtons {
    bool Left = false;
    bool Right = false;
    bool Middle = false;
};

struct TModifiers {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
};

enum class TNavigationKey { Insert, Delete, KeypadMinus, KeypadPlus };

// Camera defaults (0, -3, 0, tilt 25, heading 90, roll 0, FOV 60); the view distance becomes
// resetViewDistTo when that is greater than 0 (capped at kMaxViewDistance). Asks for a
// projection update.
TViewResult ResetCamera(TViewState& state, int resetViewDistTo);

// The followed ground height under the camera translation (X, Z): the terrain interpolated from
// the nearest grid point with signed fractions, raised to the ground-box top and the water
// height when those options are on. Reads the view's track; 0 without one.
double GroundHeightAt(const TViewState& state, double X, double Z);

// Grid index (0..255) nearest to a camera translation, halves to even; a translation beyond
// [-8, 8] (a start grid outside the level) wraps like the world does.
int NearestGridIndex(double t);

// The terrain height at the grid point nearest to the camera translation (X, Z).
double NearestGridHeight(const TViewState& state, double X, double Z);

// Pointer movement over the view to X, Y with the held buttons and modifiers: look (left), move
// (right), altitude (both), zoom (middle). Ignored while Busy and for the first movement after
// ResetMouse; jumps of more than 200 pixels are ignored.
TViewResult MouseMoveCamera(TViewState& state, TMouseButtons buttons, TModifiers modifiers, int X,
                            int Y);

// Insert/Delete turn by 5 degrees; the keypad minus and plus keys change the view distance
// (beeping at the limits 10 and 255), with Alt the background offset. Ignored while Busy.
TViewResult NavigationKeyDown(TViewState& state, TNavigationKey key, TModifiers modifiers);

// Switches terrain following on or off so that the eye keeps its height; returns the caption of
// the menu entry: "Deactivate" while following, else "Activate".
std::string ToggleFollowTerrain(TViewState& state);

// Places the camera at the track's start grid (FirstGridPos and FirstGridRot of the view's track);
// FOV stays. Asks for a full redraw.
TViewResult GoToStartGrid(TViewState& state);

// The view distance never exceeds this: the grid passes visit (2d + 1)^2 cells.
constexpr int kMaxViewDistance = 255;
constexpr int kMinKeyViewDistance = 10;

// Heading brought into [0, 360) in single precision, so that storing the result cannot round it
// up to 360.
float WrapHeading(double degrees);

// Nearest integer, ties to even.
double RoundTiesToEven(double value);
// value brought into [-limit, limit] by whole steps; non-finite values are returned unchanged.
double WrapIntoRange(double value, double limit, double step);
