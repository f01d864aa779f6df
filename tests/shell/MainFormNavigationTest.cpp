// The main window's keyboard flight, wheel, minimap and map-view clicks, the overlay, the menus
// that show their state, the recent archives, dropping an archive and quitting.
#include "tests/shell/MainFormFixture.h"

#include "core/settings/IniFile.h"
#include "core/settings/RecentArchives.h"
#include "core/track/TrackData.h"
#include "core/view/Flight.h"
#include "core/view/ViewOverlay.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>
#include <QWidget>

#include <cmath>
#include <filesystem>

namespace {

class MainFormNavigationTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        Start();
        archive = WriteTracks("NAV.POD", {TTrackFixture{}});
        OpenAndWait(archive);
        form->TrackView().MouseMove(Qt::NoButton, {}, 300, 200);
        form->Session().View().Camera = TCameraPos{};
        form->Session().View().Camera.TransX = 1;
        form->Session().View().Camera.TransZ = 2;
    }

    // A left click at a pixel of the view, as the view window delivers it.
    void ClickView(int x, int y) {
        const QPointF at(x, y);
        QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(form->TrackView().ViewWindow(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, at, Qt::LeftButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(form->TrackView().ViewWindow(), &release);
    }

    void Wheel(int x, int y, int eighthsOfADegree) {
        const QPointF at(x, y);
        QWheelEvent wheel(at, at, QPoint(), QPoint(0, eighthsOfADegree), Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(form->TrackView().ViewWindow(), &wheel);
    }

    std::string archive;
};

TEST_F(MainFormNavigationTest, HoldingTheUpArrowFliesForwardUntilItIsLetGo) {
    const int framesBefore = form->TrackView().FramesDrawn();
    QTest::keyPress(form.get(), Qt::Key_Up);
    EXPECT_TRUE(form->TrackView().Flying());
    // Heading 90 looks along +x: the eye's x grows, the translation's falls.
    WaitUntil([this] { return form->Session().View().Camera.TransX < 0.9f; });
    EXPECT_LT(form->Session().View().Camera.TransX, 0.9f);
    EXPECT_NEAR(form->Session().View().Camera.TransZ, 2, 1e-4);
    EXPECT_GT(form->TrackView().FramesDrawn(), framesBefore);

    QTest::keyRelease(form.get(), Qt::Key_Up);
    EXPECT_FALSE(form->TrackView().Flying());
    const float stopped = form->Session().View().Camera.TransX;
    // Nothing runs any more once the key is up: no timer, and the idle frames end.
    EXPECT_TRUE(RunUntilIdle());
    EXPECT_EQ(form->Session().View().Camera.TransX, stopped);
}

TEST_F(MainFormNavigationTest, ArrowsTurnAndPageKeysRiseAndSink) {
    QTest::keyPress(form.get(), Qt::Key_Right);
    WaitUntil([this] { return form->Session().View().Camera.Heading > 100; });
    QTest::keyRelease(form.get(), Qt::Key_Right);
    EXPECT_GT(form->Session().View().Camera.Heading, 100);

    const float height = form->Session().View().Camera.TransY;
    QTest::keyPress(form.get(), Qt::Key_PageUp);
    WaitUntil([&] { return form->Session().View().Camera.TransY < height - 0.05f; });
    QTest::keyRelease(form.get(), Qt::Key_PageUp);
    EXPECT_LT(form->Session().View().Camera.TransY, height - 0.05f);
    EXPECT_FALSE(form->TrackView().Flying());
}

TEST_F(MainFormNavigationTest, FlightKeysDoNothingWhileBusyAndLeavingTheWindowStopsTheFlight) {
    form->Session().View().Busy = true;
    QTest::keyPress(form.get(), Qt::Key_Up);
    EXPECT_FALSE(form->TrackView().Flying());
    QTest::keyRelease(form.get(), Qt::Key_Up);
    form->Session().View().Busy = false;

    QTest::keyPress(form.get(), Qt::Key_Down);
    ASSERT_TRUE(form->TrackView().Flying());
    // The key is let go in another window: this one never hears of it.
    QWidget other;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other, kPatienceMs));
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other, kPatienceMs));
    WaitUntil([this] { return !form->TrackView().Flying(); });
    EXPECT_FALSE(form->TrackView().Flying());
    const float stopped = form->Session().View().Camera.TransX;
    EXPECT_TRUE(RunUntilIdle());
    EXPECT_EQ(form->Session().View().Camera.TransX, stopped);
}

