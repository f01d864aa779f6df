#include "render/SkyPass.h"

#include "core/track/SkyBoxes.h"
#include "render/BoxModel.h"
#include "tests/render/ModelFolderFixture.h"

namespace {

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

} // namespace
