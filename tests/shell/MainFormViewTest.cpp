// The main window with a track open: mouse drags and keys as the window delivers them, menu
// shortcuts, saved locations, the map view, layers and sky presets, the idle drawing, the
// frame-rate test and screenshots.
#include "tests/shell/MainFormFixture.h"

#include "core/settings/DMGLPrefs.h"
#include "core/settings/IniFile.h"
#include "core/track/TrackData.h"
#include "core/view/ViewCommands.h"

#include <QAction>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

// Sets an environment variable while it lives, then restores it.
class TScopedVariable {
public:
    TScopedVariable(const char* name, const std::string& value) : name_(name) {
        if (const char* saved = std::getenv(name)) {
            saved_ = saved;
        }
        setenv(name, value.c_str(), 1);
    }
    ~TScopedVariable() {
        if (saved_) {
            setenv(name_, saved_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    TScopedVariable(const TScopedVariable&) = delete;
    TScopedVariable& operator=(const TScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> saved_;
};

class MainFormViewTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        Start();
        OpenAndWait(WriteTracks("VIEW.POD", {TTrackFixture{}}));
        // The first movement after an open only records the pointer.
        form->TrackView().MouseMove(Qt::NoButton, {}, 300, 200);
        form->Session().View().Camera = TCameraPos{};
        form->Session().View().Camera.TransX = 1;
        form->Session().View().Camera.TransZ = 2;
    }

    void Drag(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int dx, int dy) {
        form->TrackView().MouseMove(buttons, modifiers, form->Session().View().LastMouseX + dx,
                                    form->Session().View().LastMouseY + dy);
    }

    // A key press as it arrives at the main window.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(form.get(), key, modifiers);
    }
};

TEST_F(MainFormViewTest, FirstMovementAfterOpeningOnlyRecordsThePointer) {
    form->Session().View().ResetMouse = true;
    const TCameraPos before = form->Session().View().Camera;
    form->TrackView().MouseMove(Qt::RightButton, {}, 10, 10);
    EXPECT_EQ(form->Session().View().Camera.TransZ, before.TransZ);
    EXPECT_FALSE(form->Session().View().ResetMouse);
    EXPECT_EQ(form->Session().View().LastMouseX, 10);
}

TEST_F(MainFormViewTest, EachButtonCombinationDoesItsOwnThing) {
    // Right: strafe at heading 90, 50 pixels at normal speed moves z by -0.4.
    Drag(Qt::RightButton, {}, 50, 0);
    EXPECT_NEAR(form->Session().View().Camera.TransZ, 2 - 0.4, 1e-5);
    EXPECT_NEAR(form->Session().View().Camera.TransX, 1, 1e-5);

    // Left: look; heading by s * dX / 4, tilt by s * dY / 4.
    Drag(Qt::LeftButton, {}, 20, -10);
    EXPECT_NEAR(form->Session().View().Camera.Heading, 90 + 0.8 * 20 / 4, 1e-4);
    EXPECT_NEAR(form->Session().View().Camera.Tilt, 25 - 0.8 * 10 / 4, 1e-4);

    // Both: altitude; dragging down lowers the eye.
    const float y = form->Session().View().Camera.TransY;
    Drag(Qt::LeftButton | Qt::RightButton, {}, 0, 25);
    EXPECT_NEAR(form->Session().View().Camera.TransY, y + 0.8 * 25 / 100, 1e-5);

    // Middle: zoom.
    Drag(Qt::MiddleButton, {}, 0, 10);
    EXPECT_NEAR(form->Session().View().Camera.FOV, 60 + 0.8 * 10 / 5, 1e-4);

    // Any other combination does nothing and draws nothing.
    const TCameraPos before = form->Session().View().Camera;
    const int frames = form->TrackView().FramesDrawn();
    Drag(Qt::LeftButton | Qt::MiddleButton, {}, 30, 30);
    EXPECT_EQ(form->Session().View().Camera.Heading, before.Heading);
    EXPECT_EQ(form->Session().View().Camera.FOV, before.FOV);
    EXPECT_EQ(form->TrackView().FramesDrawn(), frames);
}

TEST_F(MainFormViewTest, ModifiersChangeTheSpeedAndAltRounds) {
    Drag(Qt::RightButton, Qt::ControlModifier, 50, 0);
    EXPECT_NEAR(form->Session().View().Camera.TransZ, 2 - 0.1 * 50 / 100, 1e-5);
    Drag(Qt::RightButton, Qt::ShiftModifier, 50, 0);
    EXPECT_NEAR(form->Session().View().Camera.TransZ, 2 - 0.05 - 3.0 * 50 / 100, 1e-5);
    Drag(Qt::LeftButton, Qt::AltModifier, 7, 3);
    EXPECT_EQ(form->Session().View().Camera.Heading,
              std::round(form->Session().View().Camera.Heading));
    EXPECT_EQ(form->Session().View().Camera.Tilt, std::round(form->Session().View().Camera.Tilt));
    EXPECT_NE(form->Session().View().Camera.Heading, 90.0f);
}

TEST_F(MainFormViewTest, MouseEventsOverTheViewWindowReachTheCamera) {
    QWindow* view = form->TrackView().ViewWindow();
    const auto send = [view](QEvent::Type type, QPointF at, Qt::MouseButton button,
                             Qt::MouseButtons held) {
        QMouseEvent event(type, at, view->mapToGlobal(at), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(view, &event);
    };
    send(QEvent::MouseMove, {100, 100}, Qt::NoButton, Qt::NoButton);
    send(QEvent::MouseButtonPress, {100, 100}, Qt::RightButton, Qt::RightButton);
    send(QEvent::MouseMove, {150, 100}, Qt::NoButton, Qt::RightButton);
    EXPECT_NEAR(form->Session().View().Camera.TransZ, 2 - 0.4, 1e-5);
    EXPECT_EQ(form->Session().View().LastMouseX, 150);
}

TEST_F(MainFormViewTest, MovementDuringAFrameIsShownByThatFrameWithoutANestedOne) {
    // The frames of the open are over before the counting starts.
    ASSERT_TRUE(RunUntilIdle());
    form->Session().View().HideObjectsWhileMovingFor = 10000;
    const int frames = form->TrackView().FramesDrawn();
    int framesWhenMoved = -1;
    QTimer::singleShot(0, form.get(), [&] {
        framesWhenMoved = form->TrackView().FramesDrawn();
        Drag(Qt::RightButton, {}, 50, 0);
    });
    form->TrackView().RedrawView(true);
    EXPECT_EQ(framesWhenMoved, frames) << "the movement came before the frame was drawn";
    EXPECT_EQ(form->TrackView().FramesDrawn(), frames + 1);
    EXPECT_NEAR(form->Session().View().Camera.TransZ, 2 - 0.4, 1e-5);
    EXPECT_FALSE(form->Session().View().FullFrame)
        << "the movement turned the frame into a light one";
    EXPECT_EQ(form->StatusText(0).toStdString(), PositionStatusText(form->Session().View().Camera));
}

TEST_F(MainFormViewTest, KeypadKeysStopAtTheViewDistanceLimitsWithABeep) {
    form->Session().View().ViewDistance = 11;
    Press(Qt::Key_Minus, Qt::KeypadModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->Session().View().ViewDistance, 10);
    EXPECT_EQ(dialogs->Beeps, 0);
    const int frames = form->TrackView().FramesDrawn();
    Press(Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(form->Session().View().ViewDistance, 10);
    EXPECT_EQ(dialogs->Beeps, 1);
    EXPECT_GT(form->TrackView().FramesDrawn(), frames) << "every keypad action redraws";

    form->Session().View().ViewDistance = 254;
    Press(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(form->Session().View().ViewDistance, 255);
    Press(Qt::Key_Plus, Qt::KeypadModifier | Qt::ControlModifier);
    EXPECT_EQ(form->Session().View().ViewDistance, 255);
    EXPECT_EQ(dialogs->Beeps, 2);

    form->Session().View().ViewDistance = 50;
    Press(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(form->Session().View().ViewDistance, 52);
    Press(Qt::Key_Minus, Qt::KeypadModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->Session().View().ViewDistance, 42);
}

TEST_F(MainFormViewTest, AltKeypadMovesTheBackgroundAndMainKeyboardSignsDoNothing) {
    Press(Qt::Key_Plus, Qt::KeypadModifier | Qt::AltModifier);
    Press(Qt::Key_Plus, Qt::KeypadModifier | Qt::AltModifier);
    Press(Qt::Key_Minus, Qt::KeypadModifier | Qt::AltModifier);
    EXPECT_EQ(form->Session().View().BackgroundOffset, 1);
    EXPECT_EQ(form->Session().View().ViewDistance, 50);
    Press(Qt::Key_Plus);
    Press(Qt::Key_Minus);
    EXPECT_EQ(form->Session().View().ViewDistance, 50);
    Choose(*form, TMainAction::ResetBackgroundOffset);
    EXPECT_EQ(form->Session().View().BackgroundOffset, 0);
}

TEST_F(MainFormViewTest, InsertAndDeleteTurnByFiveDegrees) {
    Press(Qt::Key_Insert);
    EXPECT_FLOAT_EQ(form->Session().View().Camera.Heading, 85.0f);
    Press(Qt::Key_Delete);
    Press(Qt::Key_Delete);
    EXPECT_FLOAT_EQ(form->Session().View().Camera.Heading, 95.0f);
}

TEST_F(MainFormViewTest, KeysOverTheViewWindowReachShortcutsAndTheKeyHandler) {
    QTest::keyClick(form->TrackView().ViewWindow(), Qt::Key_B);
    EXPECT_FALSE(form->Session().View().Display.ShowGroundBoxes);
    QTest::keyClick(form->TrackView().ViewWindow(), Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(form->Session().View().ViewDistance, 52);
}

TEST_F(MainFormViewTest, LayerLettersFollowTheToggleKeys) {
    EXPECT_EQ(form->StatusText(3), QStringLiteral("B-W---"));
    Press(Qt::Key_O);
    EXPECT_EQ(form->StatusText(3), QStringLiteral("B-Wo--"));
    Press(Qt::Key_O);
    EXPECT_EQ(form->StatusText(3), QStringLiteral("B-WO--"));
    Press(Qt::Key_O);
    EXPECT_EQ(form->StatusText(3), QStringLiteral("B-W---"));
    Press(Qt::Key_B);
    Press(Qt::Key_W);
    Press(Qt::Key_C);
    EXPECT_EQ(form->StatusText(3), QStringLiteral("-----C"));
    const int frames = form->TrackView().FramesDrawn();
    Press(Qt::Key_D);
    Press(Qt::Key_S);
    Choose(*form, TMainAction::ToggleHighTide);
    EXPECT_EQ(form->StatusText(3), QStringLiteral("-----C"));
    EXPECT_FALSE(form->Session().View().Display.ShowBackdrop);
    EXPECT_EQ(form->Session().View().Display.AreaShape, TAreaShape::Square);
    EXPECT_TRUE(form->Action(TMainAction::ToggleHighTide)->isChecked());
    EXPECT_EQ(form->TrackView().FramesDrawn(), frames + 3);
}

TEST_F(MainFormViewTest, SkyPresetsTintAndCheckExactlyOneEntry) {
    Choose(*form, SkyPresetAction(4));
    EXPECT_EQ(form->Session().View().Display.SkyType, 4);
    EXPECT_FLOAT_EQ(form->Session().View().Display.GlobalTint.r, 0.3f);
    EXPECT_FLOAT_EQ(form->Session().View().Display.GlobalTint.b, 0.3f);
    for (int sky = 0; sky < 5; ++sky) {
        EXPECT_EQ(form->Action(SkyPresetAction(sky))->isChecked(), sky == 4) << sky;
    }
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(form->Session().View().Display.SkyType, 0);
    EXPECT_FLOAT_EQ(form->Session().View().Display.GlobalTint.g, 1.0f);
    EXPECT_TRUE(form->Action(SkyPresetAction(0))->isChecked());
    EXPECT_EQ(form->Session().View().Display.AreaShape, TAreaShape::Circle)
        << "Ctrl+S is not plain S";
    Choose(*form, SkyPresetAction(3));
    EXPECT_FLOAT_EQ(form->Session().View().Display.GlobalTint.r, 0.8f);
    EXPECT_FLOAT_EQ(form->Session().View().Display.GlobalTint.g, 0.7f);
    EXPECT_FLOAT_EQ(form->Session().View().Display.GlobalTint.b, 0.6f);
    // Choosing the checked entry again keeps it checked.
    Choose(*form, SkyPresetAction(3));
    EXPECT_TRUE(form->Action(SkyPresetAction(3))->isChecked());
}

TEST_F(MainFormViewTest, SavedLocationsRoundTripThroughTheIniFile) {
    form->Session().View().Camera.TransX = 1.2345678f;
    form->Session().View().Camera.Heading = 123.456f;
    form->Session().View().ViewDistance = 33;
    Press(Qt::Key_2, Qt::ControlModifier);
    TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadString("CameraPos", "Test Track #2", ""),
              "1.234568|-3.00   |2.00    |25.00   |123.456 |0.00    |60.00   |33");

    Drag(Qt::RightButton, {}, 40, 40);
    form->Session().View().ViewDistance = 90;
    Press(Qt::Key_2);
    EXPECT_EQ(form->Session().View().Camera.TransX, 1.2345678f)
        << "exactly as saved in this session";
    EXPECT_FLOAT_EQ(form->Session().View().Camera.TransZ, 2.0f);
    EXPECT_EQ(form->Session().View().Camera.Heading, 123.456f);
    EXPECT_EQ(form->Session().View().ViewDistance, 33);

    // A slot never saved leaves the camera where it is.
    Press(Qt::Key_4);
    EXPECT_EQ(form->Session().View().Camera.TransX, 1.2345678f);

    // The keypad digits restore as well.
    form->Session().View().Camera.TransX = -4;
    Press(Qt::Key_2, Qt::KeypadModifier);
    EXPECT_EQ(form->Session().View().Camera.TransX, 1.2345678f);
}

TEST_F(MainFormViewTest, MapViewKeepsBothCamerasAcrossSwitches) {
    const TCameraPos freeCamera = form->Session().View().Camera;
    Press(Qt::Key_9);
    EXPECT_TRUE(form->Session().View().MapView);
    EXPECT_TRUE(form->Action(TMainAction::ToggleMapView)->isChecked());
    EXPECT_FLOAT_EQ(form->Session().View().Camera.TransY, -21.0f);
    EXPECT_FLOAT_EQ(form->Session().View().Camera.Tilt, 90.0f);
    EXPECT_FLOAT_EQ(form->Session().View().Camera.FOV, 45.0f);
    EXPECT_EQ(form->Session().View().ViewDistance, 128);
    EXPECT_EQ(form->Session().View().Display.AreaShape, TAreaShape::Square);

    Drag(Qt::LeftButton, {}, 40, 40);
    EXPECT_FLOAT_EQ(form->Session().View().Camera.Tilt, 90.0f) << "the map camera never tilts";
    const float mapHeading = form->Session().View().Camera.Heading;
    Press(Qt::Key_9);
    EXPECT_FALSE(form->Action(TMainAction::ToggleMapView)->isChecked());
    EXPECT_EQ(form->Session().View().Camera.TransX, freeCamera.TransX);
    EXPECT_EQ(form->Session().View().Camera.Heading, freeCamera.Heading);
    EXPECT_EQ(form->Session().View().ViewDistance, 50);
    EXPECT_EQ(form->Session().View().Display.AreaShape, TAreaShape::Circle);
    Press(Qt::Key_9);
    EXPECT_FLOAT_EQ(form->Session().View().Camera.Heading, mapHeading);

    // Saving in map view stores the map camera; restoring leaves the map view.
    Press(Qt::Key_1, Qt::ControlModifier);
    Press(Qt::Key_1);
    EXPECT_FALSE(form->Session().View().MapView);
    EXPECT_FALSE(form->Action(TMainAction::ToggleMapView)->isChecked());
    EXPECT_FLOAT_EQ(form->Session().View().Camera.TransY, -21.0f);
    EXPECT_EQ(form->Session().View().ViewDistance, 128);

    Press(Qt::Key_9, Qt::ControlModifier);
    EXPECT_FALSE(form->Session().View().MapView)
        << "resetting the map camera does not switch to it";
}

TEST_F(MainFormViewTest, FollowTerrainSwitchesItsCaptionAndMark) {
    Press(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(form->Session().View().FollowTerrain);
    EXPECT_EQ(form->Action(TMainAction::ToggleFollowTerrain)->text(), QStringLiteral("Deactivate"));
    EXPECT_TRUE(form->Menu(TMainMenu::FollowTerrain)->menuAction()->isChecked());
    const float y = form->Session().View().Camera.TransY;
    Press(Qt::Key_F, Qt::ControlModifier);
    EXPECT_FALSE(form->Session().View().FollowTerrain);
    EXPECT_EQ(form->Action(TMainAction::ToggleFollowTerrain)->text(), QStringLiteral("Activate"));
    EXPECT_NEAR(form->Session().View().Camera.TransY, y, 1e-5);

    Choose(*form, TMainAction::ToggleFollowWater);
    Choose(*form, TMainAction::ToggleSteeringMode);
    EXPECT_FALSE(form->Session().View().FollowWater);
    EXPECT_FALSE(form->Action(TMainAction::ToggleFollowWater)->isChecked());
    EXPECT_FALSE(form->Session().View().SteeringMode);
    EXPECT_TRUE(form->Session().View().FollowGroundBoxes);
}

TEST_F(MainFormViewTest, DrawDistanceEntriesDoNothing) {
    const int frames = form->TrackView().FramesDrawn();
    Choose(*form, TMainAction::IncreaseDrawDistanceLabel);
    Choose(*form, TMainAction::DecreaseDrawDistanceLabel);
    EXPECT_EQ(form->Session().View().ViewDistance, 50);
    EXPECT_EQ(form->TrackView().FramesDrawn(), frames);
}

// The entries that the other tests reach through their handlers rather than through the menu.
TEST_F(MainFormViewTest, EveryMenuEntryRunsItsOwnCommand) {
    const std::vector<std::pair<TMainAction, QSize>> sizes{
        {TMainAction::ViewSize320x240, {320, 240}},   {TMainAction::ViewSize800x600, {800, 600}},
        {TMainAction::ViewSize1024x768, {1024, 768}}, {TMainAction::ViewSizeQrx1, {178, 126}},
        {TMainAction::ViewSizeQrx2, {257, 210}},      {TMainAction::ViewSize640x480, {640, 480}}};
    for (const auto& [action, size] : sizes) {
        Choose(*form, action);
        EXPECT_EQ(form->TrackView().size(), size)
            << form->TrackView().size().width() << "x" << form->TrackView().size().height();
    }
    dialogs->TextAnswers = {std::string("300"), std::string("200")};
    Choose(*form, TMainAction::CustomViewSize);
    EXPECT_EQ(form->TrackView().size(), QSize(300, 200));

    Choose(*form, TMainAction::OpenArchive);
    EXPECT_EQ(dialogs->OpenFolders.size(), 1u);
    bool searchPathsEdited = false;
    dialogs->OnSearchPaths = [&](TStringList&) {
        searchPathsEdited = true;
        return false;
    };
    Choose(*form, TMainAction::EditSearchPaths);
    EXPECT_TRUE(searchPathsEdited);
    bool preferencesEdited = false;
    dialogs->OnPreferences = [&](TDMGLPrefs&) {
        preferencesEdited = true;
        return false;
    };
    Choose(*form, TMainAction::EditPreferences);
    EXPECT_TRUE(preferencesEdited);

    form->Session().View().BackgroundOffset = 3;
    Choose(*form, TMainAction::ResetBackgroundOffset);
    EXPECT_EQ(form->Session().View().BackgroundOffset, 0);
    Choose(*form, TMainAction::ToggleHighTide);
    EXPECT_TRUE(form->Session().View().Display.HighTide);
    Choose(*form, TMainAction::ToggleFollowGroundBoxes);
    EXPECT_FALSE(form->Session().View().FollowGroundBoxes);
    dialogs->SaveAnswer = std::nullopt;
    Choose(*form, TMainAction::SaveScreenshot);
    EXPECT_EQ(dialogs->SaveProposedName, "Test Track.JPG");

    const TCameraPos saved = form->Session().View().Camera;
    Choose(*form, SaveLocationAction(0));
    Drag(Qt::RightButton, {}, 40, 40);
    Choose(*form, RestoreLocationAction(0));
    EXPECT_FLOAT_EQ(form->Session().View().Camera.TransZ, saved.TransZ);

    Choose(*form, TMainAction::ShowReadme);
    Choose(*form, TMainAction::ShowKeyboardLayout);
    Choose(*form, TMainAction::ShowAbout);
    EXPECT_EQ(dialogs->HelpWindows, (std::vector<std::string>{"readme", "keyboard", "about"}));
    Choose(*form, TMainAction::TestFrameRate);
    ASSERT_EQ(dialogs->Messages.size(), 1u);
    EXPECT_EQ(dialogs->Messages[0].Caption, "Test FPS");
}

TEST_F(MainFormViewTest, IdleFramesStopOnceAFullFrameWasShown) {
    // Long enough that the frame drawn at once is a light one even on a busy machine.
    form->Session().View().HideObjectsWhileMovingFor = 1000;
    const int idleBefore = form->TrackView().IdleFramesDrawn();
    form->TrackView().RedrawView(false);
    EXPECT_FALSE(form->Session().View().FullFrame);
    WaitUntil([this] { return form->Session().View().FullFrame; });
    EXPECT_TRUE(form->Session().View().FullFrame);
    EXPECT_GT(form->TrackView().IdleFramesDrawn(), idleBefore);
    const int frames = form->TrackView().FramesDrawn();
    EXPECT_TRUE(RunUntilIdle()) << "the idle frames go on";
    EXPECT_EQ(form->TrackView().FramesDrawn(), frames) << "nothing is drawn while nothing happens";
}

TEST_F(MainFormViewTest, WithHidingOffEveryFrameIsFull) {
    form->Session().View().HideObjectsWhileMovingFor = -1;
    form->TrackView().RedrawView(false);
    EXPECT_TRUE(form->Session().View().FullFrame);
    const int frames = form->TrackView().FramesDrawn();
    EXPECT_TRUE(RunUntilIdle()) << "the idle frames go on";
    EXPECT_EQ(form->TrackView().FramesDrawn(), frames);
}

TEST_F(MainFormViewTest, WaterDialogChangesTheColourAndRedraws) {
    const int frames = form->TrackView().FramesDrawn();
    Press(Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(dialogs->WaterDialogs, 1);
    EXPECT_FLOAT_EQ(form->Session().View().WaterColor.r, 0.5f);
    EXPECT_GT(form->TrackView().FramesDrawn(), frames);
}

TEST_F(MainFormViewTest, ThePositionTextFitsIntoItsPanel) {
    const QLabel* panel = form->StatusPanel(0);
    const auto fits = [panel] {
        return QFontMetrics(panel->font()).horizontalAdvance(panel->text()) <=
               panel->contentsRect().width();
    };
    form->UpdatePositionStatus();
    EXPECT_TRUE(fits()) << panel->text().toStdString();
    // The map view's camera stands high above the track; the field of view at its widest.
    Choose(*form, TMainAction::ToggleMapView);
    form->Session().View().Camera.FOV = 180;
    form->Session().View().Camera.Heading = 89.95f;
    form->UpdatePositionStatus();
    EXPECT_TRUE(panel->text().endsWith(QStringLiteral("FOV: 180.0\u00b0")))
        << panel->text().toStdString();
    EXPECT_TRUE(fits()) << panel->text().toStdString();
}

TEST_F(MainFormViewTest, TestFpsDrawsTwentyFramesAndAgreesWithTheOverlay) {
    Choose(*form, TMainAction::ToggleFrameRate);
    // The overlay's last second then holds the test's frames alone.
    WaitUntil([&] { return form->TrackView().OverlayText()[0] == "FPS -"; });
    const int frames = form->TrackView().FramesDrawn();
    Choose(*form, TMainAction::TestFrameRate);
    const std::string overlay = form->TrackView().OverlayText()[0];
    EXPECT_EQ(form->TrackView().FramesDrawn() - frames, 20);
    ASSERT_EQ(dialogs->Messages.size(), 1u);
    EXPECT_EQ(dialogs->Messages[0].Caption, "Test FPS");
    double tested = 0;
    char unit[32] = {};
    ASSERT_EQ(std::sscanf(dialogs->Messages[0].Text.c_str(), "%lf %31[a-z ]", &tested, unit), 2)
        << dialogs->Messages[0].Text;
    EXPECT_STREQ(unit, "frames per second");
    EXPECT_NE(dialogs->Messages[0].Text.find('.'), std::string::npos);
    double shown = 0;
    double milliseconds = 0;
    ASSERT_EQ(std::sscanf(overlay.c_str(), "FPS %lf (%lf ms)", &shown, &milliseconds), 2)
        << overlay;
    EXPECT_NEAR(shown, tested, 0.1 * tested + 0.05) << overlay; // one decimal shown
    EXPECT_GT(milliseconds, 0);
}

TEST_F(MainFormViewTest, ScreenshotGetsTheFormatExtensionAndBeeps) {
    form->Session().Prefs().ScreenshotFormat = "BMP";
    dialogs->SaveAnswer = dir.Path() + "shots/shot";
    dir.MakeDir("shots");
    Choose(*form, TMainAction::SaveScreenshot);
    EXPECT_EQ(dialogs->SaveProposedName, "Test Track.BMP");
    EXPECT_EQ(dialogs->SaveFilterIndex, 4);
    const std::string file = dir.Path() + "shots/shot.BMP";
    ASSERT_TRUE(std::filesystem::exists(file));
    const std::string bytes = ReadFileBytes(file);
    // A window started without an INI file shows a 640 x 480 view: 32-bit pixels and a 54-byte
    // header.
    ASSERT_EQ(form->TrackView().size().width(), 640);
    ASSERT_EQ(form->TrackView().size().height(), 480);
    EXPECT_EQ(bytes.size(), 1228854u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    // Something of the track was drawn: not every pixel is the clear colour.
    bool drawn = false;
    for (size_t i = 54; i + 3 < bytes.size() && !drawn; i += 4) {
        drawn = bytes[i] != 0 || bytes[i + 1] != 0 || bytes[i + 2] != 0;
    }
    EXPECT_TRUE(drawn);
    EXPECT_EQ(dialogs->Beeps, 1);
    TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadString("Preferences", "LastScreenshotDir", ""), dir.Path() + "shots/");
    EXPECT_TRUE(dialogs->Questions.empty());

    // The same name again: declining the overwrite question writes nothing and stays silent.
    WriteFileBytes(file, "keep");
    dialogs->YesNoAnswer = false;
    Choose(*form, TMainAction::SaveScreenshot);
    EXPECT_EQ(dialogs->Questions, (std::vector<std::string>{"Overwrite existing file?"}));
    EXPECT_EQ(ReadFileBytes(file), "keep");
    EXPECT_EQ(dialogs->Beeps, 1);
    EXPECT_EQ(dialogs->SaveFolder, dir.Path() + "shots/");
}

TEST_F(MainFormViewTest, ScreenshotIntoAMissingFolderIsAnErrorWithoutBeepInEveryFormat) {
    // The bitmap writers raise; the JPEG and PNG writers only answer false, which must reach the
    // user just the same.
    for (const std::string format : {"TGA", "BMP", "JPG", "PNG"}) {
        SCOPED_TRACE(format);
        dialogs->Errors.clear();
        form->Session().Prefs().ScreenshotFormat = format;
        dialogs->SaveAnswer = dir.Path() + "nowhere/shot";
        Choose(*form, TMainAction::SaveScreenshot);
        ASSERT_EQ(dialogs->Errors.size(), 1u);
        EXPECT_EQ(dialogs->Errors[0],
                  "In " + dir.Path() + "nowhere/shot." + format + " kann nicht geschrieben werden");
        EXPECT_EQ(dialogs->Beeps, 0);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "nowhere"));
    TIniFile ini(IniPath());
    EXPECT_FALSE(ini.ValueExists("Preferences", "LastScreenshotDir"))
        << "a folder that took no picture is not offered again";
}

TEST_F(MainFormViewTest, ScreenshotDialogOpensInThePicturesFolderUntilAPictureWasWrittenElsewhere) {
    // The user's folders are the test's own.
    const TTempDir home;
    const TScopedVariable homeVariable("HOME", home.Path());
    const TScopedVariable configVariable("XDG_CONFIG_HOME", home.Path() + ".config");
    const std::string homeFolder = home.Path().substr(0, home.Path().size() - 1);
    const auto openedIn = [&] {
        dialogs->SaveAnswer = std::nullopt;
        Choose(*form, TMainAction::SaveScreenshot);
        return dialogs->SaveFolder;
    };

    // Without a pictures folder, the home folder; never where the game's archive is.
    EXPECT_EQ(openedIn(), homeFolder);
    home.MakeDir("Pictures");
    EXPECT_EQ(openedIn(), home.Path() + "Pictures");

    // Neither a folder that could not take the picture nor one whose file was kept is stored.
    dialogs->SaveAnswer = dir.Path() + "nowhere/shot";
    Choose(*form, TMainAction::SaveScreenshot);
    dir.WriteFile("kept/shot.JPG", "keep");
    dialogs->YesNoAnswer = false;
    dialogs->SaveAnswer = dir.Path() + "kept/shot";
    Choose(*form, TMainAction::SaveScreenshot);
    EXPECT_EQ(dialogs->Beeps, 0);
    EXPECT_FALSE(form->Session().Ini().ValueExists("Preferences", "LastScreenshotDir"));
    EXPECT_EQ(openedIn(), home.Path() + "Pictures");

    // A stored folder that has gone since is passed over.
    form->Session().Ini().WriteString("Preferences", "LastScreenshotDir", dir.Path() + "gone/");
    EXPECT_EQ(openedIn(), home.Path() + "Pictures");

    // A written picture makes its folder the next start.
    dir.MakeDir("shots");
    dialogs->SaveAnswer = dir.Path() + "shots/shot";
    Choose(*form, TMainAction::SaveScreenshot);
    EXPECT_EQ(dialogs->Beeps, 1);
    EXPECT_EQ(TIniFile(IniPath()).ReadString("Preferences", "LastScreenshotDir", ""),
              dir.Path() + "shots/");
    EXPECT_EQ(openedIn(), dir.Path() + "shots/");
}

TEST_F(MainFormViewTest, ScreenshotInAnUnknownFormatWritesNothingAndSaysSo) {
    form->Session().Prefs().ScreenshotFormat = "GIF";
    dialogs->SaveAnswer = dir.Path() + "shot";
    Choose(*form, TMainAction::SaveScreenshot);
    EXPECT_EQ(dialogs->SaveFilterIndex, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "shot.GIF"));
    ASSERT_EQ(dialogs->Errors.size(), 1u);
    EXPECT_NE(dialogs->Errors[0].find("shot.GIF"), std::string::npos) << dialogs->Errors[0];
    EXPECT_EQ(dialogs->Beeps, 0);
}

TEST_F(MainFormViewTest, PngScreenshotTypedWithoutExtensionIsAPng) {
    form->Session().Prefs().ScreenshotFormat = "PNG";
    dialogs->SaveAnswer = dir.Path() + "shot";
    Choose(*form, TMainAction::SaveScreenshot);
    const std::string bytes = ReadFileBytes(dir.Path() + "shot.PNG");
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(dialogs->Beeps, 1);
    EXPECT_TRUE(dialogs->Errors.empty());
}

TEST_F(MainFormViewTest, CancelledScreenshotWritesNothing) {
    dialogs->SaveAnswer = std::nullopt;
    Choose(*form, TMainAction::SaveScreenshot);
    EXPECT_EQ(dialogs->Beeps, 0);
    TIniFile ini(IniPath());
    EXPECT_FALSE(ini.ValueExists("Preferences", "LastScreenshotDir"));
}
