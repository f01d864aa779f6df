#include "core/view/Camera.h"

#include "GridFixture.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr TMouseButtons kLeft{true, false, false};
constexpr TMouseButtons kRight{false, true, false};
constexpr TMouseButtons kBoth{true, true, false};
constexpr TMouseButtons kMiddle{false, false, true};
constexpr TModifiers kPlain{};
constexpr TModifiers kShift{true, false, false};
constexpr TModifiers kCtrl{false, true, false};
constexpr TModifiers kAlt{false, false, true};
constexpr TModifiers kShiftCtrl{true, true, false};

// A state whose pointer was last seen at (100, 100), so the next movement is a drag.
TViewState DragReady() {
    TViewState state;
    state.LastMouseX = 100;
    state.LastMouseY = 100;
    return state;
}

TViewResult Drag(TViewState& state, TMouseButtons buttons, TModifiers modifiers, int dX, int dY) {
    return MouseMoveCamera(state, buttons, modifiers, state.LastMouseX + dX, state.LastMouseY + dY);
}

TViewState TerrainOnly() {
    TViewState state;
    state.FollowGroundBoxes = false;
    state.FollowWater = false;
    return state;
}

class GroundHeight : public TGridTest {};

TEST_F(GroundHeight, FollowsTheSlopeFromTheNearestPointWithSignedFractions) {
    const TViewState state = OnGrid(TerrainOnly());
    SetTerrain(100, 100, 0.2f);
    SetTerrain(101, 100, 0.6f);
    SetTerrain(99, 100, 0.9f); // the cell behind the nearest point is not used
    SetTerrain(100, 101, 0.2f);
    SetTerrain(101, 101, 0.6f);
    SetTerrain(100, 99, 0.2f);
    SetTerrain(99, 99, 0.9f);

    // u = 100.25: a quarter of the way towards row 101.
    EXPECT_NEAR(GroundHeightAt(state, TransForGrid(100.25), TransForGrid(100)), 0.3, 1e-6);
    // u = 99.75: nearest point is still row 100, fraction -0.25 extends the slope backwards.
    EXPECT_NEAR(GroundHeightAt(state, TransForGrid(99.75), TransForGrid(100)), 0.1, 1e-6);
}

TEST_F(GroundHeight, CombinesBothFractionsBilinearly) {
    const TViewState state = OnGrid(TerrainOnly());
    SetTerrain(51, 61, 1.0f); // h11 only
    EXPECT_NEAR(GroundHeightAt(state, TransForGrid(50.25), TransForGrid(60.25)), 0.0625, 1e-6);

    // The origin is grid coordinate 127.5 exactly: nearest point 128, fractions -0.5.
    SetTerrain(128, 128, 0.4f);
    SetTerrain(129, 128, 0.8f);
    SetTerrain(128, 129, 0.0f);
    SetTerrain(129, 129, 0.2f);
    const double expected =
        0.4 + (0.8 - 0.4) * -0.5 + (0.0 - 0.4) * -0.5 + (0.4 + 0.2 - 0.0 - 0.8) * 0.25;
    EXPECT_NEAR(GroundHeightAt(state, 0.0, 0.0), expected, 1e-6);
}

TEST_F(GroundHeight, WrapsToTheFirstRowAndColumnBeyondTheLast) {
    const TViewState state = OnGrid(TerrainOnly());
    SetTerrain(255, 40, 0.4f);
    SetTerrain(0, 40, 0.8f);
    // u = 254.75: nearest row 255, its neighbour is row 0.
    EXPECT_NEAR(GroundHeightAt(state, TransForGrid(254.75), TransForGrid(40)), 0.3, 1e-6);

    SetTerrain(30, 255, 0.4f);
    SetTerrain(30, 0, 0.0f);
    EXPECT_NEAR(GroundHeightAt(state, TransForGrid(30), TransForGrid(254.75)), 0.5, 1e-6);
}

