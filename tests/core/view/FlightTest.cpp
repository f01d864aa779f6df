#include "core/view/Flight.h"

#include "GridFixture.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr TModifiers kPlain{};
constexpr TModifiers kShift{true, false, false};
constexpr TModifiers kCtrl{false, true, false};

TFlightKeys Held(TFlightKey key) {
    TFlightKeys keys;
    SetFlightKey(keys, key, true);
    return keys;
}

TViewState At(float transX, float transZ, float heading) {
    TViewState state;
    state.Camera.TransX = transX;
    state.Camera.TransZ = transZ;
    state.Camera.Heading = heading;
    state.FollowGroundBoxes = false;
    state.FollowWater = false;
    return state;
}

class KeyboardFlight : public TGridTest {};

TEST_F(KeyboardFlight, ForwardGoesTheWayAnUpwardRightDragGoes) {
    for (const float heading : {0.0f, 37.0f, 90.0f, 200.0f}) {
        TViewState byKey = OnGrid(At(1, 2, heading));
        TViewState byMouse = OnGrid(At(1, 2, heading));
        // The plain mouse speed 0.8 moves dY / 125 units: 10 pixels up are 0.08 units, which
        // the keys at 1.5 units per second fly in 0.08 / 1.5 seconds.
        FlyStep(byKey, Held(TFlightKey::Forward), kPlain, 0.08 / kFlightUnitsPerSecond);
        byMouse.LastMouseX = 500;
        byMouse.LastMouseY = 500;
        MouseMoveCamera(byMouse, TMouseButtons{false, true, false}, kPlain, 500, 490);
        EXPECT_NEAR(byKey.Camera.TransX, byMouse.Camera.TransX, 1e-4) << "heading " << heading;
        EXPECT_NEAR(byKey.Camera.TransZ, byMouse.Camera.TransZ, 1e-4) << "heading " << heading;
    }
}

TEST_F(KeyboardFlight, BackUndoesForwardAndBothTogetherStandStill) {
    TViewState state = OnGrid(At(1, 2, 30));
    FlyStep(state, Held(TFlightKey::Forward), kPlain, 0.08);
    FlyStep(state, Held(TFlightKey::Back), kPlain, 0.08);
    EXPECT_NEAR(state.Camera.TransX, 1, 1e-6);
    EXPECT_NEAR(state.Camera.TransZ, 2, 1e-6);

    TFlightKeys both = Held(TFlightKey::Forward);
    SetFlightKey(both, TFlightKey::Back, true);
    const TViewResult result = FlyStep(state, both, kPlain, 0.08);
    EXPECT_NEAR(state.Camera.TransX, 1, 1e-6);
    EXPECT_EQ(result.Redraw, TRedraw::Light);
}

TEST_F(KeyboardFlight, ArrowsTurnRightUpAndLeftDownWrappingTheHeading) {
    TViewState state = OnGrid(At(0, 0, 10));
    FlyStep(state, Held(TFlightKey::TurnRight), kPlain, 0.1);
    EXPECT_NEAR(state.Camera.Heading, 19, 1e-4);
    FlyStep(state, Held(TFlightKey::TurnLeft), kPlain, 0.1);
    FlyStep(state, Held(TFlightKey::TurnLeft), kPlain, 0.1);
    FlyStep(state, Held(TFlightKey::TurnLeft), kPlain, 0.1);
    EXPECT_NEAR(state.Camera.Heading, 352, 1e-4);
    EXPECT_EQ(state.Camera.TransX, 0);
}