TEST_F(MainFormNavigationTest, TheWheelMovesTheFreeCameraAndZoomsTheMapViewAboutThePointer) {
    Wheel(100, 100, 120);
    EXPECT_NEAR(form->Session().View().Camera.TransX, 1 - kWheelUnitsPerNotch, 1e-4);

    QTest::keyClick(form.get(), Qt::Key_9);
    ASSERT_TRUE(form->Session().View().MapView);
    const QSize view = form->TrackView().size();
    const TViewPixel pointer{view.width() * 0.8 + 0.5, view.height() * 0.3 + 0.5, view.width(),
                             view.height()};
    const auto before = GroundPointAtPixel(form->Session().View(), pointer);
    ASSERT_TRUE(before);
    const double above = EyeHeight(form->Session().View()) - before->Y;
    Wheel(static_cast<int>(view.width() * 0.8), static_cast<int>(view.height() * 0.3), 240);
    // Two notches: the eye comes nearer to the ground point by the zoom factor twice.
    EXPECT_NEAR(EyeHeight(form->Session().View()) - before->Y,
                above * kMapZoomPerNotch * kMapZoomPerNotch, 1e-3);
    const auto after = GroundPointAtPixel(form->Session().View(), pointer);
    ASSERT_TRUE(after);
    EXPECT_NEAR(after->X, before->X, 1e-3);
    EXPECT_NEAR(after->Z, before->Z, 1e-3);
}

TEST_F(MainFormNavigationTest, AClickOnTheMinimapTakesTheCameraToTheClickedCell) {
    EXPECT_FALSE(form->Action(TMainAction::ToggleMinimap)->isChecked());
    QTest::keyClick(form.get(), Qt::Key_M);
    EXPECT_TRUE(form->Action(TMainAction::ToggleMinimap)->isChecked());
    const TViewRect area = form->TrackView().MinimapArea();
    const int x = area.Left + area.Width / 4;
    const int y = area.Top + area.Height * 3 / 4;
    const TGridCell expected = MinimapCellAt(x - area.Left, y - area.Top, area.Width);
    ClickView(x, y);
    EXPECT_EQ(CameraCell(form->Session().View().Camera), expected);
    // A quarter from the left and from the bottom.
    EXPECT_NEAR(expected.Row, 64, 2);
    EXPECT_NEAR(expected.Column, 64, 2);

    // Hidden, the minimap takes no clicks.
    QTest::keyClick(form.get(), Qt::Key_M);
    const TCameraPos before = form->Session().View().Camera;
    ClickView(area.Left + 2, area.Top + 2);
    EXPECT_EQ(form->Session().View().Camera.TransX, before.TransX);
    EXPECT_EQ(form->Session().View().Camera.TransZ, before.TransZ);
}

TEST_F(MainFormNavigationTest, AMinimapClickKeepsTheHeightAboveGroundWhileFollowing) {
    Choose(*form, TMainAction::ToggleFollowTerrain);
    const double above = form->Session().View().HeightAboveGround;
    QTest::keyClick(form.get(), Qt::Key_M);
    const TViewRect area = form->TrackView().MinimapArea();
    ClickView(area.Left + area.Width / 2, area.Top + area.Height / 2);
    EXPECT_NEAR(form->Session().View().HeightAboveGround, above, 1e-9);
    EXPECT_NEAR(CameraCell(form->Session().View().Camera).Row, 128, 2);
}

TEST_F(MainFormNavigationTest, AClickInTheMapViewPlacesTheFreeCameraThere) {
    QTest::keyClick(form.get(), Qt::Key_9);
    ASSERT_TRUE(form->Session().View().MapView);
    const QSize view = form->TrackView().size();
    ClickView(view.width() / 2, view.height() / 2);
    QTest::keyClick(form.get(), Qt::Key_9);
    ASSERT_FALSE(form->Session().View().MapView);
    // The map camera looks down on the middle of the grid.
    EXPECT_NEAR(CameraCell(form->Session().View().Camera).Row, 128, 2);
    EXPECT_NEAR(CameraCell(form->Session().View().Camera).Column, 128, 2);
}

