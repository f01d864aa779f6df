#include "shell/dialogs/FormRecordFlyThrough.h"

#include "core/view/CameraPath.h"
#include "render/FrameRender.h"
#include "render/RenderContext.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QTimer>

#include <filesystem>

namespace {

// A GL context of the window system, as the viewer has, current on an offscreen surface.
class FormRecordFlyThroughTest : public ::testing::Test {
protected:
    void SetUp() override {
        surface_.create();
        ASSERT_TRUE(context_.create());
        ASSERT_TRUE(context_.makeCurrent(&surface_));
        InitGLState();
    }
    void TearDown() override { context_.doneCurrent(); }

    static TCameraPath Path() {
        TCameraKeyframe a;
        TCameraKeyframe b;
        b.Camera.TransX = 1;
        return TCameraPath({a, b}, 1.0);
    }

    QOffscreenSurface surface_;
    QOpenGLContext context_;
    TTempDir dir_;
    TRenderContext render_;
};

uint32_t BigEndian(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        value = value * 256 + static_cast<uint8_t>(bytes.at(at + i));
    }
    return value;
}

TEST_F(FormRecordFlyThroughTest, RecordsEveryFrameOffScreenAtTheChosenSize) {
    const TRecordSettings settings{dir_.Path() + "frames/", 40, 30, 4, 1.0};
    TFormRecordFlyThrough form(nullptr);
    ASSERT_TRUE(form.Record(render_, TViewState{}, Path(), settings));
    EXPECT_EQ(form.maximum(), 4);
    EXPECT_EQ(form.value(), 4);
    EXPECT_EQ(form.labelText(), "Recording frame 4 of 4, 0:00 left");
    for (int n = 0; n < 4; ++n) {
        const std::string png =
            ReadFileBytes(dir_.Path() + "frames/frame0000" + std::to_string(n) + ".png");
        EXPECT_EQ(BigEndian(png, 16), 40u) << n; // the width and height in the header
        EXPECT_EQ(BigEndian(png, 20), 30u) << n;
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.Path() + "frames/frame00004.png"));
}

TEST_F(FormRecordFlyThroughTest, CancellingLeavesNothingUnderTheChosenName) {
    const TRecordSettings settings{dir_.Path() + "fly.mp4", 64, 32, 30, 10.0};
    TFormRecordFlyThrough form(nullptr);
    // Runs once the form lets events run, as a click on its button would.
    QTimer::singleShot(0, &form, &QProgressDialog::cancel);
    EXPECT_FALSE(form.Record(render_, TViewState{}, Path(), settings));
    EXPECT_LE(form.value(), 1); // stopped after the frame being drawn
    EXPECT_FALSE(std::filesystem::exists(settings.Output));
    EXPECT_FALSE(std::filesystem::exists(settings.Output + ".part"));
}

} // namespace