TEST_F(KeyboardFlight, ShiftIsFasterAndCtrlSlowerAsWithTheMouse) {
    TViewState plain = OnGrid(At(0, 0, 0));
    TViewState fast = OnGrid(At(0, 0, 0));
    TViewState slow = OnGrid(At(0, 0, 0));
    FlyStep(plain, Held(TFlightKey::TurnRight), kPlain, 0.1);
    FlyStep(fast, Held(TFlightKey::TurnRight), kShift, 0.1);
    FlyStep(slow, Held(TFlightKey::TurnRight), kCtrl, 0.1);
    EXPECT_NEAR(fast.Camera.Heading, plain.Camera.Heading * 3.75, 1e-3);
    EXPECT_NEAR(slow.Camera.Heading, plain.Camera.Heading * 0.125, 1e-3);
    EXPECT_DOUBLE_EQ(FlightSpeedFactor(TModifiers{true, true, false}), 0.125);
}

TEST_F(KeyboardFlight, AStalledTimerDoesNotTurnIntoAJump) {
    TViewState state = OnGrid(At(0, 0, 0));
    FlyStep(state, Held(TFlightKey::TurnRight), kPlain, 5.0);
    EXPECT_NEAR(state.Camera.Heading, kTurnDegreesPerSecond * kLongestFlightStep, 1e-4);
}

TEST_F(KeyboardFlight, NothingMovesWhileBusyOrWithoutAKey) {
    TViewState state = OnGrid(At(1, 2, 30));
    state.Busy = true;
    EXPECT_EQ(FlyStep(state, Held(TFlightKey::Forward), kPlain, 0.1).Redraw, TRedraw::None);
    state.Busy = false;
    EXPECT_EQ(FlyStep(state, TFlightKeys{}, kPlain, 0.1).Redraw, TRedraw::None);
    EXPECT_EQ(state.Camera.TransX, 1);
    EXPECT_EQ(state.Camera.TransZ, 2);
}

TEST_F(KeyboardFlight, FlyingPastTheEdgeComesBackFromTheOtherSide) {
    // Heading 90 looks along +x; the eye is at -TransX.
    TViewState state = OnGrid(At(-7.95f, 0, 90));
    FlyStep(state, Held(TFlightKey::Forward), kShift, 0.1);
    EXPECT_NEAR(state.Camera.TransX, -7.95 - 0.5625 + 16, 1e-4);
    EXPECT_LE(state.Camera.TransX, 8);
}

TEST_F(KeyboardFlight, PageUpAndDownChangeTheHeightAndFollowingKeepsItAboveTheGround) {
    TViewState free = OnGrid(At(0, 0, 0));
    free.Camera.TransY = -3;
    FlyStep(free, Held(TFlightKey::Rise), kPlain, 0.1);
    EXPECT_NEAR(free.Camera.TransY, -3.05, 1e-5);
    FlyStep(free, Held(TFlightKey::Sink), kPlain, 0.1);
    EXPECT_NEAR(free.Camera.TransY, -3, 1e-5);

    // Following over a slope: moving keeps the height above the ground, rising adds to it.
    for (int row = 0; row < kGridSize; ++row) {
        for (int column = 0; column < kGridSize; ++column) {
            SetTerrain(row, column, static_cast<float>(row) / 255.0f);
        }
    }
    TViewState following = OnGrid(At(0, 0, 90));
    following.FollowTerrain = true;
    following.HeightAboveGround = 0.2;
    FlyStep(following, Held(TFlightKey::Forward), kShift, 0.1);
    EXPECT_NEAR(following.HeightAboveGround, 0.2, 1e-9);
    FlyStep(following, Held(TFlightKey::Rise), kPlain, 0.1);
    EXPECT_NEAR(following.HeightAboveGround, 0.25, 1e-6);
    EXPECT_NEAR(EyeHeight(following),
                GroundHeightAt(following, following.Camera.TransX, following.Camera.TransZ) + 0.25,
                1e-6);
}

class Wheel : public TGridTest {};

