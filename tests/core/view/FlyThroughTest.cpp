#include "core/view/FlyThrough.h"

#include "core/view/CameraLocations.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using TClock = TFlyThroughPlayback::TClock;

TCameraPath TwoSecondPath() {
    TCameraKeyframe a;
    a.Camera = TCameraPos{0, -1, 0, 10, 0, 0, 60};
    TCameraKeyframe b;
    b.Camera = TCameraPos{2, -1, 0, 10, 0, 0, 40};
    return TCameraPath({a, b}, 2.0);
}

TEST(FlyThroughPlayback, FollowsTheClockPausesAndPutsTheCameraBackWhenStopped) {
    TViewState view;
    view.Camera = TCameraPos{5, -2, 3, 30, 77, 1, 70};
    view.ViewDistance = 90;
    const TCameraPos before = view.Camera;
    TFlyThroughPlayback play;
    const TClock::time_point t0 = TClock::now();

    TViewResult result = play.Start(TwoSecondPath(), view, t0);
    EXPECT_EQ(result.Redraw, TRedraw::Full);
    EXPECT_TRUE(result.UpdateProjection);
    EXPECT_FLOAT_EQ(view.Camera.TransX, 0);

    play.Advance(view, t0 + 1s);
    EXPECT_NEAR(view.Camera.TransX, 1.0, 1e-4);
    EXPECT_NEAR(view.Camera.FOV, 50.0, 1e-3);
    EXPECT_EQ(play.OverlayText(t0 + 1s), "Fly-through 0:01.0 / 0:02.0");

    // Five seconds of pause cost no path time.
    play.TogglePause(t0 + 1s);
    EXPECT_EQ(play.OverlayText(t0 + 3s), "Fly-through 0:01.0 / 0:02.0 (paused)");
    play.Advance(view, t0 + 3s);
    EXPECT_NEAR(view.Camera.TransX, 1.0, 1e-4);
    play.TogglePause(t0 + 6s);
    play.Advance(view, t0 + 6500ms);
    EXPECT_NEAR(play.Elapsed(t0 + 6500ms), 1.5, 1e-9);

    result = play.Stop(view);
    EXPECT_FALSE(play.Active());
    EXPECT_EQ(result.Redraw, TRedraw::Full);
    EXPECT_TRUE(result.UpdateProjection);
    EXPECT_EQ(view.Camera.TransX, before.TransX);
    EXPECT_EQ(view.Camera.Heading, before.Heading);
    EXPECT_EQ(view.Camera.FOV, before.FOV);
    EXPECT_EQ(view.ViewDistance, 90);
    EXPECT_EQ(play.OverlayText(t0 + 7s), "");
    EXPECT_EQ(play.Advance(view, t0 + 7s).Redraw, TRedraw::None);
}

TEST(FlyThroughPlayback, EndsByItselfAndGivesTheMapViewBack) {
    TViewState view;
    ToggleMapView(view);
    const TCameraPos mapCamera = view.Camera;
    TFlyThroughPlayback play;
    const TClock::time_point t0 = TClock::now();
    play.Start(TwoSecondPath(), view, t0);
    EXPECT_FALSE(view.MapView); // flown with the free camera
    // Starting again while playing keeps the camera to come back to.
    play.Start(TwoSecondPath(), view, t0 + 1s);
    play.Advance(view, t0 + 2900ms);
    EXPECT_TRUE(play.Active());
    EXPECT_NEAR(view.Camera.TransX, 1.9, 1e-3);
    EXPECT_EQ(play.Advance(view, t0 + 3100ms).Redraw, TRedraw::Full);
    EXPECT_FALSE(play.Active());
    EXPECT_TRUE(view.MapView);
    EXPECT_EQ(view.Camera.TransY, mapCamera.TransY);
    EXPECT_EQ(view.Camera.Tilt, mapCamera.Tilt);
}

} // namespace
