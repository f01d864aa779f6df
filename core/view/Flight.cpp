#include "core/view/Flight.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

double DegToRad(double degrees) {
    return degrees * kPi / 180.0;
}

// Sets the eye's height in world units, keeping the height above the ground in step while the
// camera follows the terrain.
void SetEyeHeight(TViewState& state, double height) {
    TCameraPos& c = state.Camera;
    if (state.FollowTerrain) {
        state.HeightAboveGround = height - GroundHeightAt(state, c.TransX, c.TransZ);
    }
    c.TransY = static_cast<float>(-height);
}

struct TVector3 {
    double x = 0;
    double y = 0;
    double z = 0;
};

// The inverse of the frame's rotations (tilt about x, then heading about y, then roll about z):
// a direction seen from the eye as a world direction.
TVector3 EyeToWorld(const TCameraPos& camera, TVector3 v) {
    const double t = DegToRad(-camera.Tilt);
    v = {v.x, v.y * std::cos(t) - v.z * std::sin(t), v.y * std::sin(t) + v.z * std::cos(t)};
    const double h = DegToRad(-camera.Heading);
    v = {v.x * std::cos(h) + v.z * std::sin(h), v.y, -v.x * std::sin(h) + v.z * std::cos(h)};
    const double r = DegToRad(-camera.Roll);
    return {v.x * std::cos(r) - v.y * std::sin(r), v.x * std::sin(r) + v.y * std::cos(r), v.z};
}

} // namespace

void SetFlightKey(TFlightKeys& keys, TFlightKey key, bool held) {
    // In the order of TFlightKey.
    static constexpr bool TFlightKeys::*kHeld[] = {&TFlightKeys::Forward,  &TFlightKeys::Back,
                                                   &TFlightKeys::TurnLeft, &TFlightKeys::TurnRight,
                                                   &TFlightKeys::Rise,     &TFlightKeys::Sink};
    keys.*kHeld[static_cast<int>(key)] = held;
}

double FlightSpeedFactor(TModifiers modifiers) {
    // The mouse speeds 0.1 (Ctrl), 3.0 (Shift) and 0.8 (plain), relative to the plain one.
    if (modifiers.Ctrl) {
        return 0.125;
    }
    return modifiers.Shift ? 3.75 : 1.0;
}

void MoveForward(TViewState& state, double distance) {
    TCameraPos& c = state.Camera;
    const double heading = DegToRad(c.Heading);
    const double x = c.TransX - std::sin(heading) * distance;
    const double z = c.TransZ + std::cos(heading) * distance;
    c.TransX = static_cast<float>(WrapIntoRange(x, 8.0, 16.0));
    c.TransZ = static_cast<float>(WrapIntoRange(z, 8.0, 16.0));
}

void RiseBy(TViewState& state, double distance) {
    SetEyeHeight(state, EyeHeight(state) + distance);
}

TViewResult FlyStep(TViewState& state, const TFlightKeys& keys, TModifiers modifiers,
                    double seconds) {
    TViewResult result;
    if (state.Busy || !keys.Any()) {
        return result;
    }
    const double dt = std::clamp(seconds, 0.0, kLongestFlightStep) * FlightSpeedFactor(modifiers);
    const int turn = (keys.TurnRight ? 1 : 0) - (keys.TurnLeft ? 1 : 0);
    if (turn != 0) {
        state.Camera.Heading =
            WrapHeading(state.Camera.Heading + turn * kTurnDegreesPerSecond * dt);
    }
    const int forward = (keys.Forward ? 1 : 0) - (keys.Back ? 1 : 0);
    if (forward != 0) {
        MoveForward(state, forward * kFlightUnitsPerSecond * dt);
    }
    const int rise = (keys.Rise ? 1 : 0) - (keys.Sink ? 1 : 0);
    if (rise != 0) {
        RiseBy(state, rise * kRiseUnitsPerSecond * dt);
    }
    result.Redraw = TRedraw::Light;
    return result;
}

double EyeHeight(const TViewState& state) {
    const TCameraPos& c = state.Camera;
    if (state.FollowTerrain) {
        return GroundHeightAt(state, c.TransX, c.TransZ) + state.HeightAboveGround;
    }
    return -c.TransY;
}

std::optional<TGroundPoint> GroundPointAtPixel(const TViewState& state, const TViewPixel& pixel) {
    const TCameraPos& c = state.Camera;
    const double width = std::max(pixel.ViewWidth, 1);
    const double height = std::max(pixel.ViewHeight, 1);
    const double spread = std::tan(DegToRad(c.FOV) / 2.0);
    const TVector3 seen{(2.0 * pixel.X / width - 1.0) * spread * width / height,
                        (1.0 - 2.0 * pixel.Y / height) * spread, -1.0};
    const TVector3 ray = EyeToWorld(c, seen);
    if (ray.y >= -1e-9) {
        return std::nullopt;
    }
    const TVector3 eye{-c.TransX, EyeHeight(state), -c.TransZ};
    // The ground under the hit decides the height of the plane to hit; a few rounds settle it
    // for any slope the pointer can tell apart.
    double ground = 0;
    TGroundPoint hit;
    for (int round = 0; round < 4; ++round) {
        const double along = (ground - eye.y) / ray.y;
        hit = {eye.x + ray.x * along, ground, eye.z + ray.z * along};
        ground = GroundHeightAt(state, -hit.X, -hit.Z);
        if (ground >= eye.y) {
            break;
        }
    }
    return hit;
}

TViewResult WheelCamera(TViewState& state, double notches, TModifiers modifiers,
                        const TViewPixel& pointer) {
    TViewResult result;
    if (state.Busy || notches == 0) {
        return result;
    }
    if (!state.MapView) {
        MoveForward(state, notches * kWheelUnitsPerNotch * FlightSpeedFactor(modifiers));
        result.Redraw = TRedraw::Light;
        return result;
    }
    const std::optional<TGroundPoint> target = GroundPointAtPixel(state, pointer);
    if (!target) {
        return result;
    }
    const double eyeY = EyeHeight(state);
    const double above = eyeY - target->Y;
    if (above <= 0) {
        return result;
    }
    double factor = std::pow(kMapZoomPerNotch, notches);
    factor = std::max(factor, kLowestMapEyeAboveGround / above);
    TCameraPos& c = state.Camera;
    const double eyeX = target->X + (-c.TransX - target->X) * factor;
    const double eyeZ = target->Z + (-c.TransZ - target->Z) * factor;
    c.TransX = static_cast<float>(WrapIntoRange(-eyeX, 8.0, 16.0));
    c.TransZ = static_cast<float>(WrapIntoRange(-eyeZ, 8.0, 16.0));
    SetEyeHeight(state, target->Y + above * factor);
    result.Redraw = TRedraw::Light;
    return result;
}
