// Start-up, command line, window size, status bar, menu layout and shut-down of the main window.
#include "tests/shell/MainFormFixture.h"

#include "core/base/Feedback.h"
#include "core/settings/DMGLPrefs.h"
#include "core/settings/IniFile.h"
#include "core/track/TrackData.h"
#include "core/vfs/QRXFileFinder.h"
#include "core/view/ViewCommands.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTest>

#include <map>

namespace {

QStringList EntryTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

// The window lies wholly within the free area of its screen, and its view is as wide as that
// allows.
void ExpectWholeWindowOnScreenWithTheWidestView(const TFormMain& main) {
    const QRect area = main.screen()->availableGeometry();
    // The window manager may place the window a little later than it was shown.
    EXPECT_TRUE(QTest::qWaitFor([&] { return area.contains(main.frameGeometry()); }, 5000))
        << "window " << main.frameGeometry().x() << "," << main.frameGeometry().y() << " "
        << main.frameGeometry().width() << "x" << main.frameGeometry().height();
    EXPECT_EQ(main.frameGeometry().width(), area.width());
    EXPECT_EQ(main.StatusText(4).toStdString(),
              ViewSizeText(main.TrackView().size().width(), main.TrackView().size().height()));
}

} // namespace

TEST_F(MainFormTest, StartWithoutIniGivesA640x480ViewAndStoresTheSize) {
    TFormMain& main = Start();
    EXPECT_EQ(main.TrackView().size().width(), 640);
    EXPECT_EQ(main.TrackView().size().height(), 480);
    TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadString("Preferences", "PanelWidth", ""), "640");
    EXPECT_EQ(ini.ReadString("Preferences", "PanelHeight", ""), "480");
    EXPECT_EQ(main.StatusText(4), QStringLiteral("640x480"));
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Dunmere GL v1.0.0"));
    EXPECT_TRUE(main.Session().View().Busy) << "input is ignored until a track has been opened";
    EXPECT_FALSE(main.Menu(TMainMenu::View)->menuAction()->isEnabled());
    EXPECT_FALSE(main.Menu(TMainMenu::Camera)->menuAction()->isEnabled());
    EXPECT_FALSE(main.Action(TMainAction::ToggleGroundBoxes)->isEnabled())
        << "a disabled menu keeps no live shortcut";
    EXPECT_TRUE(main.Action(TMainAction::OpenArchive)->isEnabled());
    EXPECT_FALSE(main.TrackView().Caption()->isHidden());
    EXPECT_EQ(main.TrackView().Caption()->text(), QStringLiteral("Please open a track ..."));
    EXPECT_EQ(main.StatusText(3), QStringLiteral("B-W---"));
    EXPECT_EQ(main.Session().View().Camera.TransY, -3.0f);
    EXPECT_EQ(main.Session().View().ViewDistance, 50);
    EXPECT_EQ(main.Session().View().MapCamera.TransY, -21.0f);
    EXPECT_FLOAT_EQ(main.Session().View().WaterColor.g, 120 / 255.0f);
    EXPECT_FLOAT_EQ(main.Session().View().WaterColor.a, 220 / 255.0f);
    EXPECT_EQ(main.Action(TMainAction::SaveScreenshot)->text(),
              QStringLiteral("Take JPG screenshot ..."));
}

TEST_F(MainFormTest, StoredSizeAndWaterColourAreReadAtStart) {
    WriteFileBytes(IniPath(), CrLfLines({"[Preferences]", "PanelWidth=320", "PanelHeight=240",
                                         "Water Color=5  |20 |3  |  7", "ScreenshotFormat=PNG"}));
    TFormMain& main = Start();
    EXPECT_EQ(main.TrackView().size().width(), 320);
    EXPECT_EQ(main.TrackView().size().height(), 240);
    EXPECT_FLOAT_EQ(main.Session().View().WaterColor.r, 5 / 255.0f);
    EXPECT_FLOAT_EQ(main.Session().View().WaterColor.a, 7 / 255.0f);
    EXPECT_EQ(main.Action(TMainAction::SaveScreenshot)->text(),
              QStringLiteral("Take PNG screenshot ..."));
}

TEST_F(MainFormTest, AStoredSizeTooLargeForTheScreenIsBroughtBackWithinItAtStart) {
    WriteFileBytes(IniPath(), CrLfLines({"[Preferences]", "PanelWidth=50000", "PanelHeight=30"}));
    TFormMain& main = Start();
    ExpectWholeWindowOnScreenWithTheWidestView(main);
    EXPECT_EQ(main.TrackView().size().height(), kMinCustomHeight);
    TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelWidth", 0), main.TrackView().size().width());
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelHeight", 0), kMinCustomHeight);
}

