// Camera paths for fly-throughs: keyframes (a whole camera, optionally with a time) and the camera
// at any time between them.
//
// Positions follow a centripetal Catmull-Rom curve through the keyframes, so the curve neither
// loops nor overshoots where keyframes bunch up; tilt, heading, roll and field of view follow a
// uniform Catmull-Rom curve over the same segments, each heading taken the shortest way round from
// the one before (350 to 10 turns 20 degrees). A keyframe without a time is placed so that the
// camera moves at an even speed, by arc length, between the keyframes that have one; within each
// segment the speed is even as well. Because the world repeats every 16 units, consecutive
// keyframes are joined the short way round it and the camera returned is brought back into
// [-8, 8].
//
// Everything is in camera translation units (the eye is at the negated translation), seconds and
// degrees.
#pragma once

#include "core/view/ViewState.h"

#include <functional>
#include <optional>
#include <vector>

struct TCameraKeyframe {
    TCameraPos Camera;
    int ViewDistance = 50;
    std::optional<double> Time; // seconds from the start; absent: placed by even speed
};

// The height of the ground (up positive, world units) under a camera translation (X, Z).
using TGroundHeight = std::function<double(double transX, double transZ)>;

struct TCameraPathOptions {
    // The last keyframe is the first one again (a lap): the curve leaves the start the way it
    // comes back, without a kink.
    bool Closed = false;
    // Heading from the curve's direction instead of the keyframes' headings.
    bool LookAhead = false;
    // With a ground, the camera keeps its height above the ground, interpolated between the
    // keyframes' heights above it, instead of following the keyframes' absolute heights.
    TGroundHeight Ground;
};

class TCameraPath {
public:
    // endWhenUntimed is the time of the last keyframe when that has none. Raises EDunmereError when
    // there are no keyframes, a keyframe's time is negative or not finite, or the times do not
    // increase.
    TCameraPath(std::vector<TCameraKeyframe> keyframes, double endWhenUntimed,
                TCameraPathOptions options = {});

    // The time of the last keyframe.
    double Duration() const { return times_.back(); }
    // The times the keyframes are passed at, the untimed ones included.
    const std::vector<double>& KeyTimes() const { return times_; }
    const std::vector<TCameraKeyframe>& Keyframes() const { return keys_; }

    // The camera at seconds, held at the first and the last keyframe outside the path's time.
    TCameraPos At(double seconds) const;

private:
    struct TPoint {
        double X, Y, Z;
    };
    struct TSegment {
        // Arc length from the segment's start at kArcSamples + 1 evenly spaced curve parameters.
        std::vector<double> ArcLength;
    };

    TPoint CurvePoint(size_t segment, double u) const;
    double Smooth(size_t segment, double u, const std::vector<double>& values) const;
    double ParameterAt(size_t segment, double fraction) const;
    void MeasureSegments();
    void PlaceUntimedKeyframes(double endWhenUntimed);

    std::vector<TCameraKeyframe> keys_;
    TCameraPathOptions options_;
    std::vector<TPoint> points_; // keyframe translations, joined the short way round the world
    std::vector<double> heightAboveGround_;
    std::vector<double> tilt_, heading_, roll_, fov_; // headings unwrapped
    std::vector<TSegment> segments_;
    std::vector<double> times_;
};