TEST_F(GroundHeight, RisesToGroundBoxTopsAndWaterOnlyWhenFollowed) {
    TViewState state = OnGrid(TerrainOnly());
    for (int r = 70; r <= 71; ++r) {
        for (int c = 80; c <= 81; ++c) {
            SetTerrain(r, c, 0.1f);
        }
    }
    SetBoxTop(70, 80, 0.7f);
    Track().WaterHeight = 0.5f;
    const double x = TransForGrid(70.1);
    const double z = TransForGrid(80.1);

    EXPECT_NEAR(GroundHeightAt(state, x, z), 0.1, 1e-6);
    state.FollowWater = true;
    EXPECT_NEAR(GroundHeightAt(state, x, z), 0.5, 1e-6);
    state.FollowGroundBoxes = true;
    EXPECT_NEAR(GroundHeightAt(state, x, z), 0.7, 1e-6);
    state.FollowWater = false;
    SetBoxTop(70, 80, 0.05f); // a box top below the terrain does not lower it
    EXPECT_NEAR(GroundHeightAt(state, x, z), 0.1, 1e-6);
}

TEST(ResetCamera, SetsTheDefaultsAndTheViewDistanceOnlyWhenAsked) {
    TViewState state;
    state.Camera = TCameraPos{3, 4, 5, 6, 7, 8, 9};
    state.ViewDistance = 33;
    const TViewResult result = ResetCamera(state, -1);
    EXPECT_TRUE(result.UpdateProjection);
    EXPECT_EQ(state.Camera.TransX, 0);
    EXPECT_EQ(state.Camera.TransY, -3);
    EXPECT_EQ(state.Camera.TransZ, 0);
    EXPECT_EQ(state.Camera.Tilt, 25);
    EXPECT_EQ(state.Camera.Heading, 90);
    EXPECT_EQ(state.Camera.Roll, 0);
    EXPECT_EQ(state.Camera.FOV, 60);
    EXPECT_EQ(state.ViewDistance, 33);

    ResetCamera(state, 0);
    EXPECT_EQ(state.ViewDistance, 33);
    ResetCamera(state, 70);
    EXPECT_EQ(state.ViewDistance, 70);
    ResetCamera(state, 100000); // a hand-edited INI must not make every frame endless
    EXPECT_EQ(state.ViewDistance, kMaxViewDistance);
}

class MouseMove : public TGridTest {};

TEST_F(MouseMove, FirstMovementAfterResetOrWhileBusyOnlyRecordsThePointer) {
    TViewState state = OnGrid(DragReady());
    state.ResetMouse = true;
    const TCameraPos before = state.Camera;
    TViewResult result = MouseMoveCamera(state, kRight, kPlain, 150, 130);
    EXPECT_EQ(result.Redraw, TRedraw::None);
    EXPECT_FALSE(state.ResetMouse);
    EXPECT_EQ(state.LastMouseX, 150);
    EXPECT_EQ(state.LastMouseY, 130);
    EXPECT_EQ(state.Camera.TransZ, before.TransZ);

    state.Busy = true;
    result = MouseMoveCamera(state, kRight, kPlain, 170, 130);
    EXPECT_EQ(result.Redraw, TRedraw::None);
    EXPECT_EQ(state.LastMouseX, 170);
    EXPECT_EQ(state.Camera.TransZ, before.TransZ);
    state.Busy = false;

    result = MouseMoveCamera(state, kRight, kPlain, 220, 130);
    EXPECT_EQ(result.Redraw, TRedraw::Light);
    EXPECT_NEAR(state.Camera.TransZ, before.TransZ - 0.4, 1e-6);
}

TEST_F(MouseMove, JumpsOfMoreThan200PixelsAreIgnoredButRecorded) {
    TViewState state = OnGrid(DragReady());
    const TViewResult result = Drag(state, kLeft, kPlain, 201, 0);
    EXPECT_EQ(result.Redraw, TRedraw::None);
    EXPECT_EQ(state.Camera.Heading, 90);
    EXPECT_EQ(state.LastMouseX, 301);

    Drag(state, kLeft, kPlain, 0, -201);
    EXPECT_EQ(state.Camera.Tilt, 25);

    Drag(state, kLeft, kPlain, 200, 0); // exactly 200 is still a drag
    EXPECT_FLOAT_EQ(state.Camera.Heading, 130);
}

