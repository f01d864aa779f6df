#include "tests/render/FrameFixture.h"

#include "core/base/ProgramFolder.h"
#include "core/track/CheckpointMarkers.h"
#include "core/track/QRXBox.h"
#include "core/track/SkyBoxes.h"
#include "core/vfs/QRXFileFinder.h"
#include "render/BINModel.h"
#include "render/BINStore.h"
#include "render/BoxModel.h"
#include "render/SkyWater.h"
#include "tests/support/GameLoadSupport.h"
#include "tools/PodWriter.h"

#include <cmath>
#include <memory>
#include <string>
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

// Points the program folder at a temporary one for the finder's data folder.
class ModelFolderTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        oldFolder_ = ProgramFolder();
        SetProgramFolder(folder_.Path());
        folder_.MakeDir("data");
        BuildSearchFolders(finder_, {});
    }
    void TearDown() override {
        SetProgramFolder(oldFolder_);
        FrameTest::TearDown();
    }

    TTempDir folder_;
    std::string oldFolder_;
    TQRXFileFinder finder_;
    TStringList warnings_;
    TTestLoads loads_{finder_, warnings_};
};

class CheckpointMarkerTest : public ModelFolderTest {
protected:
    TQRXBox* AddBox(double x, double z, const std::string& typeFlags) {
        auto box = std::make_unique<TQRXBox>();
        box->X = x;
        box->Y = x / 10;
        box->Z = z;
        box->Theta = x / 1000;
        box->Phi = z / 1000;
        box->Psi = (x + z) / 1000;
        box->TypeFlags = typeFlags;
        box->ModelName = "MODELS\\CHECK.BIN";
        Track().TrackObjects.push_back(std::move(box));
        return Track().TrackObjects.back().get();
    }
};

TEST_F(CheckpointMarkerTest, EveryCheckpointAmongTheBoxesGetsAMarkerButTopCrushObjectsDoNot) {
    folder_.WriteFile("data/DMGLCHK.BIN", QuadModelBytes(1000, 0));
    TTrackData& track = Track();
    AddBox(100, 200, "6,0");
    AddBox(300, 400, "7,0");
    AddBox(500, 600, "6,0");
    AddBox(700, 800, "6,1");
    AddBox(900, 1000, "6,0");
    AddBox(1100, 1200, "6,0"); // top-crush body
    AddBox(1300, 1400, "7,0"); // top-crush cab
    track.BoxCount = 5;
    track.TopCrushCount = 1;

    LoadModels(render_, MakeCheckpointMarkers(Track()), loads_.For(nullptr));

    EXPECT_EQ(track.CheckpointMarkerCount, 3);
    ASSERT_EQ(track.TrackObjects.size(), 10u);
    const int checkpoints[3] = {0, 2, 4};
    for (int i = 0; i < 3; ++i) {
        const TQRXBox& source = *track.TrackObjects[checkpoints[i]];
        const TQRXBox& marker = *track.TrackObjects[7 + i];
        EXPECT_TRUE(marker.IsCheckpointMarker);
        EXPECT_FALSE(source.IsCheckpointMarker);
        EXPECT_EQ(marker.TypeFlags, "0;0");
        EXPECT_EQ(marker.ModelName, "DMGLCHK.BIN");
        EXPECT_EQ(marker.X, source.X);
        EXPECT_EQ(marker.Y, source.Y);
        EXPECT_EQ(marker.Z, source.Z);
        EXPECT_EQ(marker.Theta, source.Theta);
        EXPECT_EQ(marker.Phi, source.Phi);
        EXPECT_EQ(marker.Psi, source.Psi);
    }
    EXPECT_NE(render_.Models().FindBINModel("DMGLCHK.BIN"), nullptr);
    EXPECT_TRUE(warnings_.empty());
}

TEST_F(CheckpointMarkerTest, AMissingMarkerModelIsWarnedOnceAndABoxCountBeyondTheObjectsIsSafe) {
    AddBox(100, 200, "6,0");
    AddBox(300, 400, "6,0");
    Track().BoxCount = 40;
    Track().CheckpointMarkerCount = 7;

    LoadModels(render_, MakeCheckpointMarkers(Track()), loads_.For(nullptr));

    EXPECT_EQ(Track().CheckpointMarkerCount, 2);
    EXPECT_EQ(Track().TrackObjects.size(), 4u);
    EXPECT_EQ(warnings_, TStringList{"Error: BIN Model \"DMGLCHK.BIN\" not found"});
}

class SkyBoxTest : public ModelFolderTest {};

