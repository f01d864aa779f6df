#include "render/WaterPass.h"

#include "tests/render/FrameFixture.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Vertices of a capture with the repeated ones (shared by neighbouring triangles) merged.
std::vector<TFeedbackVertex> DistinctVertices(const std::vector<TFeedbackPolygon>& polygons) {
    std::vector<TFeedbackVertex> distinct;
    for (const TFeedbackPolygon& polygon : polygons) {
        for (const TFeedbackVertex& vertex : polygon.vertices) {
            const bool known = std::any_of(distinct.begin(), distinct.end(), [&](const auto& v) {
                return std::abs(v.x - vertex.x) < 1e-4 && std::abs(v.z - vertex.z) < 1e-4;
            });
            if (!known) {
                distinct.push_back(vertex);
            }
        }
    }
    return distinct;
}

class WaterTest : public FrameTest {
protected:
    std::vector<TFeedbackPolygon> Water(int camCol, int camRow) {
        return CapturePolygons([&] { DrawWater(render_, gl_, view_, camCol, camRow); });
    }
};

TEST_F(WaterTest, TheRoundAreaIsAThirteenPointFanOfRadiusViewDistanceOver16) {
    view_.ViewDistance = 40;
    view_.Display.AreaShape = TAreaShape::Circle;
    const std::vector<TFeedbackPolygon> polygons = Water(100, 60);
    EXPECT_EQ(polygons.size(), 12u);
    const double xc = (60.5 - 128) / 16;
    const double zc = (100.5 - 128) / 16;
    const std::vector<TFeedbackVertex> vertices = DistinctVertices(polygons);
    ASSERT_EQ(vertices.size(), 13u);
    int centres = 0;
    bool north = false;
    bool east = false;
    for (const TFeedbackVertex& v : vertices) {
        const double radius = std::hypot(v.x - xc, v.z - zc);
        if (radius < 1e-4) {
            ++centres;
            EXPECT_NEAR(v.texCoord[0], 100.5, 1e-3);
            EXPECT_NEAR(v.texCoord[1], 60.5, 1e-3);
            continue;
        }
        EXPECT_NEAR(radius, 2.5, 1e-4);
        // Texture coordinates run d cells for every d / 16 world units, on the same angle.
        EXPECT_NEAR((v.texCoord[0] - 100.5) / 40, (v.x - xc) / 2.5, 1e-4);
        EXPECT_NEAR((v.texCoord[1] - 60.5) / 40, (v.z - zc) / 2.5, 1e-4);
        north = north || (std::abs(v.x - xc) < 1e-4 && v.z > zc);
        east = east || (std::abs(v.z - zc) < 1e-4 && v.x > xc);
    }
    EXPECT_EQ(centres, 1);
    EXPECT_TRUE(north && east) << "rim points are not 30 degrees apart from angle 0";
}

TEST_F(WaterTest, TheSquareAreaIsOneQuadOfHalfSideViewDistanceOver16) {
    view_.ViewDistance = 40;
    view_.Display.AreaShape = TAreaShape::Square;
    const std::vector<TFeedbackVertex> vertices = DistinctVertices(Water(100, 60));
    ASSERT_EQ(vertices.size(), 4u);
    const double xc = (60.5 - 128) / 16;
    const double zc = (100.5 - 128) / 16;
    for (const TFeedbackVertex& v : vertices) {
        EXPECT_NEAR(std::abs(v.x - xc), 2.5, 1e-4);
        EXPECT_NEAR(std::abs(v.z - zc), 2.5, 1e-4);
        EXPECT_NEAR(v.texCoord[0] - 100.5, (v.x - xc) * 16, 1e-3);
        EXPECT_NEAR(v.texCoord[1] - 60.5, (v.z - zc) * 16, 1e-3);
    }
}

TEST_F(WaterTest, HighTideLiftsTheSurfaceFromJustBelowToJustAboveTheWaterHeight) {
    view_.ViewDistance = 20;
    const auto heights = [&] {
        std::vector<double> ys;
        for (const TFeedbackVertex& v : DistinctVertices(Water(128, 128))) {
            ys.push_back(v.y);
        }
        return ys;
    };
    // A track without a water key still shows water.
    Track().WaterHeight = 0;
    for (const double y : heights()) {
        EXPECT_NEAR(y, -0.00078125, 1e-6);
    }
    view_.Display.HighTide = true;
    for (const double y : heights()) {
        EXPECT_NEAR(y, 0.00078125, 1e-6);
    }
    Track().WaterHeight = 0.25f;
    for (const double y : heights()) {
        EXPECT_NEAR(y, 0.25 + 0.00078125, 1e-6);
    }
}

TEST_F(WaterTest, TheWaterColourIsTintedAndCarriesTheWaterAlphaThenBlendingIsOff) {
    view_.ViewDistance = 20;
    view_.Display.GlobalTint = {0.3f, 0.3f, 0.3f};
    view_.WaterColor = {100 / 255.0f, 120 / 255.0f, 150 / 255.0f, 220 / 255.0f};
    gl_.Bind(static_cast<int32_t>(SolidTexture(0, 0, 0)));
    const std::vector<TFeedbackPolygon> polygons = Water(128, 128);
    ASSERT_FALSE(polygons.empty());
    for (const TFeedbackPolygon& polygon : polygons) {
        for (const TFeedbackVertex& v : polygon.vertices) {
            EXPECT_NEAR(v.color[0], 0.3 * 100 / 255, 2e-3);
            EXPECT_NEAR(v.color[1], 0.3 * 120 / 255, 2e-3);
            EXPECT_NEAR(v.color[2], 0.3 * 150 / 255, 2e-3);
            EXPECT_NEAR(v.color[3], 220.0 / 255, 2e-3);
        }
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(gl_.BoundTexture(), render_.WaterTexture());
}

TEST_F(WaterTest, OnlyHighTideWaterShowsOverGroundAtTheWaterHeightAndItIsBlended) {
    const GLuint texture = SolidTexture(255, 0, 0);
    for (int row = 110; row < 146; ++row) {
        for (int column = 110; column < 146; ++column) {
            FillTerrainCell(row, column, 0, 1, texture);
        }
    }
    view_.ViewDistance = 20;
    view_.WaterColor = {0, 0, 1, 128 / 255.0f};
    view_.Display.ShowWater = true;
    LookDown(1);
    Render();
    ExpectColorNear(PixelAt(32, 32), {255, 0, 0});

    view_.Display.HighTide = true;
    Render();
    ExpectColorNear(PixelAt(32, 32), {127, 0, 128});

    view_.Display.ShowWater = false;
    Render();
    ExpectColorNear(PixelAt(32, 32), {255, 0, 0});
}

} // namespace
