// The picker against the frame itself: from cameras turned every way, the ray of each pixel meets
// what the frame drew in that pixel.
#include "core/view/Pick.h"
#include "render/PickScene.h"
#include "tests/render/FrameFixture.h"

namespace {

class PickTest : public BothRenderersFrameTest {};

// What the frame draws for each kind of hit below.
constexpr TRgb kDark{40, 40, 40};
constexpr TRgb kLight{120, 120, 120};
constexpr TRgb kBox{200, 40, 40};
constexpr TRgb kObject{255, 255, 255};

bool Near(const TRgb& a, const TRgb& b) {
    return std::abs(a.r - b.r) <= 3 && std::abs(a.g - b.g) <= 3 && std::abs(a.b - b.b) <= 3;
}

TEST_P(PickTest, EveryPixelsRayMeetsWhatTheFrameDrewThereFromAnyCamera) {
    const GLuint dark = SolidTexture(kDark.r, kDark.g, kDark.b);
    const GLuint light = SolidTexture(kLight.r, kLight.g, kLight.b);
    for (int r = 108; r < 148; ++r) {
        for (int c = 108; c < 148; ++c) {
            FillTerrainCell(r, c, 0, 1, (r + c) % 2 == 0 ? dark : light);
        }
    }
    FillGroundBox(131, 126, 0, 0.25f, SolidTexture(kBox.r, kBox.g, kBox.b));
    // A square 0.2 world units wide, 0.15 above the cell (125, 130).
    StoreQuadModel("MODELS\\BOX.BIN", 13107, 0);
    auto object = std::make_unique<TQRXBox>();
    object->X = 130.5 * 32;
    object->Z = 125.5 * 32;
    object->Y = 0.15 * 510;
    object->Theta = 0.3;
    object->ModelName = "MODELS\\BOX.BIN";
    render_.DrawListForLoad().Add(object.get());
    Track().TrackObjects.push_back(std::move(object));
    Track().BoxCount = 1;
    view_.Display.ObjectsMode = 2;
    view_.ViewDistance = 20;

    const TCameraPos cameras[] = {{0.1f, -0.6f, -0.2f, 50, 30, 15, 70},
                                  {-0.3f, -0.35f, 0.1f, 35, 200, -20, 50},
                                  {0, -1.2f, 0, 90, 90, 0, 90}};
    int kinds[6] = {};
    for (const TCameraPos& camera : cameras) {
        view_.Camera = camera;
        Render();
        const TPickScene scene = FramePickScene(render_, view_);
        int sampled = 0;
        int agreeing = 0;
        for (int y = 1; y < kViewSize; y += 3) {
            for (int x = 1; x < kViewSize; x += 3) {
                const TPickHit hit = Pick(scene, PickRay(view_, kViewSize, kViewSize, x, y));
                TRgb expected{0, 0, 0};
                if (hit.Kind == TPickKind::Terrain) {
                    expected = (hit.Row + hit.Column) % 2 == 0 ? kDark : kLight;
                } else if (hit.Kind == TPickKind::GroundBox) {
                    expected = kBox;
                    EXPECT_EQ(hit.Row * 1000 + hit.Column, 131126);
                } else if (hit.Kind == TPickKind::Object) {
                    expected = kObject;
                    EXPECT_EQ(hit.ObjectIndex, 0);
                }
                ++kinds[static_cast<int>(hit.Kind)];
                ++sampled;
                // Rows count from the top for the picker, from the bottom for GL.
                agreeing += Near(PixelAt(x, kViewSize - 1 - y), expected) ? 1 : 0;
            }
        }
        // Pixels whose centre lies on an edge between two cells may go either way.
        EXPECT_GE(agreeing, sampled * 95 / 100) << "camera heading " << camera.Heading;
    }
    EXPECT_GT(kinds[static_cast<int>(TPickKind::Terrain)], 0);
    EXPECT_GT(kinds[static_cast<int>(TPickKind::GroundBox)], 0);
    EXPECT_GT(kinds[static_cast<int>(TPickKind::Object)], 0);
}

INSTANTIATE_TEST_SUITE_P(Renderers, PickTest,
                         ::testing::Values(TRendererKind::Reference, TRendererKind::Prepared),
                         RendererName);

} // namespace
