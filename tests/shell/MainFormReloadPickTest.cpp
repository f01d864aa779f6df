// The main window's reload and pick: F5, "Reload when files change" with an archive rewritten
// under the running view, a half-written archive, picks by Ctrl+click and in pick mode, and the
// statistics of the track report.
#include "tests/shell/MainFormFixture.h"

#include "core/formats/GLBMP.h"
#include "core/settings/IniFile.h"
#include "core/view/Camera.h"
#include "render/ScreenGrab.h"
#include "shell/PickPanel.h"

#include <QAction>
#include <QDialog>
#include <QDockWidget>
#include <QTest>

#include <array>

namespace {

using TColour = std::array<int, 3>;

constexpr TColour kRed{220, 30, 30};
constexpr TColour kBlue{30, 30, 220};
constexpr TColour kBoxGrass{40, 160, 60}; // ground boxes take no light

class MainFormReloadPickTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        // Box 0 stands at the grid's centre, seen from the side in front of the ground box.
        track.BoxModels = {};
        track.MissingModels = {"RED.BIN", "RED.BIN"};
        track.BoxPlacements = {{"4096,0,4096", "0,0,0", "6,0"}, {"4096,0,64", "0,0,3.14"}};
        track.GroundBoxes = {{120, 132, 0, 51}};
        archive = dir.Path() + "RELOAD.POD";
        WriteTrack(kRed);
        Start();
        OpenAndWait(archive);
        LookAtBoxZero();
    }

    void WriteTrack(const TColour& boxColour) const {
        TPodWriter pod = track.Pod();
        pod.Add("MODELS\\RED.BIN", MakeBinQuad("RED.RAW"));
        pod.Add("ART\\RED.RAW", MakeRaw(16, 1));
        pod.Add("ART\\RED.ACT",
                MakeAct(1, static_cast<uint8_t>(boxColour[0]), static_cast<uint8_t>(boxColour[1]),
                        static_cast<uint8_t>(boxColour[2])));
        pod.Write(archive);
    }

    void LookAtBoxZero() {
        TViewState& view = form->Session().View();
        view.Camera = TCameraPos{};
        view.Camera.TransX = -0.6f;
        view.Camera.TransY = -0.25f;
        view.Camera.TransZ = -0.28f;
        view.Camera.Heading = 270;
        view.Camera.Tilt = 10;
        view.ViewDistance = 20;
        view.Display.SkyType = 0;
        view.Display.ShowWater = false;
        view.Display.ObjectsMode = 2;
        form->TrackView().RedrawView(true);
    }

    // The colour of the middle of the picture a screenshot takes.
    TColour MiddleColour() {
        form->Session().View().FullFrame = true;
        EXPECT_TRUE(form->TrackView().DrawFrame(false));
        TGLBMP image;
        GrabScreen(image);
        const size_t x = static_cast<size_t>(image.Width / 2);
        const size_t row = static_cast<size_t>(image.Height - 1 - image.Height / 2);
        const size_t at = (row * static_cast<size_t>(image.Width) + x) * 4;
        return {image.Pixels.at(at), image.Pixels.at(at + 1), image.Pixels.at(at + 2)};
    }

    static void ExpectColour(const TColour& actual, const TColour& expected) {
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(actual[i], expected[i], 4) << "channel " << i;
        }
    }

    // Waits until a reload has replaced the track shown now.
    [[nodiscard]] bool WaitForReload() {
        const TTrackData* before = &form->Session().Track();
        return QTest::qWaitFor([&] { return &form->Session().Track() != before; }, kPatienceMs);
    }

    void WatchFiles() {
        form->Action(TMainAction::ToggleReloadOnChange)->trigger();
        ASSERT_TRUE(form->Action(TMainAction::ToggleReloadOnChange)->isChecked());
    }

    void ExpectCameraKept() {
        const TCameraPos& camera = form->Session().View().Camera;
        EXPECT_FLOAT_EQ(camera.TransX, -0.6f);
        EXPECT_FLOAT_EQ(camera.TransZ, -0.28f);
        EXPECT_FLOAT_EQ(camera.Heading, 270);
        EXPECT_FLOAT_EQ(camera.Tilt, 10);
        EXPECT_EQ(form->Session().View().ViewDistance, 20);
        EXPECT_FALSE(form->Session().View().Display.ShowWater);
    }

    void ClickMiddle(Qt::KeyboardModifiers modifiers) {
        const TTrackView& view = form->TrackView();
        QTest::mouseClick(view.ViewWindow(), Qt::LeftButton, modifiers,
                          QPoint(view.width() / 2, view.height() / 2));
    }

    TPickPanel* Panel() const { return form->findChild<TPickPanel*>(QStringLiteral("PickPanel")); }

    TTrackFixture track;
    std::string archive;
};