TEST_F(MainFormNavigationTest, TheOverlayIsOffAtFirstAndNamesTheCellAndTheViewDistance) {
    QAction* overlay = form->Action(TMainAction::ToggleFrameRate);
    EXPECT_FALSE(overlay->isChecked());
    EXPECT_EQ(overlay->text(), "Show frame rate");
    overlay->trigger();
    EXPECT_TRUE(overlay->isChecked());
    const int frames = form->TrackView().FramesDrawn();
    form->TrackView().RedrawView(true);
    EXPECT_GT(form->TrackView().FramesDrawn(), frames);
    const std::vector<std::string> lines = form->TrackView().OverlayText();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0], "FPS -"); // frames have been drawn and timed
    const TGridCell cell = CameraCell(form->Session().View().Camera);
    EXPECT_EQ(lines[1], "Cell " + std::to_string(cell.Row) + ", " + std::to_string(cell.Column));
    EXPECT_EQ(lines[2], "View " + std::to_string(form->Session().View().ViewDistance));
}

TEST_F(MainFormNavigationTest, ToggleEntriesCarryCheckMarksThatFollowTheirState) {
    EXPECT_TRUE(form->Action(TMainAction::ToggleGroundBoxes)->isChecked());
    EXPECT_TRUE(form->Action(TMainAction::ToggleWater)->isChecked());
    EXPECT_FALSE(form->Action(TMainAction::ToggleCheckpoints)->isChecked());
    EXPECT_TRUE(form->Action(TMainAction::ToggleBackdrop)->isChecked());
    EXPECT_FALSE(form->Action(TMainAction::ToggleAreaShape)->isChecked());

    QTest::keyClick(form.get(), Qt::Key_B);
    EXPECT_FALSE(form->Action(TMainAction::ToggleGroundBoxes)->isChecked());
    QTest::keyClick(form.get(), Qt::Key_S);
    EXPECT_TRUE(form->Action(TMainAction::ToggleAreaShape)->isChecked());
    // Objects cycle through three states: checked while any are shown.
    const int mode = form->Session().View().Display.ObjectsMode;
    for (int press = 1; press <= 3; ++press) {
        QTest::keyClick(form.get(), Qt::Key_O);
        EXPECT_EQ(form->Action(TMainAction::CycleObjects)->isChecked(),
                  form->Session().View().Display.ObjectsMode != 0);
    }
    EXPECT_EQ(form->Session().View().Display.ObjectsMode, mode);
    // The map view switched by a restore follows too.
    QTest::keyClick(form.get(), Qt::Key_9);
    EXPECT_TRUE(form->Action(TMainAction::ToggleMapView)->isChecked());
}

TEST_F(MainFormNavigationTest, SkyPresetsAreOneRadioGroup) {
    QAction* night = form->Action(SkyPresetAction(4));
    ASSERT_NE(night->actionGroup(), nullptr);
    EXPECT_TRUE(night->actionGroup()->isExclusive());
    for (int sky = 0; sky < 5; ++sky) {
        EXPECT_EQ(form->Action(SkyPresetAction(sky))->actionGroup(), night->actionGroup());
    }
    night->trigger();
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(form->Session().View().Display.SkyType, 0);
    int checked = 0;
    for (int sky = 0; sky < 5; ++sky) {
        checked += form->Action(SkyPresetAction(sky))->isChecked() ? 1 : 0;
    }
    EXPECT_EQ(checked, 1);
    EXPECT_TRUE(form->Action(SkyPresetAction(0))->isChecked());
}

TEST_F(MainFormNavigationTest, MainEntriesHaveToolTipsWithTheirKeys) {
    EXPECT_EQ(form->Action(TMainAction::ToggleGroundBoxes)->toolTip(), "Toggle ground boxes (B)");
    EXPECT_EQ(form->Action(TMainAction::OpenArchive)->toolTip(), "Open (Ctrl+O)");
    EXPECT_EQ(form->Action(TMainAction::EditPreferences)->toolTip(), "Preferences (F12)");
    EXPECT_EQ(form->Action(TMainAction::IncreaseDrawDistanceLabel)->toolTip(),
              "Increase draw distance (Num +)");
    EXPECT_EQ(form->Action(TMainAction::ToggleMinimap)->toolTip(), "Minimap (M)");
    EXPECT_EQ(form->Action(TMainAction::Quit)->toolTip(), "Quit (Ctrl+Q)");
    EXPECT_TRUE(form->Menu(TMainMenu::View)->toolTipsVisible());
}