TEST_F(MouseMove, RightDragStrafesAlongTheHeadingAndMovesForwardAcrossIt) {
    TViewState state = OnGrid(DragReady());
    Drag(state, kRight, kPlain, 50, 0);
    EXPECT_NEAR(state.Camera.TransX, 0.0, 1e-6); // -cos 90 * 0.4
    EXPECT_NEAR(state.Camera.TransZ, -0.4, 1e-6);

    state = OnGrid(DragReady());
    Drag(state, kRight, kPlain, 0, 50); // heading + 90 = 180
    EXPECT_NEAR(state.Camera.TransX, 0.4, 1e-6);
    EXPECT_NEAR(state.Camera.TransZ, 0.0, 1e-6);

    state = OnGrid(DragReady());
    state.Camera.Heading = 0;
    Drag(state, kRight, kPlain, 50, 0);
    EXPECT_NEAR(state.Camera.TransX, -0.4, 1e-6);
    EXPECT_NEAR(state.Camera.TransZ, 0.0, 1e-6);
}

TEST_F(MouseMove, CtrlIsSlowShiftIsFastAndCtrlWinsOverShift) {
    TViewState state = OnGrid(DragReady());
    Drag(state, kRight, kCtrl, 100, 0);
    EXPECT_NEAR(state.Camera.TransZ, -0.1, 1e-6);

    state = OnGrid(DragReady());
    Drag(state, kRight, kShift, 100, 0);
    EXPECT_NEAR(state.Camera.TransZ, -3.0, 1e-6);

    state = OnGrid(DragReady());
    Drag(state, kRight, kShiftCtrl, 100, 0);
    EXPECT_NEAR(state.Camera.TransZ, -0.1, 1e-6);
}

TEST_F(MouseMove, MovingPastTheEdgeContinuesFromTheOtherSide) {
    TViewState state = OnGrid(DragReady());
    state.Camera.TransX = 7.9f;
    Drag(state, kRight, kPlain, 0, 50); // +0.4 along x
    EXPECT_NEAR(state.Camera.TransX, 8.3 - 16.0, 1e-5);

    state = OnGrid(DragReady());
    state.Camera.TransZ = -7.5f;
    Drag(state, kRight, kShift, 200, 0); // -6 along z
    EXPECT_NEAR(state.Camera.TransZ, -13.5 + 16.0, 1e-5);

    // However far a drag goes, both stay within the grid.
    state = OnGrid(DragReady());
    for (int k = 0; k < 40; ++k) {
        Drag(state, kRight, kShift, 190, 170);
        ASSERT_LE(std::fabs(state.Camera.TransX), 8.0f);
        ASSERT_LE(std::fabs(state.Camera.TransZ), 8.0f);
    }
}

TEST_F(MouseMove, LookingTurnsHeadingWithinAFullTurnAndStopsTiltAtTheLimits) {
    TViewState state = OnGrid(DragReady());
    state.Camera.Heading = 350;
    Drag(state, kLeft, kPlain, 80, 0); // +16
    EXPECT_NEAR(state.Camera.Heading, 6, 1e-4);
    Drag(state, kLeft, kPlain, -40, 0); // -8
    EXPECT_NEAR(state.Camera.Heading, 358, 1e-4);

    state = OnGrid(DragReady());
    state.Camera.Tilt = 170;
    Drag(state, kLeft, kPlain, 0, 100); // +20
    EXPECT_EQ(state.Camera.Tilt, 180);
    state.Camera.Tilt = -175;
    Drag(state, kLeft, kPlain, 0, -100);
    EXPECT_EQ(state.Camera.Tilt, -180);
}

TEST_F(MouseMove, AltLandsHeadingAndTiltOnWholeDegreesWithTiesToEven) {
    TViewState state = OnGrid(DragReady());
    Drag(state, kLeft, kAlt, 3, 3); // +0.6 each
    EXPECT_EQ(state.Camera.Heading, 91);
    EXPECT_EQ(state.Camera.Tilt, 26);

    // Shift speed 3: two pixels are 1.5 degrees.
    state = OnGrid(DragReady());
    Drag(state, kLeft, TModifiers{true, false, true}, 2, 2);
    EXPECT_EQ(state.Camera.Heading, 92); // 91.5
    EXPECT_EQ(state.Camera.Tilt, 26);    // 26.5
    state = OnGrid(DragReady());
    Drag(state, kLeft, TModifiers{true, false, true}, -2, 0);
    EXPECT_EQ(state.Camera.Heading, 88); // 88.5

    // A heading that rounds up to a full turn is 0.
    state = OnGrid(DragReady());
    state.Camera.Heading = 359.7f;
    Drag(state, kLeft, kAlt, 0, 0);
    EXPECT_EQ(state.Camera.Heading, 0);
}

