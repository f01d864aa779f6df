#include "core/view/CameraPath.h"

#include "core/base/Errors.h"
#include "core/base/TextUtils.h"
#include "core/view/Camera.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kArcSamples = 128;
constexpr double kWorldSize = 16.0;
// Knot intervals of coincident keyframes; keeps the centripetal weights finite.
constexpr double kSmallestKnotStep = 1e-9;
constexpr double kTangentStep = 1e-3;
constexpr double kPi = 3.14159265358979323846;

double Knot(double previous, double dx, double dy, double dz) {
    const double distance = std::sqrt(dx * dx + dy * dy + dz * dz);
    return previous + std::max(std::sqrt(distance), kSmallestKnotStep);
}

// Uniform Catmull-Rom between b (u = 0) and c (u = 1).
double UniformCatmullRom(double a, double b, double c, double d, double u) {
    return 0.5 * (2 * b + (c - a) * u + (2 * a - 5 * b + 4 * c - d) * u * u +
                  (3 * b - a - 3 * c + d) * u * u * u);
}

double ShortestTurn(double from, double to) {
    double turn = std::fmod(to - from, 360.0);
    if (turn > 180.0) {
        turn -= 360.0;
    } else if (turn <= -180.0) {
        turn += 360.0;
    }
    return turn;
}

} // namespace

TCameraPath::TCameraPath(std::vector<TCameraKeyframe> keyframes, double endWhenUntimed,
                         TCameraPathOptions options)
    : keys_(std::move(keyframes)), options_(std::move(options)) {
    if (keys_.empty()) {
        throw EDunmereError("camera path: no keyframes");
    }
    for (const TCameraKeyframe& key : keys_) {
        if (key.Time && (!std::isfinite(*key.Time) || *key.Time < 0)) {
            throw EDunmereError(Format("camera path: keyframe time %g is not a time", *key.Time));
        }
    }
    options_.Closed = options_.Closed && keys_.size() >= 3;
    for (size_t k = 0; k < keys_.size(); ++k) {
        const TCameraPos& c = keys_[k].Camera;
        TPoint p{c.TransX, c.TransY, c.TransZ};
        if (k > 0) {
            const TPoint& before = points_.back();
            p.X += kWorldSize * std::round((before.X - p.X) / kWorldSize);
            p.Z += kWorldSize * std::round((before.Z - p.Z) / kWorldSize);
        }
        points_.push_back(p);
        heightAboveGround_.push_back(
            options_.Ground ? -c.TransY - options_.Ground(c.TransX, c.TransZ) : 0.0);
        tilt_.push_back(c.Tilt);
        heading_.push_back(k == 0 ? c.Heading
                                  : heading_.back() + ShortestTurn(heading_.back(), c.Heading));
        roll_.push_back(c.Roll);
        fov_.push_back(c.FOV);
    }
    MeasureSegments();
    PlaceUntimedKeyframes(endWhenUntimed);
}

TCameraPath::TPoint TCameraPath::CurvePoint(size_t segment, double u) const {
    const size_t n = points_.size();
    const TPoint& p1 = points_[segment];
    const TPoint& p2 = points_[segment + 1];
    TPoint p0;
    TPoint p3;
    const TPoint& first = points_.front();
    const TPoint& last = points_.back();
    if (segment > 0) {
        p0 = points_[segment - 1];
    } else if (options_.Closed) {
        const TPoint& q = points_[n - 2];
        p0 = {q.X - (last.X - first.X), q.Y - (last.Y - first.Y), q.Z - (last.Z - first.Z)};
    } else {
        p0 = {2 * p1.X - p2.X, 2 * p1.Y - p2.Y, 2 * p1.Z - p2.Z};
    }
    if (segment + 2 < n) {
        p3 = points_[segment + 2];
    } else if (options_.Closed) {
        const TPoint& q = points_[1];
        p3 = {q.X + (last.X - first.X), q.Y + (last.Y - first.Y), q.Z + (last.Z - first.Z)};
    } else {
        p3 = {2 * p2.X - p1.X, 2 * p2.Y - p1.Y, 2 * p2.Z - p1.Z};
    }
    // Barry and Goldman's pyramid with knots spaced by the square root of the chord length.
    const double t0 = 0;
    const double t1 = Knot(t0, p1.X - p0.X, p1.Y - p0.Y, p1.Z - p0.Z);
    const double t2 = Knot(t1, p2.X - p1.X, p2.Y - p1.Y, p2.Z - p1.Z);
    const double t3 = Knot(t2, p3.X - p2.X, p3.Y - p2.Y, p3.Z - p2.Z);
    const double t = t1 + u * (t2 - t1);
    auto mix = [](const TPoint& a, const TPoint& b, double ta, double tb, double t) {
        const double wa = (tb - t) / (tb - ta);
        const double wb = (t - ta) / (tb - ta);
        return TPoint{wa * a.X + wb * b.X, wa * a.Y + wb * b.Y, wa * a.Z + wb * b.Z};
    };
    const TPoint a1 = mix(p0, p1, t0, t1, t);
    const TPoint a2 = mix(p1, p2, t1, t2, t);
    const TPoint a3 = mix(p2, p3, t2, t3, t);
    const TPoint b1 = mix(a1, a2, t0, t2, t);
    const TPoint b2 = mix(a2, a3, t1, t3, t);
    return mix(b1, b2, t1, t2, t);
}

double TCameraPath::Smooth(size_t segment, double u, const std::vector<double>& values) const {
    const double b = values[segment];
    const double c = values[segment + 1];
    const double a = segment > 0 ? values[segment - 1] : 2 * b - c;
    const double d = segment + 2 < values.size() ? values[segment + 2] : 2 * c - b;
    return UniformCatmullRom(a, b, c, d, u);
}