TEST_F(SkyBoxTest, SkyBoxesAreMadeInTheirOrderAndServeTheirSkyTypes) {
    folder_.WriteFile("data/SKYBOX_CCLOUDS.BIN", QuadModelBytes(50, -6));
    LoadModels(render_, MakeSkyBoxes(Track()), loads_.For(nullptr));

    const TStringList expectedWarnings{"Error: BIN Model \"SKYBOX_CLOUDY2.BIN\" not found",
                                       "Error: BIN Model \"SKYBOX_DUSKSKY.BIN\" not found",
                                       "Error: BIN Model \"SKYBOX_NITESKY.BIN\" not found"};
    EXPECT_EQ(warnings_, expectedWarnings);
    const char* names[5] = {nullptr, "SKYBOX_CLOUDY2.BIN", "SKYBOX_CCLOUDS.BIN",
                            "SKYBOX_DUSKSKY.BIN", "SKYBOX_NITESKY.BIN"};
    EXPECT_EQ(SkyBoxFor(Track(), 0), nullptr);
    EXPECT_EQ(SkyBoxFor(Track(), 5), nullptr);
    for (int type = 1; type <= 4; ++type) {
        const TQRXBox* sky = SkyBoxFor(Track(), type);
        ASSERT_NE(sky, nullptr);
        EXPECT_EQ(sky->ModelName, names[type]);
        EXPECT_EQ(sky->X, 4100.0);
        EXPECT_EQ(sky->Y, 0.0);
        EXPECT_EQ(sky->Z, 4200.0);
        EXPECT_EQ(sky->Theta + sky->Phi + sky->Psi, 0.0);
    }
}

TEST_F(SkyBoxTest, SkyTypeTwoDrawsTheCloudySkyInWhiteAroundTheShiftedEye) {
    // Scaled by 25000 / 131072 the square lies 1.14 units below the eye, 9.5 units each way.
    folder_.WriteFile("data/SKYBOX_CCLOUDS.BIN", QuadModelBytes(50, -6));
    LoadModels(render_, MakeSkyBoxes(Track()), loads_.For(nullptr));
    view_.Display.GlobalTint = {0.3f, 0.3f, 0.3f};
    LookDown(1);

    view_.Display.SkyType = 2;
    Render();
    ExpectColorNear(PixelAt(32, 32), {255, 255, 255});
    ExpectColorNear(PixelAt(2, 61), {255, 255, 255});

    view_.Display.SkyType = 1;
    Render();
    ExpectColorNear(PixelAt(32, 32), {0, 0, 0});

    // The shift is not scaled: 1 unit up the sky still lies below the eye, 3 units up above it.
    view_.Display.SkyType = 2;
    view_.BackgroundOffset = 1;
    Render();
    ExpectColorNear(PixelAt(32, 32), {255, 255, 255});
    view_.BackgroundOffset = 3;
    Render();
    ExpectColorNear(PixelAt(32, 32), {0, 0, 0});

    view_.BackgroundOffset = 0;
    view_.MapView = true;
    Render();
    ExpectColorNear(PixelAt(32, 32), {0, 0, 0});
}

class BackdropTest : public FrameTest {
protected:
    void AddBackdrop(int index, const std::string& modelName) {
        auto backdrop = std::make_unique<TQRXBox>();
        backdrop->X = 4100;
        backdrop->Z = 4200;
        backdrop->ModelName = modelName;
        Track().Backdrops[index] = std::move(backdrop);
    }
};

TEST_F(BackdropTest, BackdropsAreScaledToOneSizeAndNeverWithoutAnExtent) {
    auto model = std::make_unique<TBINModel>();
    model->Vertices = {{0, 0, 0}, {1005, 10, -3}};
    render_.ModelsForLoad().StoreBINModel(std::move(model), "MODELS\\HILLS.BIN");
    auto flat = std::make_unique<TBINModel>();
    flat->Vertices = {{7, 7, 7}};
    render_.ModelsForLoad().StoreBINModel(std::move(flat), "MODELS\\POINT.BIN");

    AddBackdrop(0, "MODELS\\HILLS.BIN");
    AddBackdrop(2, "models\\hills.bin ");
    EXPECT_NEAR(BackdropScale(render_, Track(), 0).value_or(0), 70000, 1e-6);
    EXPECT_FALSE(BackdropScale(render_, Track(), 1).has_value());
    EXPECT_NEAR(BackdropScale(render_, Track(), 2).value_or(0), 50000, 1e-6);
    AddBackdrop(1, "MODELS\\HILLS.BIN");
    EXPECT_NEAR(BackdropScale(render_, Track(), 1).value_or(0), 60000, 1e-6);

    AddBackdrop(1, "MODELS\\POINT.BIN");
    EXPECT_FALSE(BackdropScale(render_, Track(), 1).has_value());
    AddBackdrop(1, "MODELS\\MISSING.BIN");
    EXPECT_FALSE(BackdropScale(render_, Track(), 1).has_value());
    EXPECT_FALSE(BackdropScale(render_, Track(), 3).has_value());
    EXPECT_NO_THROW(DrawBackdrops(render_, view_));
}

TEST_F(BackdropTest, BackdropsAreDrawnInTheTintOnlyWhenShownAndNotInMapView) {
    // Extent 200: scale 100500 / 200 * 700, so the square lies 10.7 units below the eye.
    StoreQuadModel("MODELS\\HILLS.BIN", 100, -4);
    AddBackdrop(0, "MODELS\\HILLS.BIN");
    view_.Display.SkyType = 0;
    view_.Display.GlobalTint = {0.3f, 0.3f, 0.3f};
    LookDown(1);
    Render();
    ExpectColorNear(PixelAt(32, 32), {77, 77, 77});

    view_.Display.ShowBackdrop = false;
    Render();
    ExpectColorNear(PixelAt(32, 32), {0, 0, 0});

    view_.Display.ShowBackdrop = true;
    view_.MapView = true;
    Render();
    ExpectColorNear(PixelAt(32, 32), {0, 0, 0});
}

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
