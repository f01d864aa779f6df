// The 3D view on its own, without the main window: a host that records what the view tells it
// stands in for the window.
#include "tests/shell/MainFormFixture.h"

#include "core/base/Feedback.h"
#include "core/vfs/PodFile.h"
#include "render/FrameRender.h"
#include "render/TrackLoader.h"
#include "shell/TrackView.h"

#include <QKeyEvent>
#include <QTest>

namespace {

class TRecordingViewHost : public TTrackViewHost {
public:
    void Beep() override { ++Beeps; }
    void ShowErrorText(const std::string& text) override { Errors.push_back(text); }
    void PositionChanged() override { ++PositionChanges; }
    void ShowDrawStatus(const std::string& text) override { DrawStatuses.push_back(text); }
    bool RunShortcut(const QKeyEvent* event) override {
        ShortcutKeys.push_back(event->key());
        return TakeShortcuts;
    }
    bool AcceptDrop(QDropEvent*) override { return false; }

    int Beeps = 0;
    std::vector<std::string> Errors;
    int PositionChanges = 0;
    std::vector<std::string> DrawStatuses;
    std::vector<int> ShortcutKeys;
    bool TakeShortcuts = false;
};

// The fixture's program folder and archives, with a view of its own instead of the window.
class TrackViewTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        session = std::make_unique<TTrackSession>(IniPath());
        view = std::make_unique<TTrackView>(*session, host, nullptr);
        view->resize(400, 300);
        view->PrepareDrawing();
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get(), kPatienceMs));
    }
    void TearDown() override {
        view.reset();
        session.reset();
        MainFormTest::TearDown();
    }

    // Loads the archive's only track as the window's open does and waits for its first frame.
    void OpenAndWaitForAFrame(const std::string& archivePath) {
        session->UseArchive(TPodFile(archivePath));
        const std::optional<std::string> chosen =
            session->ChooseTrack([](const TStringList&) { return 0; });
        ASSERT_TRUE(chosen);
        view->MakeContextCurrent();
        TQuietProgress progress;
        TRenderTrackLoader loader(view->Render());
        const TViewResult placed = session->OpenTrack(*chosen, progress, loader);
        view->UploadMinimap();
        view->ShowOpenedTrack(placed);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view->ViewWindow(), kPatienceMs));
        WaitUntil([this] { return view->FramesDrawn() > 0; });
        ASSERT_GT(view->FramesDrawn(), 0);
    }

    TRecordingViewHost host;
    std::unique_ptr<TTrackSession> session;
    std::unique_ptr<TTrackView> view;
};

TEST_F(TrackViewTest, KeysOverTheViewGoToTheHostsShortcutsFirstAndALimitBeepsThroughTheHost) {
    OpenAndWaitForAFrame(WriteTracks("VIEW.POD", {TTrackFixture{}}));
    EXPECT_TRUE(host.Errors.empty()) << host.Errors.front();
    EXPECT_GT(host.PositionChanges, 0);
    ASSERT_FALSE(host.DrawStatuses.empty());
    EXPECT_EQ(host.DrawStatuses.back(), kReadyStatus);

    // The farthest view distance: one more step is refused with a beep.
    session->View().ViewDistance = 255;
    QTest::keyClick(view->ViewWindow(), Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(host.ShortcutKeys, std::vector<int>{Qt::Key_Plus});
    EXPECT_EQ(host.Beeps, 1);
    EXPECT_EQ(session->View().ViewDistance, 255);

    // A key the host's menu takes does nothing else in the view.
    host.TakeShortcuts = true;
    QTest::keyClick(view->ViewWindow(), Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(host.ShortcutKeys.size(), 2u);
    EXPECT_EQ(session->View().ViewDistance, 255);
    QTest::keyPress(view->ViewWindow(), Qt::Key_Up);
    EXPECT_FALSE(view->Flying());
    QTest::keyRelease(view->ViewWindow(), Qt::Key_Up);
    EXPECT_EQ(host.Beeps, 1);
}

} // namespace