TEST_F(MainFormReloadPickTest, ChangedFilesAreReloadedUnderTheRunningViewFromTheSameCamera) {
    ASSERT_FALSE(form->Action(TMainAction::ToggleReloadOnChange)->isChecked()) << "off at first";
    WatchFiles();
    EXPECT_EQ(TIniFile(IniPath()).ReadString("Preferences", "ReloadWhenFilesChange", ""), "Y");
    ExpectColour(MiddleColour(), kRed);
    const size_t messages = dialogs->Messages.size();

    // The box's texture is repainted.
    WriteTrack(kBlue);
    ASSERT_TRUE(WaitForReload());
    ExpectColour(MiddleColour(), kBlue);
    ExpectCameraKept();
    EXPECT_EQ(form->StatusText(2), QStringLiteral("Reloaded"));

    // The description moves the box away and renames the track: the ground box behind shows.
    track.TrackName = "Renamed Track";
    track.BoxPlacements[0].Position = "1000,0,1000";
    WriteTrack(kBlue);
    ASSERT_TRUE(WaitForReload());
    ExpectColour(MiddleColour(), kBoxGrass);
    ExpectCameraKept();
    EXPECT_TRUE(form->windowTitle().contains(QStringLiteral("Renamed Track")));
    EXPECT_EQ(dialogs->Messages.size(), messages) << "a reload on change shows no box";
    EXPECT_TRUE(dialogs->Errors.empty());

    // Remembered for the next run.
    Stop();
    Start();
    EXPECT_TRUE(form->Action(TMainAction::ToggleReloadOnChange)->isChecked());
}

TEST_F(MainFormReloadPickTest, AChangeWhileAModalDialogIsUpIsReloadedOnceItHasClosed) {
    WatchFiles();
    const TTrackData* shown = &form->Session().Track();
    bool toldToWait = false;
    bool keptUnderTheDialog = false;
    WhenModal<QDialog>([&](QDialog* dialog) {
        WriteTrack(kBlue);
        toldToWait = QTest::qWaitFor(
            [&] {
                return form->StatusText(2) ==
                       QStringLiteral("Reload waits for the dialog to close");
            },
            kPatienceMs);
        keptUnderTheDialog = &form->Session().Track() == shown;
        dialog->accept();
    });
    QDialog dialog(form.get());
    dialog.exec();
    EXPECT_TRUE(toldToWait);
    EXPECT_TRUE(keptUnderTheDialog);
    ASSERT_TRUE(WaitForReload());
    ExpectColour(MiddleColour(), kBlue);
    EXPECT_EQ(form->StatusText(2), QStringLiteral("Reloaded"));
}

TEST_F(MainFormReloadPickTest, AHalfWrittenArchiveKeepsTheOldTrackAndSaysSoInTheStatusBar) {
    WatchFiles();
    const TTrackData* shown = &form->Session().Track();
    const std::string whole = ReadFileBytes(archive);
    WriteFileBytes(archive, whole.substr(0, whole.size() / 2));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return form->StatusText(2).startsWith(QStringLiteral("Reload failed")); },
        kPatienceMs));
    EXPECT_TRUE(dialogs->Errors.empty()) << "no modal box for a reload on change";
    EXPECT_EQ(&form->Session().Track(), shown);
    ExpectColour(MiddleColour(), kRed);
    ExpectCameraKept();
    // Still usable: a view command draws.
    const int frames = form->TrackView().FramesDrawn();
    form->Action(TMainAction::ToggleCheckpoints)->trigger();
    EXPECT_GT(form->TrackView().FramesDrawn(), frames);

    // F5 by hand tells the same failure in the usual error box.
    form->Action(TMainAction::ReloadTrack)->trigger();
    ASSERT_EQ(dialogs->Errors.size(), 1u);
    EXPECT_EQ(&form->Session().Track(), shown);

    // The packer finishes: the next change tries again.
    WriteFileBytes(archive, whole);
    ASSERT_TRUE(WaitForReload());
    EXPECT_EQ(form->StatusText(2), QStringLiteral("Reloaded"));
}

