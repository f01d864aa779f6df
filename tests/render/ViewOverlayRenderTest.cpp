// The minimap and the overlay text drawn over a frame: where their pixels land, and that the GL
// state of the frame is left as it was.
#include "render/ViewOverlay.h"

#include "render/GLContext.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 120;
constexpr int kHeight = 90;

// The pixel at (x, y) counted from the top left, as the window counts them.
std::array<uint8_t, 4> PixelAt(int x, int y) {
    std::array<uint8_t, 4> pixel{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    return pixel;
}

// A picture whose top half is red and bottom half blue.
TMinimapPicture TwoColourPicture() {
    TMinimapPicture picture;
    picture.Size = 4;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool top = y < 2;
            picture.Rgba.insert(picture.Rgba.end(),
                                {uint8_t(top ? 255 : 0), 0, uint8_t(top ? 0 : 255), 255});
        }
    }
    return picture;
}

class ViewOverlayRender : public ::testing::Test {
protected:
    void SetUp() override {
        context = std::make_unique<THeadlessGLContext>(kWidth, kHeight);
        glClearColor(0, 1, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override {
        overlay.Release();
        context.reset();
    }

    TOverlayFrame Frame() const {
        TOverlayFrame frame;
        frame.ViewWidth = kWidth;
        frame.ViewHeight = kHeight;
        return frame;
    }

    std::unique_ptr<THeadlessGLContext> context;
    TViewOverlayRender overlay;
};

TEST_F(ViewOverlayRender, TheMinimapFillsItsSquareTopRowsAtTheTop) {
    overlay.UploadMinimap(TwoColourPicture());
    ASSERT_TRUE(overlay.HasMinimap());
    TOverlayFrame frame = Frame();
    frame.ShowMinimap = true;
    frame.Minimap = {70, 10, 40, 40};
    frame.Marker = {-100, -100, 0, -1}; // off the minimap
    overlay.Draw(frame);
    const auto top = PixelAt(90, 15);
    const auto bottom = PixelAt(90, 45);
    EXPECT_GT(top[0], 200);
    EXPECT_LT(top[2], 50);
    EXPECT_GT(bottom[2], 200);
    EXPECT_LT(bottom[0], 50);
    // Outside the square and its rim the frame stays.
    EXPECT_EQ(PixelAt(20, 60)[1], 255);
}

TEST_F(ViewOverlayRender, TheMarkerIsDrawnWhereTheCameraIs) {
    overlay.UploadMinimap(TwoColourPicture());
    TOverlayFrame frame = Frame();
    frame.ShowMinimap = true;
    frame.Minimap = {20, 10, 60, 60};
    frame.Marker = {30, 40, 0, -1};
    overlay.Draw(frame);
    const auto marker = PixelAt(50, 49);
    // Red-orange over the blue half.
    EXPECT_GT(marker[0], 200);
    EXPECT_LT(marker[2], 100);
}

TEST_F(ViewOverlayRender, TheTextPictureIsCopiedWithItsTopRowAtTheTop) {
    std::vector<uint8_t> rgba;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            rgba.insert(rgba.end(), {uint8_t(y == 0 ? 255 : 0), 0, uint8_t(y == 0 ? 0 : 255), 255});
        }
    }
    TOverlayFrame frame = Frame();
    frame.Text = {6, 4, rgba.data()};
    frame.TextLeft = 5;
    frame.TextTop = 7;
    overlay.Draw(frame);
    EXPECT_EQ(PixelAt(6, 7), (std::array<uint8_t, 4>{255, 0, 0, 255}));
    EXPECT_EQ(PixelAt(6, 9), (std::array<uint8_t, 4>{0, 0, 255, 255}));
    EXPECT_EQ(PixelAt(6, 11)[1], 255);
}

TEST_F(ViewOverlayRender, LeavesTheFrameStateAsItWas) {
    overlay.UploadMinimap(TwoColourPicture());
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    glMatrixMode(GL_MODELVIEW);
    TOverlayFrame frame = Frame();
    frame.ShowMinimap = true;
    frame.Minimap = {10, 10, 30, 30};
    overlay.Draw(frame);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_FLOAT_EQ(projection[12], 1);
    EXPECT_FLOAT_EQ(projection[14], 3);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ViewOverlayRender, WithoutAMinimapOrTextNothingIsDrawn) {
    TOverlayFrame frame = Frame();
    frame.ShowMinimap = true; // no picture uploaded yet
    frame.Minimap = {0, 0, kWidth, kHeight};
    overlay.Draw(frame);
    EXPECT_EQ(PixelAt(60, 45), (std::array<uint8_t, 4>{0, 255, 0, 255}));
}

} // namespace
