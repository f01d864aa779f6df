#include "core/view/CameraPathSources.h"

#include "core/base/Errors.h"
#include "core/base/TextUtils.h"
#include "core/settings/IniFile.h"
#include "core/track/QRXBox.h"
#include "core/track/TrackData.h"
#include "core/view/Camera.h"
#include "core/view/CameraLocations.h"

#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

constexpr double kPi = 3.14159265358979323846;
// The course camera looks at the ground this far ahead of it.
constexpr double kCourseLookAhead = 2.0;
constexpr int kSavedLocationSlots = 6;
constexpr char kTimeSeparator = '|';
// The eighth "|" of a line ends its location value.
constexpr int kLocationSeparators = 7;

TCameraKeyframe CourseKeyframe(const TViewState& view, double transX, double transZ,
                               double height) {
    TCameraKeyframe key;
    key.ViewDistance = view.ViewDistance;
    key.Camera.TransX = static_cast<float>(transX);
    key.Camera.TransZ = static_cast<float>(transZ);
    key.Camera.TransY = static_cast<float>(-(GroundHeightAt(view, transX, transZ) + height));
    key.Camera.Tilt = static_cast<float>(std::atan2(height, kCourseLookAhead) * 180.0 / kPi);
    key.Camera.Roll = 0;
    key.Camera.FOV = view.Camera.FOV;
    return key;
}

// The character after the location value, or npos when the line holds no time.
size_t TimeSeparatorAt(const std::string& line) {
    size_t at = std::string::npos;
    for (int k = 0; k <= kLocationSeparators; ++k) {
        at = line.find(kTimeSeparator, at == std::string::npos ? 0 : at + 1);
        if (at == std::string::npos) {
            return at;
        }
    }
    return at;
}

bool IsSkipped(const std::string& line) {
    const std::string trimmed = Trim(line);
    return trimmed.empty() || trimmed[0] == '#';
}

} // namespace

std::vector<TCameraKeyframe> CourseKeyframes(const TViewState& view, double height) {
    TViewState start = view;
    GoToStartGrid(start);
    std::vector<TCameraKeyframe> keys;
    keys.push_back(CourseKeyframe(view, start.Camera.TransX, start.Camera.TransZ, height));
    const TTrackData& track = *view.Track;
    const size_t boxes = std::min(track.TrackObjects.size(), static_cast<size_t>(track.BoxCount));
    for (size_t i = 0; i < boxes; ++i) {
        const TQRXBox& box = *track.TrackObjects[i];
        if (box.IsCheckpoint()) {
            // An object at game (X, Z) stands where the eye is at translation
            // (8 - Z / 512, 8 - X / 512).
            keys.push_back(CourseKeyframe(view, 8.0 - box.Z / 512.0, 8.0 - box.X / 512.0, height));
        }
    }
    if (keys.size() > 1) {
        keys.push_back(keys.front());
    }
    return keys;
}

TCameraPathOptions CourseOptions(const TViewState& view) {
    TCameraPathOptions options;
    options.Closed = true;
    options.LookAhead = true;
    options.Ground = [view](double x, double z) { return GroundHeightAt(view, x, z); };
    return options;
}

std::vector<TCameraKeyframe> SavedLocationKeyframes(const TIniFile& ini,
                                                    const std::string& trackName) {
    std::vector<TCameraKeyframe> keys;
    for (int slot = 0; slot < kSavedLocationSlots; ++slot) {
        const std::string value =
            ini.ReadString(kCameraPosSection, CameraLocationKey(trackName, slot), "");
        const auto location = value.empty() ? std::nullopt : ParseCameraLocation(value);
        if (!location) {
            continue;
        }
        TCameraKeyframe key;
        key.Camera = location->Camera;
        // As a restored location is: older values may lie outside the level.
        key.Camera.TransX = static_cast<float>(WrapIntoRange(key.Camera.TransX, 8.0, 8.0));
        key.Camera.TransZ = static_cast<float>(WrapIntoRange(key.Camera.TransZ, 8.0, 8.0));
        key.ViewDistance = location->ViewDistance.value_or(key.ViewDistance);
        keys.push_back(key);
    }
    return keys;
}

std::string FormatKeyframe(const TCameraKeyframe& keyframe) {
    std::string line = FormatCameraLocation(keyframe.Camera, keyframe.ViewDistance);
    line += kTimeSeparator;
    if (keyframe.Time) {
        line += Format("%.3f", *keyframe.Time);
    }
    return line;
}

std::optional<TCameraKeyframe> ParseKeyframe(const std::string& line) {
    const size_t separator = TimeSeparatorAt(line);
    const auto location = ParseCameraLocation(line.substr(0, separator));
    if (!location) {
        return std::nullopt;
    }
    TCameraKeyframe key;
    key.Camera = location->Camera;
    key.ViewDistance = location->ViewDistance.value_or(key.ViewDistance);
    if (separator != std::string::npos) {
        const std::string time = Trim(std::string_view(line).substr(separator + 1));
        if (!time.empty()) {
            key.Time = TryStrToFloat(time);
            if (!key.Time || !std::isfinite(*key.Time) || *key.Time < 0) {
                return std::nullopt;
            }
        }
    }
    return key;
}

std::vector<TCameraKeyframe> ReadCameraPathFile(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file) {
        throw EInOutError("Cannot open the camera path " + fileName);
    }
    std::vector<TCameraKeyframe> keys;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (IsSkipped(line)) {
            continue;
        }
        const auto key = ParseKeyframe(line);
        if (!key) {
            throw EDunmereError(Format("%s line %d: not a keyframe (a camera location, \"|\" and "
                                       "a time in seconds)",
                                       fileName.c_str(), number));
        }
        keys.push_back(*key);
    }
    if (file.bad()) {
        throw EInOutError("Cannot read the camera path " + fileName);
    }
    if (keys.empty()) {
        throw EDunmereError(fileName + ": the camera path holds no keyframe");
    }
    return keys;
}

void WriteCameraPathFile(const std::string& fileName,
                         const std::vector<TCameraKeyframe>& keyframes) {
    const std::string temp = fileName + ".part";
    bool ok = false;
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file << "# Dunmere GL camera path: location|seconds\r\n";
        for (const TCameraKeyframe& key : keyframes) {
            file << FormatKeyframe(key) << "\r\n";
        }
        file.close();
        ok = static_cast<bool>(file);
    }
    if (!ok || std::rename(temp.c_str(), fileName.c_str()) != 0) {
        std::remove(temp.c_str());
        RaiseCannotWrite(fileName);
    }
}
