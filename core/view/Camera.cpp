#include "core/view/Camera.h"

#include "core/track/DMConvert.h"
#include "core/track/TrackData.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double kPi = 3.14159265358979323846;
// The game's own conversion from radians (180 / 3.14, not 180 / pi); start grids are placed with
// it so they match what the game shows.
constexpr double kGameRadToDeg = 57.32484076433121;
constexpr int kMouseJumpLimit = 200;

double DegToRad(double degrees) {
    return degrees * kPi / 180.0;
}

int WrapGridIndex(long long index) {
    const long long m = index % kGridSize;
    return static_cast<int>(m < 0 ? m + kGridSize : m);
}

double MouseSpeed(TModifiers modifiers) {
    if (modifiers.Ctrl) {
        return 0.1;
    }
    return modifiers.Shift ? 3.0 : 0.8;
}

void Look(TViewState& state, double s, int dX, int dY, bool alt) {
    TCameraPos& c = state.Camera;
    double heading = c.Heading + s * dX / 4.0;
    if (alt) {
        heading = RoundTiesToEven(heading);
    }
    c.Heading = WrapHeading(heading);
    if (!state.MapView) {
        double tilt = std::clamp(c.Tilt + s * dY / 4.0, -180.0, 180.0);
        if (alt) {
            tilt = RoundTiesToEven(tilt);
        }
        c.Tilt = static_cast<float>(tilt);
    }
}

void Move(TViewState& state, double s, int dX, int dY, bool alt) {
    TCameraPos& c = state.Camera;
    double x = c.TransX;
    double z = c.TransZ;
    if (state.FollowTerrain && state.SteeringMode && !state.MapView) {
        double heading = c.Heading + s * dX / 1.5;
        if (alt) {
            heading = RoundTiesToEven(heading);
            c.Tilt = static_cast<float>(RoundTiesToEven(c.Tilt));
        }
        c.Heading = WrapHeading(heading);
    } else {
        x -= std::cos(DegToRad(c.Heading)) * s * dX / 100.0;
        z -= std::sin(DegToRad(c.Heading)) * s * dX / 100.0;
    }
    x -= std::cos(DegToRad(c.Heading + 90.0)) * s * dY / 100.0;
    z -= std::sin(DegToRad(c.Heading + 90.0)) * s * dY / 100.0;
    c.TransX = static_cast<float>(WrapIntoRange(x, 8.0, 16.0));
    c.TransZ = static_cast<float>(WrapIntoRange(z, 8.0, 16.0));
}

void Altitude(TViewState& state, double s, int dY) {
    TCameraPos& c = state.Camera;
    const double h = NearestGridHeight(state, c.TransX, c.TransZ);
    if (state.FollowTerrain) {
        c.TransY = static_cast<float>(-h - state.HeightAboveGround);
    }
    c.TransY = static_cast<float>(c.TransY + s * dY / 100.0);
    state.HeightAboveGround = -c.TransY - h;
}

int ViewDistanceStep(int viewDistance, TModifiers modifiers) {
    const int plain = std::max(1, static_cast<int>(RoundTiesToEven(viewDistance / 30.0)));
    if (modifiers.Shift && !modifiers.Ctrl) {
        return plain * 5;
    }
    if (modifiers.Ctrl && !modifiers.Shift) {
        return 1;
    }
    return plain;
}

} // namespace

int NearestGridIndex(double t) {
    const double u = static_cast<double>(WorldToMapUnits(t));
    if (!std::isfinite(u)) {
        return 0;
    }
    return WrapGridIndex(static_cast<long long>(RoundTiesToEven(u)));
}

float WrapHeading(double degrees) {
    if (!std::isfinite(degrees)) {
        return static_cast<float>(degrees);
    }
    if (std::fabs(degrees) > 1e6) {
        degrees = std::fmod(degrees, 360.0);
    }
    float h = static_cast<float>(degrees);
    for (;;) {
        if (h >= 360.0f) {
            h -= 360.0f;
        } else if (h < 0.0f) {
            h += 360.0f;
        } else {
            return h;
        }
    }
}

double RoundTiesToEven(double value) {
    return std::nearbyint(value);
}

double WrapIntoRange(double value, double limit, double step) {
    if (!std::isfinite(value)) {
        return value;
    }
    // Far out values would take forever by single steps (or never move at all).
    if (std::fabs(value) > 1e6) {
        value = std::fmod(value, step);
    }
    while (value > limit) {
        value -= step;
    }
    while (value < -limit) {
        value += step;
    }
    return value;
}

TViewResult ResetCamera(TViewState& state, int resetViewDistTo) {
    state.Camera = TCameraPos{0, -3, 0, 25, 90, 0, 60};
    if (resetViewDistTo > 0) {
        state.ViewDistance = std::min(resetViewDistTo, kMaxViewDistance);
    }
    TViewResult result;
    result.UpdateProjection = true;
    return result;
}

double NearestGridHeight(const TViewState& state, double X, double Z) {
    if (state.Track == nullptr) {
        return 0;
    }
    return state.Track->TerrainVertices[NearestGridIndex(X)][NearestGridIndex(Z)].y;
}

