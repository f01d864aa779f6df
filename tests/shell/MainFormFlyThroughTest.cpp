// Fly-throughs from the main window's menus: playing the edited keyframes with Space and Esc,
// saving and loading them, and recording them to files.
#include "tests/shell/MainFormFixture.h"

#include <QAction>
#include <QTest>

#include <filesystem>

namespace {

class MainFormFlyThroughTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        Start();
        EXPECT_FALSE(form->Action(TMainAction::PlayFlyThrough)->isEnabled());
        EXPECT_FALSE(form->Action(TMainAction::RecordFlyThrough)->isEnabled());
        OpenAndWait(WriteTracks("FLY.POD", {TTrackFixture{}}));
        ASSERT_TRUE(form->Action(TMainAction::PlayFlyThrough)->isEnabled());
        ASSERT_TRUE(form->Action(TMainAction::RecordFlyThrough)->isEnabled());
    }

    TCameraPos& Camera() { return form->Session().View().Camera; }

    // Keyframes at x = 1 and x = 5 (the short way round the wrapping world), then the camera left
    // somewhere else.
    void AddTwoKeyframesAndMoveAway() {
        Camera() = TCameraPos{};
        Camera().TransX = 1;
        Camera().TransZ = 2;
        Choose(*form, TMainAction::AddKeyframe);
        Camera().TransX = 5;
        Choose(*form, TMainAction::AddKeyframe);
        Camera().TransX = -5;
        Camera().TransZ = 7;
        Camera().Heading = 30;
    }

    std::string FlyThroughLine() const {
        const std::vector<std::string> lines = form->TrackView().OverlayText();
        return lines.back().rfind("Fly-through", 0) == 0 ? lines.back() : std::string();
    }
};

TEST_F(MainFormFlyThroughTest, PlaysTheKeyframesPausesOnSpaceAndEscPutsTheCameraBack) {
    AddTwoKeyframesAndMoveAway();
    const int framesBefore = form->TrackView().FramesDrawn();
    Choose(*form, TMainAction::PlayFlyThrough);

    // Between the keyframes, on its way from the first to the second, drawing as it goes.
    WaitUntil([&] {
        return Camera().TransX > 1.01f && form->TrackView().FramesDrawn() > framesBefore + 2;
    });
    EXPECT_GT(Camera().TransX, 1.0f);
    EXPECT_LT(Camera().TransX, 5.0f);
    EXPECT_NEAR(Camera().TransZ, 2.0f, 1e-3);
    EXPECT_EQ(FlyThroughLine().rfind("Fly-through 0:", 0), 0u) << FlyThroughLine();

    QTest::keyPress(form.get(), Qt::Key_Space);
    EXPECT_NE(FlyThroughLine().find("(paused)"), std::string::npos) << FlyThroughLine();
    const float pausedAt = Camera().TransX;
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(Camera().TransX, pausedAt);
    QTest::keyPress(form.get(), Qt::Key_Space);
    WaitUntil([&] { return Camera().TransX > pausedAt; });
    EXPECT_GT(Camera().TransX, pausedAt);

    QTest::keyPress(form.get(), Qt::Key_Escape);
    EXPECT_EQ(Camera().TransX, -5.0f);
    EXPECT_EQ(Camera().TransZ, 7.0f);
    EXPECT_EQ(Camera().Heading, 30.0f);
    EXPECT_EQ(FlyThroughLine(), "");
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(Camera().TransX, -5.0f);
    EXPECT_TRUE(dialogs->Errors.empty());
}