TEST_F(MouseMove, MapViewTurnsHeadingButNeverTilt) {
    TViewState state = OnGrid(DragReady());
    state.MapView = true;
    state.Camera.Tilt = 90;
    Drag(state, kLeft, kPlain, 20, 60);
    EXPECT_NEAR(state.Camera.Heading, 94, 1e-4);
    EXPECT_EQ(state.Camera.Tilt, 90);
}

TEST_F(MouseMove, SteeringTurnsInsteadOfStrafingOnlyWhileFollowingOutsideMapView) {
    TViewState state = OnGrid(DragReady());
    state.FollowTerrain = true;
    Drag(state, kRight, kPlain, 30, 0); // 0.8 * 30 / 1.5 = 16
    EXPECT_NEAR(state.Camera.Heading, 106, 1e-4);
    EXPECT_EQ(state.Camera.TransX, 0);
    EXPECT_EQ(state.Camera.TransZ, 0);

    // The forward part uses the new heading.
    state = OnGrid(DragReady());
    state.FollowTerrain = true;
    state.Camera.Heading = 0;
    Drag(state, kRight, kPlain, 0, 50);
    EXPECT_NEAR(state.Camera.TransZ, -0.4, 1e-6);

    state = OnGrid(DragReady());
    state.FollowTerrain = true;
    state.MapView = true;
    Drag(state, kRight, kPlain, 30, 0);
    EXPECT_EQ(state.Camera.Heading, 90);
    EXPECT_NEAR(state.Camera.TransZ, -0.24, 1e-6);

    state = OnGrid(DragReady());
    state.FollowTerrain = true;
    state.SteeringMode = false;
    Drag(state, kRight, kPlain, 30, 0);
    EXPECT_EQ(state.Camera.Heading, 90);
    EXPECT_NEAR(state.Camera.TransZ, -0.24, 1e-6);

    state = OnGrid(DragReady());
    state.FollowTerrain = true;
    state.Camera.Tilt = 25.4f;
    Drag(state, kRight, kAlt, 1, 0); // heading 90.533, tilt 25.4
    EXPECT_EQ(state.Camera.Heading, 91);
    EXPECT_EQ(state.Camera.Tilt, 25);
}

TEST_F(MouseMove, BothButtonsChangeAltitudeAndKeepTheHeightAboveGroundInStep) {
    SetTerrain(128, 128, 0.2f);
    TViewState state = OnGrid(DragReady());
    state.Camera.TransY = -5;
    Drag(state, kBoth, kPlain, 0, 50); // dragging down lowers the eye
    EXPECT_NEAR(state.Camera.TransY, -4.6, 1e-5);
    EXPECT_NEAR(state.HeightAboveGround, 4.6 - 0.2, 1e-5);

    state = OnGrid(DragReady());
    state.FollowTerrain = true;
    state.HeightAboveGround = 1.0;
    state.Camera.TransY = -5; // stale while following
    Drag(state, kBoth, kPlain, 0, 50);
    EXPECT_NEAR(state.Camera.TransY, -1.2 + 0.4, 1e-5);
    EXPECT_NEAR(state.HeightAboveGround, 0.6, 1e-5);
}

TEST_F(MouseMove, MiddleButtonZoomsWithinTheFieldOfViewLimits) {
    TViewState state = OnGrid(DragReady());
    TViewResult result = Drag(state, kMiddle, kPlain, 0, 50);
    EXPECT_TRUE(result.UpdateProjection);
    EXPECT_EQ(result.Redraw, TRedraw::Light);
    EXPECT_FLOAT_EQ(state.Camera.FOV, 68);

    Drag(state, kMiddle, kShift, 0, 200); // +120
    EXPECT_EQ(state.Camera.FOV, 180);
    Drag(state, kMiddle, kShift, 0, -200);
    Drag(state, kMiddle, kShift, 0, -200);
    EXPECT_EQ(state.Camera.FOV, 0);

    result = Drag(state, kRight, kPlain, 5, 0);
    EXPECT_FALSE(result.UpdateProjection);
}