double GroundHeightAt(const TViewState& state, double X, double Z) {
    if (state.Track == nullptr) {
        return 0;
    }
    const TTrackData& track = *state.Track;
    const double u = static_cast<double>(WorldToMapUnits(X));
    const double v = static_cast<double>(WorldToMapUnits(Z));
    if (!std::isfinite(u) || !std::isfinite(v)) {
        return 0;
    }
    const long long iu = static_cast<long long>(std::floor(u + 0.5));
    const long long jv = static_cast<long long>(std::floor(v + 0.5));
    const double fu = u - static_cast<double>(iu);
    const double fv = v - static_cast<double>(jv);
    const int i = WrapGridIndex(iu);
    const int j = WrapGridIndex(jv);
    const int i1 = (i + 1) % kGridSize;
    const int j1 = (j + 1) % kGridSize;

    const double h00 = track.TerrainVertices[i][j].y;
    const double h10 = track.TerrainVertices[i1][j].y;
    const double h01 = track.TerrainVertices[i][j1].y;
    const double h11 = track.TerrainVertices[i1][j1].y;
    double h = h00 + (h10 - h00) * fu + (h01 - h00) * fv + (h00 + h11 - h01 - h10) * fu * fv;

    if (state.FollowGroundBoxes) {
        const int bi = WrapGridIndex(static_cast<long long>(RoundTiesToEven(u)));
        const int bj = WrapGridIndex(static_cast<long long>(RoundTiesToEven(v)));
        h = std::max(h, static_cast<double>(track.GroundBoxTop[bi][bj].y));
    }
    if (state.FollowWater) {
        h = std::max(h, static_cast<double>(track.WaterHeight));
    }
    return h;
}

TViewResult MouseMoveCamera(TViewState& state, TMouseButtons buttons, TModifiers modifiers, int X,
                            int Y) {
    TViewResult result;
    if (state.Busy || state.ResetMouse) {
        state.ResetMouse = false;
        state.LastMouseX = X;
        state.LastMouseY = Y;
        return result;
    }
    const int dX = X - state.LastMouseX;
    const int dY = Y - state.LastMouseY;
    state.LastMouseX = X;
    state.LastMouseY = Y;
    if (std::abs(dX) > kMouseJumpLimit || std::abs(dY) > kMouseJumpLimit) {
        return result;
    }
    const double s = MouseSpeed(modifiers);

    if (buttons.Left && !buttons.Right && !buttons.Middle) {
        Look(state, s, dX, dY, modifiers.Alt);
    } else if (buttons.Right && !buttons.Left && !buttons.Middle) {
        Move(state, s, dX, dY, modifiers.Alt);
    } else if (buttons.Left && buttons.Right && !buttons.Middle) {
        Altitude(state, s, dY);
    } else if (buttons.Middle && !buttons.Left && !buttons.Right) {
        state.Camera.FOV =
            static_cast<float>(std::clamp(state.Camera.FOV + s * dY / 5.0, 0.0, 180.0));
        result.UpdateProjection = true;
    } else {
        return result;
    }
    result.Redraw = TRedraw::Light;
    return result;
}

TViewResult NavigationKeyDown(TViewState& state, TNavigationKey key, TModifiers modifiers) {
    TViewResult result;
    if (state.Busy) {
        return result;
    }
    switch (key) {
    case TNavigationKey::Insert:
        state.Camera.Heading -= 5;
        // A turn is camera movement: show it at once, like a drag does.
        result.Redraw = TRedraw::Light;
        return result;
    case TNavigationKey::Delete:
        state.Camera.Heading += 5;
        result.Redraw = TRedraw::Light;
        return result;
    case TNavigationKey::KeypadMinus:
        if (modifiers.Alt) {
            state.BackgroundOffset -= 1;
        } else if (state.ViewDistance <= kMinKeyViewDistance) {
            result.Beep = true;
        } else {
            const int step = ViewDistanceStep(state.ViewDistance, modifiers);
            state.ViewDistance -= std::min(step, state.ViewDistance - kMinKeyViewDistance);
        }
        break;
    case TNavigationKey::KeypadPlus:
        if (modifiers.Alt) {
            state.BackgroundOffset += 1;
        } else if (state.ViewDistance >= kMaxViewDistance) {
            result.Beep = true;
        } else {
            const int step = ViewDistanceStep(state.ViewDistance, modifiers);
            state.ViewDistance += std::min(step, kMaxViewDistance - state.ViewDistance);
        }
        break;
    }
    result.Redraw = TRedraw::Full;
    return result;
}

std::string ToggleFollowTerrain(TViewState& state) {
    state.FollowTerrain = !state.FollowTerrain;
    TCameraPos& c = state.Camera;
    const double ground = GroundHeightAt(state, c.TransX, c.TransZ);
    if (state.FollowTerrain) {
        state.HeightAboveGround = -c.TransY - ground;
        return "Deactivate";
    }
    c.TransY = static_cast<float>(-ground - state.HeightAboveGround);
    return "Activate";
}

TViewResult GoToStartGrid(TViewState& state) {
    const TVertex3f pos = state.Track != nullptr ? state.Track->FirstGridPos : TVertex3f{};
    const TVertex3f rot = state.Track != nullptr ? state.Track->FirstGridRot : TVertex3f{};
    TCameraPos& c = state.Camera;
    c.TransX = static_cast<float>(-(pos.z / 512.0 - 8.0));
    c.TransY = static_cast<float>(-0.01 - pos.y / 512.0);
    c.TransZ = static_cast<float>(-(pos.x / 512.0 - 8.0));
    c.Tilt = static_cast<float>(-rot.x * kGameRadToDeg);
    c.Heading = static_cast<float>(rot.z * kGameRadToDeg + 90.0);
    c.Roll = static_cast<float>(rot.y * kGameRadToDeg);
    TViewResult result;
    result.Redraw = TRedraw::Full;
    return result;
}
