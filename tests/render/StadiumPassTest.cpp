#include "render/StadiumPass.h"

#include "core/track/QRXBox.h"
#include "tests/render/FrameFixture.h"

#include <memory>

namespace {

class StadiumTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        Track().Stadium = std::make_unique<TQRXBox>();
        Track().Stadium->ModelName = "MODELS\\STADIUM.BIN";
        Track().Stadium->Y = -1;
    }
};

TEST_F(StadiumTest, TheFrameDrawsTheStadiumWhereTheLoadPutItWithoutMovingIt) {
    TTrackData& track = Track();
    track.StadiumX = 100;
    track.StadiumSX = 21;
    track.StadiumZ = 50;
    track.StadiumSZ = 10;
    track.TerrainVertices[45][90].y = 0.25f;
    LookDown(1);
    track.StadiumFlag = 1;
    view_.MapView = true;
    Render();
    EXPECT_EQ(track.Stadium->Y, -1);
    EXPECT_DOUBLE_EQ(StadiumGroundHeight(track), 128);
    track.Stadium.reset();
    EXPECT_NO_THROW(Render());
}

TEST_F(StadiumTest, ARectangleReachingPastTheGridTakesTheHeightOfTheNearestEdgePoint) {
    TTrackData& track = Track();
    track.StadiumZ = 2;
    track.StadiumSZ = 11; // corner row -3
    track.StadiumX = 300;
    track.StadiumSX = 0; // corner column 300
    track.TerrainVertices[0][255].y = 0.5f;
    EXPECT_DOUBLE_EQ(StadiumGroundHeight(track), 256);

    track.StadiumZ = 300;
    track.StadiumSZ = 0; // corner row 300
    track.StadiumX = 2;
    track.StadiumSX = 11; // corner column -3
    track.TerrainVertices[255][0].y = 0.125f;
    EXPECT_DOUBLE_EQ(StadiumGroundHeight(track), 64);
}

} // namespace