TEST_F(MainFormTest, CommandLineSizesAreKeptWithinTheScreenAndStoredSo) {
    TFormMain& main = Start({"-W50000", "-H30"});
    ExpectWholeWindowOnScreenWithTheWidestView(main);
    EXPECT_EQ(main.TrackView().size().height(), kMinCustomHeight);
    EXPECT_EQ(main.StatusText(4).toStdString(),
              ViewSizeText(main.TrackView().size().width(), kMinCustomHeight));
    Stop();

    // The next start uses the stored size, which fits.
    TFormMain& again = Start();
    ExpectWholeWindowOnScreenWithTheWidestView(again);
    EXPECT_EQ(again.TrackView().size().height(), kMinCustomHeight);
}

TEST_F(MainFormTest, SessionLogHasItsHeaderAndEndsWithTheShutDownLine) {
    Start();
    Stop();
    const std::string log = ReadFileBytes(dir.Path() + "DunmereGL.log");
    const std::string stars(65, '*');
    EXPECT_EQ(log.rfind(stars + "\r\nDunmereGL Version: 1.0.0.0\r\nSession Date/Time: ", 0), 0u)
        << log;
    const std::string last = "processing TFormMain.FormDestroy:\r\n";
    ASSERT_GE(log.size(), last.size());
    EXPECT_EQ(log.substr(log.size() - last.size()), last);
}

TEST_F(MainFormTest, CommandLineSizesInAnyOrderAndOpensTheArchive) {
    const std::string archive = WriteTracks("CMDLINE.POD", {TTrackFixture{}});
    TFormMain& main = Start({"-h300", archive, "-x5", "-W400"});
    EXPECT_TRUE(QTest::qWaitForWindowExposed(main.TrackView().ViewWindow(), kPatienceMs));
    EXPECT_EQ(main.TrackView().size().width(), 400);
    EXPECT_EQ(main.TrackView().size().height(), 300);
    EXPECT_TRUE(main.Session().Track().TrackLoaded);
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Dunmere GL v1.0.0 - Test Track (CMDLINE.POD)"));
    EXPECT_EQ(main.StatusText(4), QStringLiteral("400x300"));
    TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelWidth", 0), 400);
}

TEST_F(MainFormTest, CommandLineReportsAMissingArchiveAsOpenDoes) {
    const std::string missing = dir.Path() + "NOSUCH.POD";
    TFormMain& main = Start({"-h250", missing});
    EXPECT_EQ(main.TrackView().size().height(), 250);
    EXPECT_EQ(main.Session().Archive(), nullptr);
    ASSERT_EQ(dialogs->Errors.size(), 1u);
    dialogs->ArchiveAnswer = missing;
    Choose(main, TMainAction::OpenArchive);
    ASSERT_EQ(dialogs->Errors.size(), 2u);
    EXPECT_EQ(dialogs->Errors[1], dialogs->Errors[0]);
    EXPECT_FALSE(main.Menu(TMainMenu::View)->menuAction()->isEnabled());
}

TEST_F(MainFormTest, AQuitAskedForWhileAnOpenErrorIsShownEndsTheViewer) {
    // What a terminate signal does while the box is up: the box is answered, the window closed.
    TFormMain& main = Start();
    bool closedAtOnce = true;
    dialogs->OnError = [&] { closedAtOnce = main.close(); };
    dialogs->ArchiveAnswer = dir.Path() + "NOSUCH.POD";
    Choose(main, TMainAction::OpenArchive);
    ASSERT_EQ(dialogs->Errors.size(), 1u);
    EXPECT_FALSE(closedAtOnce) << "the open is still running under the box";
    WaitUntil([&] { return !main.isVisible(); });
    EXPECT_FALSE(main.isVisible());
}

TEST_F(MainFormTest, SizeCommandsWaitForATrackAndThenResizeTheView) {
    TFormMain& main = Start();
    QAction* qrx1 = main.Action(TMainAction::ViewSizeQrx1);
    EXPECT_FALSE(qrx1->isEnabled()) << "the View menu is disabled until a track is open";
    qrx1->trigger();
    EXPECT_EQ(main.TrackView().size(), QSize(640, 480));
    EXPECT_EQ(main.TrackView().FramesDrawn(), 0) << "nothing is drawn before a track is open";

    OpenAndWait(WriteTracks("SIZE.POD", {TTrackFixture{}}));
    qrx1->trigger();
    EXPECT_EQ(main.TrackView().size(), QSize(178, 126));
    EXPECT_EQ(main.StatusText(4), QStringLiteral("178x126"));
    Choose(main, TMainAction::ViewSize1024x768);
    EXPECT_EQ(main.TrackView().size(), QSize(1024, 768));
    TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelWidth", 0), 1024);
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelHeight", 0), 768);
}

