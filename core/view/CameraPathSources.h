// Where fly-through keyframes come from: the course of the loaded track, the saved camera
// locations, and path files.
//
// A path file is text, one keyframe per line: the saved-location value of the INI's "CameraPos"
// section (CameraLocations.h, view distance included), then "|" and the keyframe's time in
// seconds. The time may be left empty (nothing after the "|", or no "|" at all), and the keyframe
// is then placed by even speed. Blank lines and lines starting with "#" are skipped. Example:
//   1.25    |-0.80   |-2.00   |15.00   |90.00   |0.00    |60.00   |100     |0.000
#pragma once

#include "core/view/CameraPath.h"

#include <string>
#include <vector>

class TIniFile;

// The height above the ground the course is flown at unless another is asked for.
inline constexpr double kDefaultCourseHeight = 0.25;
// The length of a recording whose path does not say.
inline constexpr double kDefaultPathSeconds = 20.0;

// A recording the viewer is asked for: the path to fly, where to write it and how.
enum class TFlyThroughSource { Course, SavedLocations, EditedPath };

struct TRecordSettings {
    std::string Output; // .mp4, .webm or a folder for PNG files
    int Width = 1280;
    int Height = 720;
    int FramesPerSecond = 30;
    double Seconds = kDefaultPathSeconds;
};

struct TRecordChoice {
    TFlyThroughSource Source = TFlyThroughSource::Course;
    double CourseHeight = kDefaultCourseHeight;
    TRecordSettings Settings;
};

// From the start grid through the checkpoints among the track's boxes, in the track's order, and
// back to the start grid, height world units above the followed ground of view, looking a little
// down. Reads the view's track. Only the start grid when the track has no checkpoint.
std::vector<TCameraKeyframe> CourseKeyframes(const TViewState& view, double height);
// The options that fly the course: a closed lap looking ahead, keeping the height above ground.
TCameraPathOptions CourseOptions(const TViewState& view);

// The saved locations of the track, slot 0 to 5, those that exist and can be read, in order.
std::vector<TCameraKeyframe> SavedLocationKeyframes(const TIniFile& ini,
                                                    const std::string& trackName);

std::string FormatKeyframe(const TCameraKeyframe& keyframe);
// nullopt when the line is no keyframe.
std::optional<TCameraKeyframe> ParseKeyframe(const std::string& line);

// Raises EInOutError when the file cannot be read, EDunmereError naming the file and the line
// for a line that is no keyframe, or when it holds none.
std::vector<TCameraKeyframe> ReadCameraPathFile(const std::string& fileName);
// Raises EInOutError when the file cannot be written; an earlier file stays as it was then.
void WriteCameraPathFile(const std::string& fileName,
                         const std::vector<TCameraKeyframe>& keyframes);
