#include "shell/FlyThroughPlayer.h"

#include "core/base/Errors.h"
#include "tests/support/ShellTestSupport.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

namespace {

class TRecordingHost : public TFlyThroughHost {
public:
    TViewState& FlyThroughView() override { return View; }
    void ApplyFlyThrough(const TViewResult& result) override {
        if (result.Redraw == TRedraw::Full && View.FullFrame) {
            ++FullFrames;
        }
    }
    void ShowFlyThroughText(const std::string& text) override { Text = text; }

    TViewState View;
    int FullFrames = 0;
    std::string Text;
};

TCameraPath ShortPath(double seconds) {
    TCameraKeyframe a;
    a.Camera.TransX = 1;
    TCameraKeyframe b;
    b.Camera.TransX = 2;
    return TCameraPath({a, b}, seconds);
}

class FlyThroughPlaying : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        host.View.Camera.TransX = -5;
    }
    TRecordingHost host;
    TFlyThroughPlayer player{host};
};

TEST_F(FlyThroughPlaying, PlaysFrameAfterFrameUntilTheEndAndPutsTheCameraBack) {
    player.Play(ShortPath(0.3));
    EXPECT_TRUE(player.Active());
    WaitUntil([&] { return !player.Active(); });
    EXPECT_FALSE(player.Active());
    EXPECT_GE(host.FullFrames, 2); // at least the first frame and the camera put back
    EXPECT_EQ(host.View.Camera.TransX, -5);
    EXPECT_EQ(host.Text, "");
    EXPECT_FALSE(player.KeyPress(Qt::Key_Space)); // the keys are the viewer's again
}

TEST_F(FlyThroughPlaying, SpacePausesAndEscapeStops) {
    player.Play(ShortPath(60));
    WaitUntil([&] { return host.FullFrames > 3; }); // frames with objects, one after the other
    ASSERT_GT(host.FullFrames, 3);
    ASSERT_TRUE(player.KeyPress(Qt::Key_Space));
    EXPECT_TRUE(player.Paused());
    EXPECT_NE(host.Text.find("(paused)"), std::string::npos) << host.Text;
    const int frames = host.FullFrames;
    QCoreApplication::processEvents();
    EXPECT_EQ(host.FullFrames, frames); // nothing is drawn while paused
    ASSERT_TRUE(player.KeyPress(Qt::Key_Space));
    WaitUntil([&] { return host.FullFrames > frames; });
    EXPECT_GT(host.View.Camera.TransX, 0.99f);
    ASSERT_TRUE(player.KeyPress(Qt::Key_Escape));
    EXPECT_FALSE(player.Active());
    EXPECT_EQ(host.View.Camera.TransX, -5);
}

TEST(FlyThroughPlayer, EditsSavesAndLoadsThePath) {
    TestApplication();
    TRecordingHost host;
    TFlyThroughPlayer player(host);
    TTempDir dir;
    for (float x : {1.0f, 2.0f, 3.0f}) {
        host.View.Camera.TransX = x;
        player.AddKeyframe(host.View);
    }
    player.RemoveLastKeyframe();
    const std::string file = dir.Path() + "path.txt";
    player.SavePath(file);
    player.ClearKeyframes();
    EXPECT_TRUE(player.Keyframes().empty());
    player.LoadPath(file);
    ASSERT_EQ(player.Keyframes().size(), 2u);
    EXPECT_EQ(player.Keyframes()[1].Camera.TransX, 2.0f);
    EXPECT_THROW(player.LoadPath(dir.WriteFile("bad.txt", "no keyframe\n")), EDunmereError);
    EXPECT_EQ(player.Keyframes().size(), 2u);
}

} // namespace