TEST_F(MainFormReloadPickTest, TheArchiveDeletedUnderTheViewKeepsTheTrack) {
    WatchFiles();
    const TTrackData* shown = &form->Session().Track();
    ASSERT_EQ(std::remove(archive.c_str()), 0);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return form->StatusText(2) == QStringLiteral("Archive gone, track kept"); },
        kPatienceMs));
    EXPECT_EQ(&form->Session().Track(), shown);
    EXPECT_TRUE(dialogs->Errors.empty());
}

TEST_F(MainFormReloadPickTest, F5ReloadsFromTheSameCameraAndShowsTheWarningsAsAnOpenDoes) {
    track.MissingTextures = {"MUD.RAW"};
    WriteTrack(kBlue);
    const size_t messages = dialogs->Messages.size();
    QTest::keyClick(form.get(), Qt::Key_F5);
    ExpectColour(MiddleColour(), kBlue);
    ExpectCameraKept();
    ASSERT_EQ(dialogs->Messages.size(), messages + 1);
    EXPECT_EQ(dialogs->Messages.back().Text.rfind("Warnings and Errors:", 0), 0u);
    EXPECT_NE(dialogs->Messages.back().Text.find("MUD.RAW"), std::string::npos);
}

TEST_F(MainFormReloadPickTest, ACtrlClickOrAClickInPickModeShowsWhatIsUnderThePointer) {
    ASSERT_NE(Panel(), nullptr);
    const auto* dock = form->findChild<QDockWidget*>(QStringLiteral("PickDock"));
    ASSERT_NE(dock, nullptr);
    EXPECT_FALSE(dock->isVisible()) << "hidden until the first pick";
    const TColour before = MiddleColour();

    ClickMiddle(Qt::NoModifier);
    EXPECT_FALSE(dock->isVisible()) << "a plain click outside pick mode does not pick";

    ClickMiddle(Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dock->isVisible(); }, kPatienceMs));
    QString shown = Panel()->ShownText();
    EXPECT_TRUE(shown.contains(QStringLiteral("Picked: checkpoint marker")) ||
                shown.contains(QStringLiteral("Picked: object")))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Model: MODELS\\RED.BIN"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Position (game units): 4096.00, 0.00, 4096.00")))
        << shown.toStdString();
    EXPECT_TRUE(form->TrackView().PickOutlined());
    // The outline stays out of screenshots.
    ExpectColour(MiddleColour(), before);

    // Pick mode: a plain click picks, here the ground box once the objects are hidden.
    form->Action(TMainAction::TogglePickMode)->trigger();
    EXPECT_TRUE(form->Action(TMainAction::TogglePickMode)->isChecked());
    form->Session().View().Display.ObjectsMode = 0;
    ClickMiddle(Qt::NoModifier);
    shown = Panel()->ShownText();
    EXPECT_TRUE(shown.contains(QStringLiteral("Picked: ground box"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Cell: row 120, column 132"))) << shown.toStdString();

    // Closing the panel drops the outline.
    form->findChild<QDockWidget*>(QStringLiteral("PickDock"))->close();
    EXPECT_FALSE(form->TrackView().PickOutlined());
}

TEST_F(MainFormReloadPickTest, TheTrackReportShowsTheStatisticsOfTheTrackAsDrawn) {
    form->Action(TMainAction::ShowTrackReport)->trigger();
    ASSERT_EQ(dialogs->StatisticsShown.size(), 1u);
    const std::string& statistics = dialogs->StatisticsShown.front();
    EXPECT_NE(statistics.find("Objects: 2\n  MODELS\\RED.BIN: 2, 1 faces\n"), std::string::npos)
        << statistics;
    EXPECT_NE(statistics.find("Cells with ground boxes: 1\n"), std::string::npos) << statistics;
    EXPECT_NE(statistics.find("Load time by step:\n  "), std::string::npos)
        << "the window's load is timed too:\n"
        << statistics;
}

} // namespace
