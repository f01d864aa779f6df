// Flying the camera from the keyboard and the mouse wheel: the arrow keys move forward and back
// and turn, Page Up and Page Down rise and sink, all at a speed that follows the modifiers as the
// mouse drags do (Shift faster, Ctrl slower). The window calls FlyStep from a timer that runs only
// while a flight key is held, with the time since the previous step, so the speed does not depend
// on how often the timer fires. The wheel moves the free camera forward and back, and zooms the
// map view about the point under the pointer.
#pragma once

#include "core/view/Camera.h"

#include <optional>

struct TFlightKeys {
    bool Forward = false;
    bool Back = false;
    bool TurnLeft = false;
    bool TurnRight = false;
    bool Rise = false;
    bool Sink = false;

    bool Any() const { return Forward || Back || TurnLeft || TurnRight || Rise || Sink; }
};

enum class TFlightKey { Forward, Back, TurnLeft, TurnRight, Rise, Sink };

// Marks the key held or let go.
void SetFlightKey(TFlightKeys& keys, TFlightKey key, bool held);

// Speeds at the plain speed; the modifiers scale them like the mouse speed (Shift 3.75 times,
// Ctrl an eighth).
inline constexpr double kFlightUnitsPerSecond = 1.5;
inline constexpr double kTurnDegreesPerSecond = 90.0;
inline constexpr double kRiseUnitsPerSecond = 0.5;
// A timer that stalls (a slow frame, a busy machine) must not turn into a jump.
inline constexpr double kLongestFlightStep = 0.1;

// The factor of the plain speed the modifiers give: 1, 3.75 with Shift, 0.125 with Ctrl.
double FlightSpeedFactor(TModifiers modifiers);

// Moves the eye along the heading on the ground plane by distance world units (negative: back).
// Forward is the way an upward mouse drag with the right button moves.
void MoveForward(TViewState& state, double distance);
// Raises the eye by distance world units; while following the terrain the height above the
// ground changes with it.
void RiseBy(TViewState& state, double distance);

// One step of keyboard flight over seconds of held keys (limited to kLongestFlightStep). Nothing
// happens while Busy or when no key is held; otherwise a light redraw is asked for.
TViewResult FlyStep(TViewState& state, const TFlightKeys& keys, TModifiers modifiers,
                    double seconds);

// How far one notch of the wheel moves the free camera at the plain speed.
inline constexpr double kWheelUnitsPerNotch = 0.25;
// How much nearer one notch brings the map camera to the point under the pointer.
inline constexpr double kMapZoomPerNotch = 0.8;
inline constexpr double kLowestMapEyeAboveGround = 0.25;

struct TViewPixel {
    double X = 0; // pixels from the left of the view
    double Y = 0; // pixels from the top
    int ViewWidth = 1;
    int ViewHeight = 1;
};

// The wheel turned by notches (positive away from the user). The free camera moves forward by
// kWheelUnitsPerNotch per notch, scaled by the modifiers; the map camera comes nearer to (or goes
// away from) the ground point under the pointer, which stays under the pointer. Ignored while
// Busy.
TViewResult WheelCamera(TViewState& state, double notches, TModifiers modifiers,
                        const TViewPixel& pointer);

// The eye's height in world units: the followed ground plus the height above it while following,
// otherwise -TransY.
double EyeHeight(const TViewState& state);

struct TGroundPoint {
    double X = 0; // world units, as the eye: the negated camera translation
    double Y = 0;
    double Z = 0;
};

// The point of the terrain that the view shows at a pixel, for the active camera; nullopt when
// the ray through the pixel does not go down towards the ground.
std::optional<TGroundPoint> GroundPointAtPixel(const TViewState& state, const TViewPixel& pixel);
