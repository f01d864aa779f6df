#include "core/view/CameraLocations.h"

#include "core/base/TextUtils.h"
#include "core/settings/IniFile.h"
#include "core/view/Camera.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr size_t kFloatFieldWidth = 8;
constexpr size_t kFieldPitch = 9; // field width and its "|"
constexpr size_t kFloatFieldCount = 7;
constexpr size_t kFloatPartLength = kFloatFieldCount * kFieldPitch - 1; // 62
// The oldest stored view distance counts in units of 32 squares.
constexpr double kOldViewDistanceUnit = 32.0;

// Characters [start, start + length) of text, shorter or empty where the text ends early.
std::string Field(const std::string& text, size_t start, size_t length) {
    if (start >= text.size()) {
        return std::string();
    }
    return Trim(std::string_view(text).substr(start, length));
}

std::optional<float> ParseFloatField(const std::string& text) {
    const auto value = TryStrToFloat(text);
    if (!value || !std::isfinite(*value) || std::fabs(*value) > std::numeric_limits<float>::max()) {
        return std::nullopt;
    }
    return static_cast<float>(*value);
}

int ClampViewDistance(double squares) {
    return static_cast<int>(std::clamp(squares, 0.0, static_cast<double>(kMaxViewDistance)));
}

std::optional<int> ParseViewDistanceField(const std::string& text) {
    if (text.find('.') != std::string::npos) {
        const auto value = TryStrToFloat(text);
        if (!value || !std::isfinite(*value)) {
            return std::nullopt;
        }
        return ClampViewDistance(RoundTiesToEven(*value * kOldViewDistanceUnit));
    }
    const auto value = TryStrToInt(text);
    if (!value) {
        return std::nullopt;
    }
    return ClampViewDistance(*value);
}

float ReadBack(const std::string& text) {
    return static_cast<float>(TryStrToFloat(text).value_or(0));
}

// Two decimals, and more until the text reads back as value or the field is full. A decimal
// more is kept only when it reads back closer: a digit that changes nothing (a trailing zero)
// would be dropped when the read-back value is written again, and the stored text would change
// on every save of an unmoved camera.
std::string CameraField(float value) {
    std::string text = Format("%.2f", static_cast<double>(value));
    for (int decimals = 3; decimals <= 6; ++decimals) {
        const float readBack = ReadBack(text);
        if (readBack == value) {
            break;
        }
        const std::string longer = Format("%.*f", decimals, static_cast<double>(value));
        if (longer.size() > kFloatFieldWidth) {
            break;
        }
        if (std::fabs(double{ReadBack(longer)} - value) < std::fabs(double{readBack} - value)) {
            text = longer;
        }
    }
    text.resize(std::max(text.size(), kFloatFieldWidth), ' ');
    return text + "|";
}

} // namespace

std::string FormatCameraLocation(const TCameraPos& camera, int viewDistance) {
    return CameraField(camera.TransX) + CameraField(camera.TransY) + CameraField(camera.TransZ) +
           CameraField(camera.Tilt) + CameraField(camera.Heading) + CameraField(camera.Roll) +
           CameraField(camera.FOV) + Format("%-8d", viewDistance);
}

std::optional<TCameraLocation> ParseCameraLocation(const std::string& value) {
    float fields[kFloatFieldCount];
    for (size_t k = 0; k < kFloatFieldCount; ++k) {
        const auto field = ParseFloatField(Field(value, k * kFieldPitch, kFloatFieldWidth));
        if (!field) {
            return std::nullopt;
        }
        fields[k] = *field;
    }
    TCameraLocation location;
    location.Camera =
        TCameraPos{fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6]};
    if (value.size() > kFloatPartLength) {
        location.ViewDistance =
            ParseViewDistanceField(Field(value, kFloatPartLength + 1, kFloatFieldWidth));
        if (!location.ViewDistance) {
            return std::nullopt;
        }
    }
    return location;
}

std::string CameraLocationKey(const std::string& trackName, int slot) {
    return trackName + " #" + std::to_string(slot);
}

