// Playing a camera path in the viewer: the camera follows the path by the clock, so the display's
// pace sets how many frames are drawn, not how fast the camera moves. Space pauses and resumes,
// Esc stops; stopping, and reaching the path's end, put the camera (and the map view) back the way
// they were before playing. Times are passed in, so that the window's clock drives it.
#pragma once

#include "core/view/CameraPath.h"

#include <chrono>
#include <optional>
#include <string>

class TFlyThroughPlayback {
public:
    using TClock = std::chrono::steady_clock;

    bool Active() const { return path_.has_value(); }
    bool Paused() const { return pausedAt_.has_value(); }

    // Starts path from its beginning, leaving the map view first; a fly-through already playing
    // is replaced, the camera to come back to stays the first one's. Asks for a projection update
    // and a full redraw.
    TViewResult Start(TCameraPath path, TViewState& view, TClock::time_point now);
    // Places the camera where the path is at now; at the end, stops. A full redraw (objects
    // included) while active, nothing otherwise.
    TViewResult Advance(TViewState& view, TClock::time_point now);
    // Nothing while not active.
    void TogglePause(TClock::time_point now);
    // Puts the camera, the view distance and the map view back as they were before Start.
    TViewResult Stop(TViewState& view);

    // Seconds into the path at now (held while paused).
    double Elapsed(TClock::time_point now) const;
    // "Fly-through 0:03.2 / 0:20.0", with " (paused)" while paused; empty while not active.
    std::string OverlayText(TClock::time_point now) const;

private:
    std::optional<TCameraPath> path_;
    TClock::time_point startedAt_;
    std::optional<TClock::time_point> pausedAt_;
    TCameraPos savedCamera_;
    int savedViewDistance_ = 0;
    bool savedMapView_ = false;
};