TEST_F(MainFormNavigationTest, AnOpenedArchiveIsRememberedAndReopensFromTheRecentList) {
    TTrackFixture other;
    other.TrackName = "Other Track";
    const std::string second = WriteTracks("OTHER.POD", {other});
    OpenAndWait(second);
    ASSERT_EQ(form->RecentArchives(), (TStringList{second, archive}));
    TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadString(kRecentArchivesSection, "File1", ""), second);
    EXPECT_EQ(ini.ReadString(kRecentArchivesSection, "File2", ""), archive);

    QMenu* recent = form->Menu(TMainMenu::RecentArchives);
    ASSERT_GE(recent->actions().size(), 2);
    QAction* first = recent->actions()[1];
    EXPECT_EQ(first->text().toStdString(), "&2 " + archive);
    first->trigger();
    WaitUntil([this] { return form->windowTitle().contains("Test Track"); });
    EXPECT_TRUE(form->windowTitle().contains("Test Track"));
    EXPECT_EQ(form->RecentArchives(), (TStringList{archive, second}));

    // The list outlives the window.
    Stop();
    Start();
    EXPECT_EQ(form->RecentArchives(), (TStringList{archive, second}));
}

TEST_F(MainFormNavigationTest, AnArchiveNameThatIsNotUtf8IsRememberedByteForByte) {
    TTrackFixture other;
    other.TrackName = "Other Track";
    dir.MakeDir("M\xFChlen");
    const std::string latin1 = WriteTracks("M\xFChlen/M\xDCHLE.POD", {other});
    OpenAndWait(latin1);
    ASSERT_EQ(form->RecentArchives(), (TStringList{latin1, archive}));
    EXPECT_EQ(TIniFile(IniPath()).ReadString(kRecentArchivesSection, "File1", ""), latin1);
    const std::string folder = latin1.substr(0, latin1.rfind('/') + 1);
    EXPECT_EQ(TIniFile(IniPath()).ReadString(kPreferencesSection, "LastTrackDir", ""), folder);
    OpenAndWait(archive);
    form->Menu(TMainMenu::RecentArchives)->actions()[1]->trigger();
    WaitUntil([this] { return form->windowTitle().contains("Other Track"); });
    EXPECT_TRUE(form->windowTitle().contains("Other Track"));
}

TEST_F(MainFormNavigationTest, AMissingRecentArchiveIsGreyedAndCanBeRemoved) {
    const std::string gone = WriteTracks("GONE.POD", {TTrackFixture{}});
    OpenAndWait(gone);
    std::filesystem::remove(gone);
    emit form->Menu(TMainMenu::File)->aboutToShow();
    QMenu* recent = form->Menu(TMainMenu::RecentArchives);
    EXPECT_FALSE(recent->actions()[0]->isEnabled());
    EXPECT_TRUE(recent->actions()[1]->isEnabled());
    QAction* remove = form->Action(TMainAction::RemoveMissingArchives);
    ASSERT_TRUE(remove->isEnabled());
    remove->trigger();
    EXPECT_EQ(form->RecentArchives(), (TStringList{archive}));
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_EQ(TIniFile(IniPath()).ReadString(kRecentArchivesSection, "File2", "?"), "");
}

TEST_F(MainFormNavigationTest, DroppingAPodFileOpensItAndOtherFilesAreRefused) {
    TTrackFixture dropped;
    dropped.TrackName = "Dropped Track";
    const std::string path = WriteTracks("DROPPED.pod", {dropped});
    const std::string text = dir.Path() + "notes.txt";
    TPodWriter().Write(text);

    QMimeData refused;
    refused.setUrls({QUrl::fromLocalFile(QString::fromStdString(text))});
    QDragEnterEvent enterText(QPoint(50, 50), Qt::CopyAction, &refused, Qt::LeftButton, {});
    QCoreApplication::sendEvent(form.get(), &enterText);
    EXPECT_FALSE(enterText.isAccepted());

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(form->TrackView().ViewWindow(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    WaitUntil([this] { return form->windowTitle().contains("Dropped Track"); });
    EXPECT_TRUE(form->windowTitle().contains("Dropped Track"));
    EXPECT_EQ(form->RecentArchives().front(), path);
}

TEST_F(MainFormNavigationTest, CtrlQQuitsThroughTheFileMenu) {
    QMenu* file = form->Menu(TMainMenu::File);
    EXPECT_EQ(file->actions().last()->text(), "Quit");
    QTest::keyClick(form.get(), Qt::Key_Q, Qt::ControlModifier);
    WaitUntil([this] { return !form->isVisible(); });
    EXPECT_FALSE(form->isVisible());
}

} // namespace
