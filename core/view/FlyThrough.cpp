#include "core/view/FlyThrough.h"

#include "core/base/TextUtils.h"
#include "core/view/CameraLocations.h"

#include <cmath>

namespace {

std::string Clock(double seconds) {
    const long tenths = std::lround(seconds * 10);
    return Format("%ld:%02ld.%ld", tenths / 600, tenths / 10 % 60, tenths % 10);
}

} // namespace

TViewResult TFlyThroughPlayback::Start(TCameraPath path, TViewState& view, TClock::time_point now) {
    if (!Active()) {
        savedMapView_ = view.MapView;
        if (view.MapView) {
            ToggleMapView(view);
        }
        savedCamera_ = view.Camera;
        savedViewDistance_ = view.ViewDistance;
    }
    path_.emplace(std::move(path));
    startedAt_ = now;
    pausedAt_.reset();
    TViewResult result = Advance(view, now);
    result.UpdateProjection = true;
    return result;
}

double TFlyThroughPlayback::Elapsed(TClock::time_point now) const {
    if (!Active()) {
        return 0;
    }
    const TClock::time_point until = pausedAt_.value_or(now);
    return std::max(0.0, std::chrono::duration<double>(until - startedAt_).count());
}

TViewResult TFlyThroughPlayback::Advance(TViewState& view, TClock::time_point now) {
    if (!Active()) {
        return {};
    }
    const double elapsed = Elapsed(now);
    if (elapsed > path_->Duration()) {
        return Stop(view);
    }
    view.Camera = path_->At(elapsed);
    view.FullFrame = true;
    TViewResult result;
    // The field of view may change along the path.
    result.UpdateProjection = true;
    result.Redraw = TRedraw::Full;
    return result;
}

void TFlyThroughPlayback::TogglePause(TClock::time_point now) {
    if (!Active()) {
        return;
    }
    if (pausedAt_) {
        startedAt_ += now - *pausedAt_; // the pause does not count as path time
        pausedAt_.reset();
    } else {
        pausedAt_ = now;
    }
}

TViewResult TFlyThroughPlayback::Stop(TViewState& view) {
    if (!Active()) {
        return {};
    }
    path_.reset();
    pausedAt_.reset();
    view.Camera = savedCamera_;
    view.ViewDistance = savedViewDistance_;
    if (savedMapView_ && !view.MapView) {
        ToggleMapView(view);
    }
    TViewResult result;
    result.UpdateProjection = true;
    result.Redraw = TRedraw::Full;
    return result;
}

std::string TFlyThroughPlayback::OverlayText(TClock::time_point now) const {
    if (!Active()) {
        return std::string();
    }
    return "Fly-through " + Clock(Elapsed(now)) + " / " + Clock(path_->Duration()) +
           (Paused() ? " (paused)" : "");
}
