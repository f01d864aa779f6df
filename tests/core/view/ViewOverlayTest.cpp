#include "core/view/ViewOverlay.h"

#include "core/view/Camera.h"
#include "core/view/CameraLocations.h"
#include "core/view/Flight.h"

#include "GridFixture.h"

#include <gtest/gtest.h>

namespace {

TEST(MinimapMapping, TheCornersOfTheMinimapAreTheCornersOfTheGrid) {
    EXPECT_EQ(MinimapCellAt(0, 0, 128), (TGridCell{255, 0}));
    EXPECT_EQ(MinimapCellAt(127.9, 0, 128), (TGridCell{255, 255}));
    EXPECT_EQ(MinimapCellAt(0, 127.9, 128), (TGridCell{0, 0}));
    EXPECT_EQ(MinimapCellAt(127.9, 127.9, 128), (TGridCell{0, 255}));
}

TEST(MinimapMapping, EachPixelOfAHalfSizeMinimapCoversTwoCells) {
    EXPECT_EQ(MinimapCellAt(10, 20, 128), (TGridCell{255 - 40, 20}));
    EXPECT_EQ(MinimapCellAt(10.6, 20.6, 128), (TGridCell{255 - 41, 21}));
    // Full size: one cell per pixel.
    EXPECT_EQ(MinimapCellAt(100, 55, 256), (TGridCell{200, 100}));
}

TEST(MinimapMapping, PixelsBeyondTheEdgeGiveTheEdgeCell) {
    EXPECT_EQ(MinimapCellAt(-5, -5, 100), (TGridCell{255, 0}));
    EXPECT_EQ(MinimapCellAt(105, 105, 100), (TGridCell{0, 255}));
}

TEST(MinimapMapping, TheMarkerSitsOnTheCameraCellAndPointsWhereItLooks) {
    for (const TGridCell cell : {TGridCell{0, 0}, TGridCell{40, 200}, TGridCell{255, 17}}) {
        TViewState state;
        MoveFreeCameraToCell(state, cell);
        EXPECT_EQ(CameraCell(state.Camera), cell);
        const TMinimapMarker marker = MinimapMarker(state.Camera, 256);
        EXPECT_EQ(MinimapCellAt(marker.X, marker.Y, 256), cell);
    }
    TCameraPos camera;
    camera.Heading = 90; // looking along +x, the minimap's up
    TMinimapMarker marker = MinimapMarker(camera, 200);
    EXPECT_NEAR(marker.DirX, 0, 1e-9);
    EXPECT_NEAR(marker.DirY, -1, 1e-9);
    camera.Heading = 0; // along -z, the minimap's left
    marker = MinimapMarker(camera, 200);
    EXPECT_NEAR(marker.DirX, -1, 1e-9);
    EXPECT_NEAR(marker.DirY, 0, 1e-9);
}

TEST(MinimapMapping, TheMinimapIsASquareInTheTopRightCornerWithinItsLimits) {
    const TViewRect normal = MinimapRect(640, 480);
    EXPECT_EQ(normal.Width, 160);
    EXPECT_EQ(normal.Height, 160);
    EXPECT_EQ(normal.Left + normal.Width, 632);
    EXPECT_EQ(normal.Top, 8);
    EXPECT_TRUE(normal.Contains(normal.Left, normal.Top));
    EXPECT_FALSE(normal.Contains(normal.Left + normal.Width, normal.Top));
    EXPECT_EQ(MinimapRect(178, 126).Width, 64);
    EXPECT_EQ(MinimapRect(1600, 1200).Width, 200);
}

class MinimapClick : public TGridTest {};

TEST_F(MinimapClick, MovesTheFreeCameraKeepingItsHeightWhenNotFollowing) {
    TViewState state = OnGrid({});
    state.Camera.TransY = -2.5f;
    SetTerrain(200, 100, 0.8f);
    const TViewResult result = MoveFreeCameraToCell(state, {200, 100});
    EXPECT_EQ(result.Redraw, TRedraw::Full);
    EXPECT_EQ(CameraCell(state.Camera), (TGridCell{200, 100}));
    EXPECT_EQ(state.Camera.TransY, -2.5f);
}

TEST_F(MinimapClick, KeepsTheHeightAboveTheGroundWhenFollowing) {
    TViewState state = OnGrid({});
    state.FollowGroundBoxes = false;
    state.FollowWater = false;
    state.FollowTerrain = true;
    state.HeightAboveGround = 0.3;
    SetTerrain(200, 100, 0.8f);
    MoveFreeCameraToCell(state, {200, 100});
    EXPECT_NEAR(state.HeightAboveGround, 0.3, 1e-12);
    EXPECT_NEAR(EyeHeight(state), 1.1, 1e-5);
    EXPECT_NEAR(-state.Camera.TransY, 1.1, 1e-5);
}

TEST_F(MinimapClick, InTheMapViewTheSavedFreeCameraMoves) {
    TViewState state = OnGrid({});
    ToggleMapView(state);
    const TCameraPos map = state.Camera;
    MoveFreeCameraToCell(state, {10, 250});
    EXPECT_EQ(state.Camera.TransX, map.TransX);
    ToggleMapView(state);
    EXPECT_EQ(CameraCell(state.Camera), (TGridCell{10, 250}));
}

class MinimapPicture : public TGridTest {};

TEST_F(MinimapPicture, HasOnePixelPerCellWithRow255AtTheTopAndWaterInBlue) {
    TTrackData& track = Track();
    track.WaterHeight = 0.1f;
    for (int column = 0; column < kGridSize; ++column) {
        SetTerrain(255, column, 0.9f); // the top line is high land
    }
    const TMinimapPicture picture = MakeMinimapPicture(track);
    ASSERT_EQ(picture.Size, 256);
    ASSERT_EQ(picture.Rgba.size(), 256u * 256u * 4u);
    const auto pixel = [&](int x, int y) { return &picture.Rgba[(y * 256 + x) * 4]; };
    // Top line: land, more red than blue. A middle line (terrain 0 under water 0.1): blue.
    EXPECT_GT(pixel(50, 0)[0], pixel(50, 0)[2]);
    EXPECT_GT(pixel(50, 128)[2], pixel(50, 128)[0]);
    EXPECT_EQ(pixel(50, 128)[3], 255);
    track.WaterHeight = 0;
}

TEST(OverlayText, NamesFrameRateCameraCellAndViewDistance) {
    TViewState state;
    MoveFreeCameraToCell(state, {127, 130});
    EXPECT_EQ(OverlayLines(59.84, 12.46, state.Camera, 50),
              (std::vector<std::string>{"FPS 59.8 (12.5 ms)", "Cell 127, 130", "View 50"}));
    EXPECT_EQ(OverlayLines(0, 3, state.Camera, 255)[0], "FPS -");
}

} // namespace