TEST_F(MainFormTest, StatusSpacerTakesWhatTheOtherPanelsLeave) {
    TFormMain& main = Start();
    OpenAndWait(WriteTracks("SIZE.POD", {TTrackFixture{}}));
    Choose(main, TMainAction::ViewSize800x600);
    // The status bar is laid out again once the window system has the new size.
    const auto spacerWidth = [&main] {
        return main.statusBar()->width() - (400 + 60 + 50 + 60) - 40;
    };
    WaitUntil([&] { return main.StatusPanel(2)->width() == spacerWidth(); });
    const int expected = spacerWidth();
    EXPECT_EQ(main.StatusPanel(2)->width(), expected);
    EXPECT_EQ(main.StatusPanel(3)->x(), 400 + 60 + expected);
    EXPECT_EQ(main.StatusPanel(0)->width(), 400);
    EXPECT_EQ(main.statusBar()->height(), 19);
}

TEST_F(MainFormTest, CustomSizeRaisesSmallValuesAndKeepsCancelledOnes) {
    TFormMain& main = Start();
    OpenAndWait(WriteTracks("SIZE.POD", {TTrackFixture{}}));
    dialogs->TextAnswers = {std::string("10"), std::nullopt};
    Choose(main, TMainAction::CustomViewSize);
    EXPECT_EQ(main.TrackView().size(), QSize(60, 480));
    ASSERT_EQ(dialogs->Prompts.size(), 2u);
    EXPECT_EQ(dialogs->Prompts[0], "3d View|Please enter 3d view width|640");
    EXPECT_EQ(dialogs->Prompts[1], "3d View|Please enter 3d view height|480");

    dialogs->TextAnswers = {std::string("wide"), std::string("300")};
    Choose(main, TMainAction::CustomViewSize);
    EXPECT_EQ(main.TrackView().size(), QSize(60, 300));
}

TEST_F(MainFormTest, CustomSizeLargerThanTheScreenIsKeptWithinIt) {
    TFormMain& main = Start();
    OpenAndWait(WriteTracks("SIZE.POD", {TTrackFixture{}}));
    const QRect area = main.screen()->availableGeometry();
    dialogs->TextAnswers = {std::to_string(area.width() * 4), std::to_string(area.height() * 4)};
    Choose(main, TMainAction::CustomViewSize);
    // The window takes the whole free area, moved there from the centre where it started.
    ExpectWholeWindowOnScreenWithTheWidestView(main);
    EXPECT_EQ(main.frameGeometry().height(), area.height());
    TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelWidth", 0), main.TrackView().size().width());
    EXPECT_EQ(ini.ReadInteger("Preferences", "PanelHeight", 0), main.TrackView().size().height());
}