void SaveCameraLocation(TIniFile& ini, TViewState& state, const std::string& trackName, int slot) {
    const std::string key = CameraLocationKey(trackName, slot);
    const std::string value = FormatCameraLocation(state.Camera, state.ViewDistance);
    ini.WriteString(kCameraPosSection, key, value);
    state.SavedLocations[key] = {Trim(value), state.Camera, state.ViewDistance};
}

TViewResult RestoreCameraLocation(const TIniFile& ini, TViewState& state,
                                  const std::string& trackName, int slot) {
    if (state.MapView) {
        ToggleMapView(state);
    }
    const std::string key = CameraLocationKey(trackName, slot);
    const std::string current = FormatCameraLocation(state.Camera, state.ViewDistance);
    const std::string value = ini.ReadString(kCameraPosSection, key, current);
    std::optional<TCameraLocation> location = ParseCameraLocation(value);
    const auto saved = state.SavedLocations.find(key);
    if (location && Trim(value) == Trim(current)) {
        location = TCameraLocation{state.Camera, state.ViewDistance};
    } else if (location && saved != state.SavedLocations.end() &&
               saved->second.Value == Trim(value)) {
        location = TCameraLocation{saved->second.Camera, saved->second.ViewDistance};
    }
    if (location) {
        state.Camera = location->Camera;
        if (location->ViewDistance) {
            state.ViewDistance = *location->ViewDistance;
        }
        // Older values may lie outside the level; these use steps of 8, not the grid's 16.
        state.Camera.TransX = static_cast<float>(WrapIntoRange(state.Camera.TransX, 8.0, 8.0));
        state.Camera.TransZ = static_cast<float>(WrapIntoRange(state.Camera.TransZ, 8.0, 8.0));
        state.HeightAboveGround =
            -state.Camera.TransY -
            NearestGridHeight(state, state.Camera.TransX, state.Camera.TransZ);
    }
    TViewResult result;
    result.UpdateProjection = true;
    result.Redraw = TRedraw::Full;
    return result;
}

TViewResult ToggleMapView(TViewState& state) {
    TCameraPos& c = state.Camera;
    TMapCamera& m = state.MapCamera;
    TDisplaySettings& d = state.Display;
    if (!state.MapView) {
        state.SavedCamera = c;
        state.SavedViewDistance = state.ViewDistance;
        state.SavedAreaShape = d.AreaShape;
        c.TransX = m.TransX;
        c.TransY = m.TransY;
        c.TransZ = m.TransZ;
        c.Tilt = m.Tilt;
        c.Heading = m.Heading;
        c.FOV = m.FOV;
        state.ViewDistance = m.ViewDistance;
        d.AreaShape = m.AreaShape;
    } else {
        m.TransX = c.TransX;
        m.TransY = c.TransY;
        m.TransZ = c.TransZ;
        m.Tilt = c.Tilt;
        m.Heading = c.Heading;
        m.FOV = c.FOV;
        m.ViewDistance = state.ViewDistance;
        m.AreaShape = d.AreaShape;
        c = state.SavedCamera;
        d.AreaShape = state.SavedAreaShape;
        state.ViewDistance = state.SavedViewDistance;
    }
    state.MapView = !state.MapView;
    TViewResult result;
    result.UpdateProjection = true;
    result.Redraw = TRedraw::Full;
    return result;
}

TViewResult ResetMapView(TViewState& state) {
    state.MapCamera = TMapCamera{0, -21, 0, 90, 90, 45, 128, TAreaShape::Square};
    TViewResult result;
    if (state.MapView) {
        TCameraPos& c = state.Camera;
        c.TransX = 0;
        c.TransY = -21;
        c.TransZ = 0;
        c.Tilt = 90;
        c.Heading = 90;
        c.FOV = 45;
        state.ViewDistance = 128;
        state.Display.AreaShape = TAreaShape::Square;
        result.UpdateProjection = true;
        result.Redraw = TRedraw::Light;
    }
    return result;
}