TEST_F(MainFormFlyThroughTest, SavedKeyframesLoadAgainAsTheyWere) {
    AddTwoKeyframesAndMoveAway();
    const std::string saved = dir.Path() + "lap.txt";
    dialogs->SaveFileAnswer = saved;
    Choose(*form, TMainAction::SaveCameraPath);
    const std::string text = ReadFileBytes(saved);
    EXPECT_NE(text.find("\n1.00 "), std::string::npos) << text;
    EXPECT_NE(text.find("\n5.00 "), std::string::npos) << text;

    // Nothing to save once cleared: said so, and no file.
    Choose(*form, TMainAction::ClearKeyframes);
    dialogs->SaveFileAnswer = dir.Path() + "none.txt";
    Choose(*form, TMainAction::SaveCameraPath);
    EXPECT_EQ(dialogs->Errors.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "none.txt"));

    // Loaded, one more added and removed again: the same path as saved.
    dialogs->OpenFileAnswer = saved;
    Choose(*form, TMainAction::LoadCameraPath);
    Choose(*form, TMainAction::AddKeyframe);
    Choose(*form, TMainAction::RemoveLastKeyframe);
    dialogs->SaveFileAnswer = dir.Path() + "again.txt";
    Choose(*form, TMainAction::SaveCameraPath);
    EXPECT_EQ(ReadFileBytes(dir.Path() + "again.txt"), text);

    // A file that is no path leaves the keyframes as they were.
    WriteFileBytes(dir.Path() + "junk.txt", "not a keyframe\n");
    dialogs->OpenFileAnswer = dir.Path() + "junk.txt";
    Choose(*form, TMainAction::LoadCameraPath);
    EXPECT_EQ(dialogs->Errors.size(), 2u);
    dialogs->SaveFileAnswer = dir.Path() + "kept.txt";
    Choose(*form, TMainAction::SaveCameraPath);
    EXPECT_EQ(ReadFileBytes(dir.Path() + "kept.txt"), text);
}

TEST_F(MainFormFlyThroughTest, PathsAndRecordingsAreProposedWhereTheLastOfTheirKindWent) {
    AddTwoKeyframesAndMoveAway();
    const std::string paths = dir.MakeDir("paths");
    dialogs->SaveFileAnswer = paths + "/lap.txt";
    Choose(*form, TMainAction::SaveCameraPath);
    ASSERT_TRUE(dialogs->Errors.empty()) << dialogs->Errors.front();
    dialogs->SaveFileAnswer.reset();
    Choose(*form, TMainAction::SaveCameraPath);
    Choose(*form, TMainAction::SaveMapPicture);
    dialogs->RecordAnswer = TRecordChoice{};
    Choose(*form, TMainAction::RecordFlyThrough);

    ASSERT_EQ(dialogs->SaveFileRequests.size(), 4u);
    EXPECT_EQ(
        dialogs->SaveFileRequests[1].rfind("Save camera path|" + paths + "/Test Track.txt|", 0), 0u)
        << dialogs->SaveFileRequests[1];
    EXPECT_EQ(dialogs->SaveFileRequests[2].find(paths), std::string::npos)
        << "a map picture is no camera path: " << dialogs->SaveFileRequests[2];
    EXPECT_EQ(dialogs->SaveFileRequests[3].find(paths), std::string::npos)
        << "nor is a recording: " << dialogs->SaveFileRequests[3];
}

TEST_F(MainFormFlyThroughTest, RecordWritesEveryFrameOfTheChosenPathAndLeavesTheCamera) {
    AddTwoKeyframesAndMoveAway();
    TRecordChoice choice;
    choice.Source = TFlyThroughSource::EditedPath;
    choice.Settings = TRecordSettings{"", 32, 24, 4, 0.5};
    dialogs->RecordAnswer = choice;
    dialogs->SaveFileAnswer = dir.Path() + "frames/";
    Choose(*form, TMainAction::RecordFlyThrough);

    ASSERT_TRUE(dialogs->Errors.empty()) << dialogs->Errors.front();
    ASSERT_EQ(dialogs->RecordOffers.size(), 1u);
    EXPECT_FALSE(dialogs->RecordOffers[0].first); // no saved location on this track
    EXPECT_TRUE(dialogs->RecordOffers[0].second);
    for (const char* frame : {"frame00000.png", "frame00001.png"}) {
        const std::string png = ReadFileBytes(dir.Path() + "frames/" + frame);
        ASSERT_GT(png.size(), 24u) << frame;
        EXPECT_EQ(static_cast<unsigned char>(png[19]), 32u) << frame; // the width in the header
        EXPECT_EQ(static_cast<unsigned char>(png[23]), 24u) << frame;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "frames/frame00002.png"));
    EXPECT_EQ(Camera().TransX, -5.0f);
    EXPECT_EQ(Camera().Heading, 30.0f);
}

} // namespace