TEST_F(Wheel, MovesTheFreeCameraForwardAndBackByNotches) {
    TViewState state = OnGrid(At(1, 2, 90));
    const TViewPixel middle{320, 240, 640, 480};
    EXPECT_EQ(WheelCamera(state, 2, kPlain, middle).Redraw, TRedraw::Light);
    EXPECT_NEAR(state.Camera.TransX, 1 - 2 * kWheelUnitsPerNotch, 1e-5);
    WheelCamera(state, -2, kPlain, middle);
    EXPECT_NEAR(state.Camera.TransX, 1, 1e-5);
    WheelCamera(state, 1, kCtrl, middle);
    EXPECT_NEAR(state.Camera.TransX, 1 - kWheelUnitsPerNotch * 0.125, 1e-5);
}

// The map camera at its reset place: straight down from 21 units over the middle, heading 90.
TViewState MapCamera() {
    TViewState state = At(0, 0, 90);
    state.MapView = true;
    state.Camera.TransY = -21;
    state.Camera.Tilt = 90;
    state.Camera.FOV = 45;
    return state;
}

TEST_F(Wheel, TheMapViewShowsRow255AtTheTopAndColumn255AtTheRight) {
    const TViewState state = OnGrid(MapCamera());
    const auto top = GroundPointAtPixel(state, TViewPixel{320, 0, 640, 480});
    const auto right = GroundPointAtPixel(state, TViewPixel{640, 240, 640, 480});
    const auto middle = GroundPointAtPixel(state, TViewPixel{320, 240, 640, 480});
    ASSERT_TRUE(top && right && middle);
    EXPECT_NEAR(middle->X, 0, 1e-6);
    EXPECT_NEAR(middle->Z, 0, 1e-6);
    // Half the field of view, 22.5 degrees, from 21 units up.
    EXPECT_NEAR(top->X, 21 * std::tan(22.5 * 3.14159265358979 / 180), 1e-4);
    EXPECT_NEAR(top->Z, 0, 1e-6);
    EXPECT_NEAR(right->Z, 21 * std::tan(22.5 * 3.14159265358979 / 180) * 640 / 480, 1e-4);
}

TEST_F(Wheel, ZoomsTheMapViewAboutThePointUnderThePointer) {
    TViewState state = OnGrid(MapCamera());
    const TViewPixel pointer{500, 100, 640, 480};
    const auto before = GroundPointAtPixel(state, pointer);
    ASSERT_TRUE(before);
    EXPECT_EQ(WheelCamera(state, 1, kPlain, pointer).Redraw, TRedraw::Light);
    EXPECT_NEAR(EyeHeight(state), 21 * kMapZoomPerNotch, 1e-4);
    const auto after = GroundPointAtPixel(state, pointer);
    ASSERT_TRUE(after);
    EXPECT_NEAR(after->X, before->X, 1e-4);
    EXPECT_NEAR(after->Z, before->Z, 1e-4);

    WheelCamera(state, -1, kPlain, pointer);
    EXPECT_NEAR(EyeHeight(state), 21, 1e-3);
    EXPECT_NEAR(state.Camera.TransX, 0, 1e-4);
}

TEST_F(Wheel, ZoomingInStopsAboveTheGround) {
    TViewState state = OnGrid(MapCamera());
    SetTerrain(128, 128, 0.5f);
    const TViewPixel middle{320, 240, 640, 480};
    const auto ground = GroundPointAtPixel(state, middle);
    ASSERT_TRUE(ground);
    EXPECT_GT(ground->Y, 0.4);
    WheelCamera(state, 100, kPlain, middle);
    EXPECT_NEAR(EyeHeight(state) - ground->Y, kLowestMapEyeAboveGround, 1e-5);
}

TEST_F(Wheel, ARayThatDoesNotGoDownHitsNoGround) {
    TViewState state = OnGrid(At(0, 0, 90));
    state.Camera.Tilt = -30; // looking up
    EXPECT_FALSE(GroundPointAtPixel(state, TViewPixel{320, 240, 640, 480}));
    state.MapView = true;
    EXPECT_EQ(WheelCamera(state, 1, kPlain, TViewPixel{320, 240, 640, 480}).Redraw, TRedraw::None);
}

} // namespace