TEST_F(MouseMove, OtherButtonCombinationsDoNothingAndDrawNothing) {
    for (const TMouseButtons buttons :
         {TMouseButtons{}, TMouseButtons{true, false, true}, TMouseButtons{false, true, true},
          TMouseButtons{true, true, true}}) {
        TViewState state = OnGrid(DragReady());
        const TViewResult result = Drag(state, buttons, kPlain, 30, 30);
        EXPECT_EQ(result.Redraw, TRedraw::None);
        EXPECT_FALSE(result.UpdateProjection);
        EXPECT_EQ(state.Camera.Heading, 90);
        EXPECT_EQ(state.Camera.TransZ, 0);
        EXPECT_EQ(state.Camera.FOV, 60);
        EXPECT_EQ(state.LastMouseX, 130);
    }
}

TEST(NavigationKeys, InsertAndDeleteTurnByFiveWithoutWrapping) {
    TViewState state;
    state.Camera.Heading = 2;
    NavigationKeyDown(state, TNavigationKey::Insert, kPlain);
    EXPECT_EQ(state.Camera.Heading, -3);
    state.Camera.Heading = 358;
    NavigationKeyDown(state, TNavigationKey::Delete, kShiftCtrl);
    EXPECT_EQ(state.Camera.Heading, 363);
}

TEST(NavigationKeys, KeypadStepsFollowTheViewDistanceAndTheModifiers) {
    struct Case {
        int from;
        TNavigationKey key;
        TModifiers modifiers;
        int to;
    };
    const Case cases[] = {
        {50, TNavigationKey::KeypadMinus, kPlain, 48},
        {50, TNavigationKey::KeypadPlus, kPlain, 52},
        {50, TNavigationKey::KeypadMinus, kShift, 40},
        {50, TNavigationKey::KeypadPlus, kShift, 60},
        {50, TNavigationKey::KeypadPlus, kCtrl, 51},
        {50, TNavigationKey::KeypadPlus, kShiftCtrl, 52},
        {45, TNavigationKey::KeypadPlus, kPlain, 47},  // 1.5 rounds to 2
        {75, TNavigationKey::KeypadPlus, kPlain, 77},  // 2.5 rounds to 2
        {12, TNavigationKey::KeypadMinus, kPlain, 11}, // never less than 1
        {11, TNavigationKey::KeypadMinus, kShift, 10}, // not below 10
        {254, TNavigationKey::KeypadPlus, kPlain, 255},
        {250, TNavigationKey::KeypadPlus, kShift, 255},
        {0, TNavigationKey::KeypadPlus, kPlain, 1},
    };
    for (const Case& c : cases) {
        TViewState state;
        state.ViewDistance = c.from;
        const TViewResult result = NavigationKeyDown(state, c.key, c.modifiers);
        EXPECT_EQ(state.ViewDistance, c.to) << "from " << c.from;
        EXPECT_FALSE(result.Beep) << "from " << c.from;
        EXPECT_EQ(result.Redraw, TRedraw::Full);
    }
}

TEST(NavigationKeys, TheLimitsBeepAndChangeNothing) {
    TViewState state;
    state.ViewDistance = 11;
    EXPECT_FALSE(NavigationKeyDown(state, TNavigationKey::KeypadMinus, kShift).Beep);
    const TViewResult atLow = NavigationKeyDown(state, TNavigationKey::KeypadMinus, kShift);
    EXPECT_TRUE(atLow.Beep);
    EXPECT_EQ(atLow.Redraw, TRedraw::Full);
    EXPECT_EQ(state.ViewDistance, 10);

    state.ViewDistance = 255;
    EXPECT_TRUE(NavigationKeyDown(state, TNavigationKey::KeypadPlus, kPlain).Beep);
    EXPECT_EQ(state.ViewDistance, 255);
}

TEST(NavigationKeys, AltShiftsTheBackgroundInsteadOfTheViewDistance) {
    TViewState state;
    state.ViewDistance = 255;
    EXPECT_FALSE(NavigationKeyDown(state, TNavigationKey::KeypadPlus, kAlt).Beep);
    NavigationKeyDown(state, TNavigationKey::KeypadPlus, kAlt);
    EXPECT_EQ(state.BackgroundOffset, 2);
    NavigationKeyDown(state, TNavigationKey::KeypadMinus, TModifiers{true, false, true});
    EXPECT_EQ(state.BackgroundOffset, 1);
    EXPECT_EQ(state.ViewDistance, 255);
}