void TCameraPath::MeasureSegments() {
    for (size_t s = 0; s + 1 < points_.size(); ++s) {
        TSegment segment;
        segment.ArcLength.push_back(0);
        TPoint previous = points_[s];
        for (int i = 1; i <= kArcSamples; ++i) {
            const TPoint p = CurvePoint(s, static_cast<double>(i) / kArcSamples);
            const double dx = p.X - previous.X;
            const double dy = p.Y - previous.Y;
            const double dz = p.Z - previous.Z;
            segment.ArcLength.push_back(segment.ArcLength.back() +
                                        std::sqrt(dx * dx + dy * dy + dz * dz));
            previous = p;
        }
        segments_.push_back(std::move(segment));
    }
}

void TCameraPath::PlaceUntimedKeyframes(double endWhenUntimed) {
    const size_t n = keys_.size();
    times_.assign(n, 0.0);
    std::vector<bool> timed(n, false);
    for (size_t k = 0; k < n; ++k) {
        if (keys_[k].Time) {
            times_[k] = *keys_[k].Time;
            timed[k] = true;
        }
    }
    if (n == 1) {
        return;
    }
    if (!timed[n - 1]) {
        times_[n - 1] = endWhenUntimed;
        timed[n - 1] = true;
    }
    timed[0] = true; // an untimed first keyframe starts the path at 0

    std::vector<double> distance(n, 0.0);
    for (size_t k = 1; k < n; ++k) {
        distance[k] = distance[k - 1] + segments_[k - 1].ArcLength.back();
    }
    size_t from = 0;
    for (size_t to = 1; to < n; ++to) {
        if (!timed[to]) {
            continue;
        }
        if (!(times_[to] > times_[from])) {
            throw EDunmereError(
                Format("camera path: keyframe %zu at %g s does not come after keyframe %zu at %g s",
                       to + 1, times_[to], from + 1, times_[from]));
        }
        const double length = distance[to] - distance[from];
        for (size_t k = from + 1; k < to; ++k) {
            const double share = length > 0 ? (distance[k] - distance[from]) / length
                                            : static_cast<double>(k - from) / (to - from);
            times_[k] = times_[from] + share * (times_[to] - times_[from]);
        }
        from = to;
    }
}

double TCameraPath::ParameterAt(size_t segment, double fraction) const {
    const std::vector<double>& arc = segments_[segment].ArcLength;
    const double total = arc.back();
    if (!(total > 0)) {
        return fraction;
    }
    const double target = fraction * total;
    const auto above = std::upper_bound(arc.begin(), arc.end(), target);
    if (above == arc.end()) {
        return 1.0;
    }
    const size_t i = static_cast<size_t>(above - arc.begin()); // arc[i - 1] <= target < arc[i]
    const double within = (target - arc[i - 1]) / (arc[i] - arc[i - 1]);
    return (static_cast<double>(i - 1) + within) / kArcSamples;
}

TCameraPos TCameraPath::At(double seconds) const {
    const size_t n = keys_.size();
    size_t segment = 0;
    double u = 0;
    TPoint p = points_.front();
    double tilt = tilt_.front(), heading = heading_.front(), roll = roll_.front(),
           fov = fov_.front();
    double height = heightAboveGround_.front();
    if (n > 1 && seconds >= times_.back()) {
        segment = n - 2;
        u = 1;
        p = points_.back();
        tilt = tilt_.back();
        heading = heading_.back();
        roll = roll_.back();
        fov = fov_.back();
        height = heightAboveGround_.back();
    } else if (n > 1 && seconds > times_.front()) {
        segment = static_cast<size_t>(std::upper_bound(times_.begin(), times_.end(), seconds) -
                                      times_.begin()) -
                  1;
        const double span = times_[segment + 1] - times_[segment];
        u = ParameterAt(segment, span > 0 ? (seconds - times_[segment]) / span : 0.0);
        p = CurvePoint(segment, u);
        tilt = Smooth(segment, u, tilt_);
        heading = Smooth(segment, u, heading_);
        roll = Smooth(segment, u, roll_);
        fov = Smooth(segment, u, fov_);
        // Kept between the two keyframes' heights: an overshoot could take the eye into the
        // ground.
        height = std::clamp(Smooth(segment, u, heightAboveGround_),
                            std::min(heightAboveGround_[segment], heightAboveGround_[segment + 1]),
                            std::max(heightAboveGround_[segment], heightAboveGround_[segment + 1]));
    }
    if (options_.LookAhead && n > 1) {
        const TPoint a = CurvePoint(segment, std::max(0.0, u - kTangentStep));
        const TPoint b = CurvePoint(segment, std::min(1.0, u + kTangentStep));
        const double dx = b.X - a.X;
        const double dz = b.Z - a.Z;
        // Forward along heading h moves the translation by (-sin h, cos h).
        if (dx != 0 || dz != 0) {
            heading = std::atan2(-dx, dz) * 180.0 / kPi;
        }
    }
    TCameraPos camera;
    camera.TransX = static_cast<float>(WrapIntoRange(p.X, 8.0, kWorldSize));
    camera.TransZ = static_cast<float>(WrapIntoRange(p.Z, 8.0, kWorldSize));
    camera.TransY = static_cast<float>(
        options_.Ground ? -(options_.Ground(camera.TransX, camera.TransZ) + height) : p.Y);
    camera.Tilt = static_cast<float>(tilt);
    camera.Heading = WrapHeading(heading);
    camera.Roll = static_cast<float>(roll);
    camera.FOV = static_cast<float>(std::clamp(fov, 0.0, 180.0));
    return camera;
}
