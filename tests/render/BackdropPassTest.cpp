#include "render/BackdropPass.h"

#include "core/track/QRXBox.h"
#include "render/BINModel.h"
#include "render/BINStore.h"
#include "tests/render/FrameFixture.h"

#include <memory>
#include <string>

namespace {

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

} // namespace