TEST(NavigationKeys, NothingHappensWhileBusy) {
    TViewState state;
    state.Busy = true;
    const TViewResult result = NavigationKeyDown(state, TNavigationKey::KeypadPlus, kPlain);
    NavigationKeyDown(state, TNavigationKey::Insert, kPlain);
    state.Busy = false;
    EXPECT_EQ(result.Redraw, TRedraw::None);
    EXPECT_EQ(state.ViewDistance, 50);
    EXPECT_EQ(state.Camera.Heading, 90);
}

class FollowTerrain : public TGridTest {};

TEST_F(FollowTerrain, OnThenOffWithoutMovingLeavesTheEyeWhereItWas) {
    SetTerrain(128, 128, 0.3f);
    SetTerrain(129, 128, 0.5f);
    Track().WaterHeight = 0.1f;
    TViewState state = OnGrid({});
    state.Camera.TransY = -1.75f;
    EXPECT_EQ(ToggleFollowTerrain(state), "Deactivate");
    EXPECT_TRUE(state.FollowTerrain);
    EXPECT_NEAR(GroundHeightAt(state, 0, 0) + state.HeightAboveGround, 1.75, 1e-6);

    state.Camera.TransY = 99; // ignored while following, replaced when following stops
    EXPECT_EQ(ToggleFollowTerrain(state), "Activate");
    EXPECT_FALSE(state.FollowTerrain);
    EXPECT_EQ(state.Camera.TransY, -1.75f);
}

TEST_F(FollowTerrain, WithFollowWaterTheEyeStaysAboveTheWaterSurface) {
    SetTerrain(128, 128, 0.1f);
    Track().WaterHeight = 0.5f;
    TViewState state = OnGrid(DragReady());
    state.Camera.TransY = -1.5f;
    ToggleFollowTerrain(state);
    EXPECT_NEAR(state.HeightAboveGround, 1.0, 1e-6);

    Drag(state, kRight, kShift, 150, 150); // somewhere else, terrain 0 below the water
    EXPECT_NEAR(GroundHeightAt(state, state.Camera.TransX, state.Camera.TransZ) +
                    state.HeightAboveGround,
                1.5, 1e-6);
}

class StartGrid : public TGridTest {};

TEST_F(StartGrid, PlacesTheCameraWithTheGamesOwnDegreeFactor) {
    Track().FirstGridPos = TVertex3f{4096, 256, 1024};
    Track().FirstGridRot = TVertex3f{0.5f, 0.25f, 1.0f};
    TViewState state = OnGrid({});
    state.Camera.FOV = 33;
    const TViewResult result = GoToStartGrid(state);
    EXPECT_EQ(result.Redraw, TRedraw::Full);
    EXPECT_FLOAT_EQ(state.Camera.TransX, 6.0f);
    EXPECT_FLOAT_EQ(state.Camera.TransY, -0.51f);
    EXPECT_FLOAT_EQ(state.Camera.TransZ, 0.0f);
    // 180 / 3.14, not 180 / pi: a radian is 57.3248 degrees here.
    EXPECT_NEAR(state.Camera.Tilt, -28.6624204, 1e-4);
    EXPECT_NEAR(state.Camera.Heading, 147.3248408, 1e-4);
    EXPECT_NEAR(state.Camera.Roll, 14.3312102, 1e-4);
    EXPECT_EQ(state.Camera.FOV, 33);
}

TEST(Wrapping, FarValuesWrapWithoutLoopingForever) {
    EXPECT_DOUBLE_EQ(WrapIntoRange(9.5, 8, 8), 1.5);
    EXPECT_DOUBLE_EQ(WrapIntoRange(-9.5, 8, 16), 6.5);
    EXPECT_DOUBLE_EQ(WrapIntoRange(8.0, 8, 16), 8.0);
    const double far = WrapIntoRange(1e30, 8, 8);
    EXPECT_LE(std::fabs(far), 8.0);
    EXPECT_TRUE(std::isinf(WrapIntoRange(INFINITY, 8, 8)));
}

} // namespace