TEST_F(MainFormTest, MenuHoldsEveryEntryInOrder) {
    TFormMain& main = Start();
    QStringList titles;
    for (const QAction* action : main.menuBar()->actions()) {
        titles << action->text();
    }
    EXPECT_EQ(titles, (QStringList{"&File", "&View", "Camera", "&Help"}));
    EXPECT_EQ(
        EntryTexts(main.Menu(TMainMenu::File)),
        (QStringList{"Open...", "&Recent archives", "-", "Export glTF...", "Save map picture...",
                     "Record fly-through...", "Track report...", "Explore archive...", "-",
                     "Edit search paths ...", "Preferences ...", "-", "Quit"}));
    EXPECT_EQ(EntryTexts(main.Menu(TMainMenu::View)), (QStringList{"Resize to ...",
                                                                   "-",
                                                                   "Toggle ground boxes",
                                                                   "Toggle objects",
                                                                   "Toggle water",
                                                                   "Toggle checkpoints",
                                                                   "-",
                                                                   "Toggle backdrop",
                                                                   "Toggle area shape",
                                                                   "Skybox",
                                                                   "-",
                                                                   "Increase draw distance\tNum +",
                                                                   "Decrease draw distance\tNum -",
                                                                   "Reset background offset",
                                                                   "-",
                                                                   "Adjust water display ...",
                                                                   "High tide",
                                                                   "-",
                                                                   "Take JPG screenshot ...",
                                                                   "-",
                                                                   "Minimap",
                                                                   "Show frame rate",
                                                                   "-",
                                                                   "Reload track",
                                                                   "Reload when files change"}));
    EXPECT_EQ(EntryTexts(main.Menu(TMainMenu::ResizeTo)),
              (QStringList{"320 x 240", "640 x 480", "800 x 600", "1024 x 768", "-",
                           "178 x 126 (QRX1)", "257 x 210 (QRX2)", "-", "Custom ..."}));
    EXPECT_EQ(EntryTexts(main.Menu(TMainMenu::Skybox)),
              (QStringList{"Next skybox", "-", "None", "Clear", "Cloudy", "Dusk", "Night"}));
    EXPECT_EQ(EntryTexts(main.Menu(TMainMenu::Camera)), (QStringList{"Follow terrain",
                                                                     "-",
                                                                     "Save location 1",
                                                                     "Save location 2",
                                                                     "Save location 3",
                                                                     "Save location 4",
                                                                     "Save location 5",
                                                                     "Save default location",
                                                                     "-",
                                                                     "Restore location 1",
                                                                     "Restore location 2",
                                                                     "Restore location 3",
                                                                     "Restore location 4",
                                                                     "Restore location 5",
                                                                     "Restore default location",
                                                                     "-",
                                                                     "Map view (toggle)",
                                                                     "Reset map view",
                                                                     "-",
                                                                     "Fly-through",
                                                                     "Add camera as keyframe",
                                                                     "Remove last keyframe",
                                                                     "Clear keyframes",
                                                                     "Save path...",
                                                                     "Load path...",
                                                                     "-",
                                                                     "Pick"}));
    EXPECT_EQ(
        EntryTexts(main.Menu(TMainMenu::FollowTerrain)),
        (QStringList{"Activate", "-", "Follow ground boxes", "Follow water", "Steering mode"}));
    EXPECT_EQ(EntryTexts(main.Menu(TMainMenu::Help)),
              (QStringList{"Readme.txt ...", "Keyboard layout ...", "About Dunmere GL ...", "-",
                           "Test FPS"}));

    EXPECT_EQ(main.Action(TMainAction::OpenArchive)->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(main.Action(TMainAction::EditPreferences)->shortcut(),
              QKeySequence(QStringLiteral("F12")));
    EXPECT_EQ(main.Action(TMainAction::NextSky)->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(main.Action(TMainAction::ToggleAreaShape)->shortcut(),
              QKeySequence(QStringLiteral("S")));
    EXPECT_EQ(main.Action(SaveLocationAction(3))->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+3")));
    EXPECT_EQ(main.Action(RestoreLocationAction(0))->shortcut(), QKeySequence(QStringLiteral("0")));
    EXPECT_EQ(main.Action(TMainAction::ToggleMapView)->shortcut(),
              QKeySequence(QStringLiteral("9")));
    EXPECT_EQ(main.Action(TMainAction::ResetMapView)->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+9")));
    EXPECT_EQ(main.Action(TMainAction::TestFrameRate)->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+F1")));
    EXPECT_TRUE(main.Action(TMainAction::IncreaseDrawDistanceLabel)->shortcut().isEmpty());
    EXPECT_TRUE(main.Action(TMainAction::DecreaseDrawDistanceLabel)->shortcut().isEmpty());
    EXPECT_TRUE(main.Action(SkyPresetAction(1))->isChecked());
    EXPECT_TRUE(main.Action(TMainAction::ToggleFollowGroundBoxes)->isChecked());
    EXPECT_TRUE(main.Action(TMainAction::ToggleFollowWater)->isChecked());
    EXPECT_TRUE(main.Action(TMainAction::ToggleSteeringMode)->isChecked());
    EXPECT_FALSE(main.Menu(TMainMenu::FollowTerrain)->menuAction()->isChecked());
    EXPECT_FALSE(main.Action(TMainAction::ToggleHighTide)->isChecked());
}

TEST_F(MainFormTest, EveryEntryHasTheShortcutOfTheMenuTableAndNoOtherEntryHasOne) {
    TFormMain& main = Start();
    const std::map<TMainAction, QString> shortcuts{
        {TMainAction::OpenArchive, "Ctrl+O"},    {TMainAction::EditPreferences, "F12"},
        {TMainAction::ToggleGroundBoxes, "B"},   {TMainAction::CycleObjects, "O"},
        {TMainAction::ToggleWater, "W"},         {TMainAction::ToggleCheckpoints, "C"},
        {TMainAction::ToggleBackdrop, "D"},      {TMainAction::ToggleAreaShape, "S"},
        {TMainAction::NextSky, "Ctrl+S"},        {TMainAction::EditWaterColour, "Ctrl+W"},
        {TMainAction::SaveScreenshot, "Ctrl+J"}, {TMainAction::ToggleFollowTerrain, "Ctrl+F"},
        {TMainAction::SaveLocation1, "Ctrl+1"},  {TMainAction::SaveLocation2, "Ctrl+2"},
        {TMainAction::SaveLocation3, "Ctrl+3"},  {TMainAction::SaveLocation4, "Ctrl+4"},
        {TMainAction::SaveLocation5, "Ctrl+5"},  {TMainAction::SaveDefaultLocation, "Ctrl+0"},
        {TMainAction::RestoreLocation1, "1"},    {TMainAction::RestoreLocation2, "2"},
        {TMainAction::RestoreLocation3, "3"},    {TMainAction::RestoreLocation4, "4"},
        {TMainAction::RestoreLocation5, "5"},    {TMainAction::RestoreDefaultLocation, "0"},
        {TMainAction::ToggleMapView, "9"},       {TMainAction::ResetMapView, "Ctrl+9"},
        {TMainAction::TestFrameRate, "Ctrl+F1"}, {TMainAction::Quit, "Ctrl+Q"},
        {TMainAction::ToggleMinimap, "M"},       {TMainAction::ReloadTrack, "F5"},
    };
    for (int i = 0; i < kMainActionCount; ++i) {
        const auto action = static_cast<TMainAction>(i);
        const auto found = shortcuts.find(action);
        const QKeySequence expected =
            found == shortcuts.end() ? QKeySequence() : QKeySequence(found->second);
        const QKeySequence shortcut = main.Action(action)->shortcut();
        EXPECT_EQ(shortcut, expected) << main.Action(action)->text().toStdString() << ": "
                                      << shortcut.toString().toStdString();
    }
}

TEST_F(MainFormTest, LoaderMessagesReachTheUserThroughTheWindow) {
    Start();
    Messages().ShowMessage("Too many backdrops", "Track");
    ASSERT_EQ(dialogs->Messages.size(), 1u);
    EXPECT_EQ(dialogs->Messages[0].Text, "Too many backdrops");
    EXPECT_EQ(dialogs->Messages[0].Caption, "Track");
}

TEST_F(MainFormTest, TestFpsWithoutTrackSaysNothingWasDrawn) {
    TFormMain& main = Start();
    Choose(main, TMainAction::TestFrameRate);
    ASSERT_EQ(dialogs->Messages.size(), 1u);
    EXPECT_EQ(dialogs->Messages[0].Text, "No frames were drawn.");
}

TEST_F(MainFormTest, HelpCommandsOpenTheirWindows) {
    TFormMain& main = Start();
    Choose(main, TMainAction::ShowReadme);
    Choose(main, TMainAction::ShowKeyboardLayout);
    Choose(main, TMainAction::ShowAbout);
    EXPECT_EQ(dialogs->HelpWindows, (std::vector<std::string>{"readme", "keyboard", "about"}));
}

TEST_F(MainFormTest, EditingSearchPathsRebuildsTheFinderFolders) {
    TFormMain& main = Start();
    dialogs->OnSearchPaths = [](TStringList& paths) {
        paths = {"/games/qrx1", "", "/games/qrx2", "", ""};
        return true;
    };
    Choose(main, TMainAction::EditSearchPaths);
    EXPECT_EQ(main.Session().Finder().SearchFolders,
              (TStringList{dir.Path() + "data", "/games/qrx1", "", "/games/qrx2", "", ""}));
}

TEST_F(MainFormTest, ConfirmedPreferencesRelabelTheScreenshotEntry) {
    TFormMain& main = Start();
    dialogs->OnPreferences = [](TDMGLPrefs& prefs) {
        prefs.ScreenshotFormat = "TGA";
        prefs.HideObjectsWhileMovingFor = 1500;
        return true;
    };
    Choose(main, TMainAction::EditPreferences);
    EXPECT_EQ(main.Action(TMainAction::SaveScreenshot)->text(),
              QStringLiteral("Take TGA screenshot ..."));
    EXPECT_EQ(main.Session().View().HideObjectsWhileMovingFor, 1500);

    dialogs->OnPreferences = [](TDMGLPrefs& prefs) {
        prefs.ScreenshotFormat = "BMP";
        return false;
    };
    Choose(main, TMainAction::EditPreferences);
    EXPECT_EQ(main.Action(TMainAction::SaveScreenshot)->text(),
              QStringLiteral("Take TGA screenshot ..."));
}
