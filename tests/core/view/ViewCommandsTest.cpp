#include "core/view/ViewCommands.h"

#include "core/settings/IniFile.h"
#include "tools/PodWriter.h"

#include <chrono>
#include <gtest/gtest.h>
#include <set>

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

TEST(Layers, ObjectsCycleThroughTheirThreeLetters) {
    TDisplaySettings display;
    display.ObjectsMode = 0;
    std::string letters;
    for (int k = 0; k < 3; ++k) {
        ToggleObjects(display);
        letters += LayerStatusText(display)[3];
    }
    EXPECT_EQ(letters, "oO-");
    EXPECT_EQ(display.ObjectsMode, 0);
}

TEST(Layers, LettersShowEachLayerInItsPlace) {
    TDisplaySettings display;
    ResetDisplayForTrackOpen(display, true);
    EXPECT_EQ(LayerStatusText(display), "B-Wo--");
    ToggleGroundBoxes(display);
    EXPECT_EQ(LayerStatusText(display), "--Wo--");
    ToggleWater(display);
    ToggleCheckpoints(display);
    EXPECT_EQ(LayerStatusText(display), "---o-C");
    ToggleObjects(display);
    ToggleGroundBoxes(display);
    EXPECT_EQ(LayerStatusText(display), "B--O-C");
}

TEST(Layers, BackdropAreaShapeHighTideAndBackgroundResetLeaveTheLettersAlone) {
    TViewState state;
    state.BackgroundOffset = 3;
    const std::string before = LayerStatusText(state.Display);
    ToggleBackdrop(state.Display);
    ToggleAreaShape(state.Display);
    ToggleHighTide(state.Display);
    ResetBackgroundOffset(state);
    EXPECT_EQ(LayerStatusText(state.Display), before);
    EXPECT_FALSE(state.Display.ShowBackdrop);
    EXPECT_EQ(state.Display.AreaShape, TAreaShape::Square);
    EXPECT_TRUE(state.Display.HighTide);
    EXPECT_EQ(state.BackgroundOffset, 0);
    ToggleAreaShape(state.Display);
    EXPECT_EQ(state.Display.AreaShape, TAreaShape::Circle);
}

TEST(Sky, NightDarkensNextGoesToNoneAndATrackOpenBringsBackClear) {
    TDisplaySettings display;
    SelectSkyPreset(display, 4);
    EXPECT_EQ(display.SkyType, 4);
    EXPECT_FLOAT_EQ(display.GlobalTint.r, 0.3f);
    EXPECT_FLOAT_EQ(display.GlobalTint.g, 0.3f);
    EXPECT_FLOAT_EQ(display.GlobalTint.b, 0.3f);

    NextSkyPreset(display);
    EXPECT_EQ(display.SkyType, 0);
    EXPECT_FLOAT_EQ(display.GlobalTint.r, 1.0f);

    SelectSkyPreset(display, 3);
    ResetDisplayForTrackOpen(display, false);
    EXPECT_EQ(display.SkyType, 1);
    EXPECT_FLOAT_EQ(display.GlobalTint.r, 1.0f);
    EXPECT_FLOAT_EQ(display.GlobalTint.g, 1.0f);
    EXPECT_FLOAT_EQ(display.GlobalTint.b, 1.0f);
}

TEST(Sky, NextRunsThroughEveryPresetInOrder) {
    TDisplaySettings display;
    SelectSkyPreset(display, 0);
    std::string captions;
    for (int k = 0; k < 5; ++k) {
        NextSkyPreset(display);
        captions += std::string(kSkyPresets[static_cast<size_t>(display.SkyType)].Caption) + " ";
    }
    EXPECT_EQ(captions, "Clear Cloudy Dusk Night None ");
    SelectSkyPreset(display, 3);
    EXPECT_FLOAT_EQ(display.GlobalTint.r, 0.8f);
    EXPECT_FLOAT_EQ(display.GlobalTint.g, 0.7f);
    EXPECT_FLOAT_EQ(display.GlobalTint.b, 0.6f);
}

TEST(TrackOpen, ResetsDisplayAndCameraButKeepsAreaShapeAndHighTide) {
    TViewState state;
    state.Camera = TCameraPos{1, 2, 3, 4, 5, 6, 7};
    state.ViewDistance = 200;
    state.BackgroundOffset = -4;
    state.MapCamera.Heading = 17;
    state.Display.ObjectsMode = 2;
    state.Display.ShowCheckpoints = true;
    state.Display.ShowWater = false;
    state.Display.ShowGroundBoxes = false;
    state.Display.ShowBackdrop = false;
    state.Display.AreaShape = TAreaShape::Square;
    state.Display.HighTide = true;
    SelectSkyPreset(state.Display, 4);

    EXPECT_TRUE(ResetViewForTrackOpen(state, 60, false).UpdateProjection);
    EXPECT_EQ(state.Camera.TransY, -3);
    EXPECT_EQ(state.Camera.Tilt, 25);
    EXPECT_EQ(state.Camera.FOV, 60);
    EXPECT_EQ(state.ViewDistance, 60);
    EXPECT_EQ(state.BackgroundOffset, 0);
    EXPECT_EQ(state.MapCamera.Heading, 90);
    EXPECT_EQ(LayerStatusText(state.Display), "B-W---");
    EXPECT_TRUE(state.Display.ShowBackdrop);
    EXPECT_EQ(state.Display.SkyType, 1);
    EXPECT_FLOAT_EQ(state.Display.GlobalTint.b, 1.0f);
    EXPECT_EQ(state.Display.AreaShape, TAreaShape::Square);
    EXPECT_TRUE(state.Display.HighTide);
}

TEST(TrackOpen, LeavesTheMapViewWithoutBringingBackTheFreeCamera) {
    TViewState state;
    state.Display.AreaShape = TAreaShape::Circle;
    state.Camera.TransX = 5;
    state.MapView = true;
    ResetViewForTrackOpen(state, 50, true);
    EXPECT_FALSE(state.MapView);
    EXPECT_NE(state.Camera.TransX, 5);
    EXPECT_EQ(state.Display.AreaShape, TAreaShape::Square);
    EXPECT_EQ(state.Display.ObjectsMode, 1);
}

TEST(FrameRate, TwentyFramesInFourFifthsOfASecondShow25) {
    EXPECT_EQ(FpsMessage(kFpsTestFrames, 0.8), "25.0 frames per second");
    EXPECT_EQ(FpsMessage(kFpsTestFrames, 3.0), "6.7 frames per second");
    EXPECT_EQ(FpsMessage(kFpsTestFrames, 0.0), "No frames were drawn.");
    EXPECT_EQ(FpsMessage(0, 1.5), "No frames were drawn.");
}

TEST(PositionText, ShowsMapAndLevelUnitsWithDegreeSigns) {
    EXPECT_EQ(PositionStatusText(TCameraPos{}),
              "POS: (x=127.5, y=127.5, alt=765.0) HDG: 0.0\xC2\xB0 TLT: -25.0\xC2\xB0 "
              "FOV: 60.0\xC2\xB0");
    const TCameraPos moved{8, -0.5f, -8, -12.25f, 45, 0, 33.3f};
    EXPECT_EQ(PositionStatusText(moved),
              "POS: (x=255.0, y=0.0, alt=127.5) HDG: 315.0\xC2\xB0 TLT: 12.2\xC2\xB0 "
              "FOV: 33.3\xC2\xB0");
}

TEST(PositionText, HeadingIsShownWithinAFullTurnAndZeroHasNoSign) {
    TCameraPos camera;
    camera.Heading = 500;
    camera.Tilt = 0;
    camera.TransY = 0;
    const std::string text = PositionStatusText(camera);
    EXPECT_NE(text.find("HDG: 50.0\xC2\xB0"), std::string::npos) << text;
    EXPECT_NE(text.find("TLT: 0.0\xC2\xB0"), std::string::npos) << text;
    EXPECT_NE(text.find("alt=0.0)"), std::string::npos) << text;
    camera.Heading = -725;
    EXPECT_NE(PositionStatusText(camera).find("HDG: 265.0"), std::string::npos);
}

TEST(FullFrame, APauseLongerThanThePreferenceBringsTheObjectsBack) {
    EXPECT_FALSE(FullFrameDue(milliseconds(1400), 500)); // h + m + s = 1, ms = 400
    EXPECT_TRUE(FullFrameDue(milliseconds(600), 500));
    EXPECT_TRUE(FullFrameDue(milliseconds(700), 500));
    EXPECT_FALSE(FullFrameDue(milliseconds(300), 500));
    EXPECT_FALSE(FullFrameDue(milliseconds(500), 500));
    EXPECT_FALSE(FullFrameDue(milliseconds(1900), 1500));
    EXPECT_TRUE(FullFrameDue(milliseconds(2000), 1500));
    EXPECT_TRUE(FullFrameDue(milliseconds(61200), 500)); // one minute and one second
    EXPECT_TRUE(FullFrameDue(std::chrono::hours(24), 500));
}

TEST(FullFrame, HidingOffMakesEveryFrameFull) {
    EXPECT_TRUE(FullFrameDue(milliseconds(0), -1));
    EXPECT_TRUE(FullFrameDue(milliseconds(1000), -1));
}

TEST(Captions, NameTheVersionTrackAndArchive) {
    EXPECT_EQ(MainCaption("1.0.0"), "Dunmere GL v1.0.0");
    EXPECT_EQ(TrackCaption("1.0.0", "Hill Climb", "/home/me/tracks/hill.pod"),
              "Dunmere GL v1.0.0 - Hill Climb (HILL.POD)");
    // Neither part is a format.
    EXPECT_EQ(TrackCaption("2.%s", "100%d", "x.pod"), "Dunmere GL v2.%s - 100%d (X.POD)");
    EXPECT_EQ(TrackCaption("1.0.0", "Caf\xE9", "/t/caf.pod"),
              "Dunmere GL v1.0.0 - Caf\xC3\xA9 (CAF.POD)");
}

TEST(JoinLines, ShowsAtMostTheMaximumAndMarksWhatWasLeftOut) {
    TStringList lines;
    for (int k = 1; k <= 12; ++k) {
        lines.push_back("w" + std::to_string(k));
    }
    TStringList ten(lines.begin(), lines.begin() + 10);
    TStringList eleven(lines.begin(), lines.begin() + 11);
    const std::string firstTen = "w1\r\nw2\r\nw3\r\nw4\r\nw5\r\nw6\r\nw7\r\nw8\r\nw9\r\nw10";
    EXPECT_EQ(JoinLines(ten, "\r\n", 10, "..."), firstTen);
    EXPECT_EQ(JoinLines(eleven, "\r\n", 10, "..."), firstTen + "\r\n...");
    EXPECT_EQ(JoinLines(lines, "\r\n", 10, "..."), firstTen + "\r\n...");
    EXPECT_EQ(JoinLines(lines, ", ", -1, "..."),
              "w1, w2, w3, w4, w5, w6, w7, w8, w9, w10, w11, w12");
    EXPECT_EQ(JoinLines(eleven, "|", 2, ""), "w1|w2");
    EXPECT_EQ(JoinLines({}, "|", 10, "..."), "");
}

TEST(CommandLine, SizeOptionsAndAnArchiveInAnyOrder) {
    const std::set<std::string> files{"/data/track.pod", "/data/other.pod"};
    const auto exists = [&](const std::string& path) { return files.count(path) > 0; };

    const TCommandLine a =
        ParseCommandLine({"-W1024", "/data/track.pod", "-H768", "-x5"}, 640, 480, exists);
    EXPECT_EQ(a.Width, 1024);
    EXPECT_EQ(a.Height, 768);
    EXPECT_EQ(a.Archive, "/data/track.pod");

    const TCommandLine b = ParseCommandLine({"/data/track.pod", "-h768", "-w800"}, 1, 2, exists);
    EXPECT_EQ(b.Width, 800);
    EXPECT_EQ(b.Height, 768);
    EXPECT_EQ(b.Archive, "/data/track.pod");
}

TEST(CommandLine, LaterArgumentsWinAndOthersAreIgnored) {
    const std::set<std::string> files{"/a.pod", "/b.pod", "-W5"};
    const auto exists = [&](const std::string& path) { return files.count(path) > 0; };
    const TCommandLine line = ParseCommandLine(
        {"/a.pod", "-W300", "/missing.pod", "/b.pod", "-W400", "-Wabc", "-H", "-", "", "-W5"}, 640,
        480, exists);
    EXPECT_EQ(line.Width, 400); // "-W5" names an existing file
    EXPECT_EQ(line.Height, 480);
    EXPECT_EQ(line.Archive, "-W5");

    // A missing archive is kept, for opening it to say so; a missing "-x" is no archive.
    const TCommandLine missing = ParseCommandLine({"/missing.pod", "-x.pod"}, 640, 480, exists);
    EXPECT_EQ(missing.Archive, "/missing.pod");
    EXPECT_EQ(missing.Width, 640);
}

TEST(CommandLine, HelpAndVersionWinOverEverythingElseInTheirOrder) {
    const auto none = [](const std::string&) { return false; };
    EXPECT_EQ(CheckCommandLine({"--help"}, none).Request, TCommandLineRequest::ShowHelp);
    EXPECT_EQ(CheckCommandLine({"--version"}, none).Request, TCommandLineRequest::ShowVersion);
    EXPECT_EQ(CheckCommandLine({"-W800", "--version", "--help"}, none).Request,
              TCommandLineRequest::ShowVersion);
    // Qt's own options are still in the list when help is looked for.
    EXPECT_EQ(CheckCommandLine({"--platform", "xcb", "--help"}, none).Request,
              TCommandLineRequest::ShowHelp);
    EXPECT_EQ(CheckCommandLine({"-W800", "-h"}, none).Request, TCommandLineRequest::ShowHelp);
    EXPECT_EQ(CheckCommandLine({"-V", "--help"}, none).Request, TCommandLineRequest::ShowVersion);
}

TEST(CommandLine, ASizeWithoutAWholeNumberIsRefusedByName) {
    const std::set<std::string> files{"-Wide.pod"};
    const auto exists = [&](const std::string& path) { return files.count(path) > 0; };
    for (const char* bad : {"-W", "-Wabc", "-H", "-h2.5", "-w"}) {
        const TCommandLineCheck check = CheckCommandLine({"-W800", bad, "-Wxyz"}, exists);
        EXPECT_EQ(check.Request, TCommandLineRequest::BadSize) << bad;
        EXPECT_EQ(check.Option, bad);
    }
    EXPECT_EQ(ViewerRefusalText({TCommandLineRequest::BadSize, "-wabc"}),
              "dunmeregl: '-wabc' needs a whole number of pixels, as in -W800\n"
              "Try 'dunmeregl --help'.\n");
    EXPECT_EQ(CheckCommandLine({"-Wide.pod", "-h768", "-W-5"}, exists).Request,
              TCommandLineRequest::OpenViewer);
}

TEST(CommandLine, UnknownDoubleDashOptionsAreNamedButArchivesAndShortOptionsAreNot) {
    const std::set<std::string> files{"--odd name.pod"};
    const auto exists = [&](const std::string& path) { return files.count(path) > 0; };

    const TCommandLineCheck unknown = CheckCommandLine({"-W800", "--width=3", "--x"}, exists);
    EXPECT_EQ(unknown.Request, TCommandLineRequest::UnknownOption);
    EXPECT_EQ(unknown.Option, "--width=3");

    const TCommandLineCheck viewer =
        CheckCommandLine({"--odd name.pod", "-x5", "-", "", "/missing.pod"}, exists);
    EXPECT_EQ(viewer.Request, TCommandLineRequest::OpenViewer);
    EXPECT_EQ(viewer.Option, "");
    EXPECT_EQ(CheckCommandLine({}, exists).Request, TCommandLineRequest::OpenViewer);

    // "--" ends the options: what follows is left to the window, as before.
    EXPECT_EQ(CheckCommandLine({"--", "--help", "--x"}, exists).Request,
              TCommandLineRequest::OpenViewer);
}

TEST(CommandLine, UsageNamesEveryArgumentAndVersionTheProgram) {
    const std::string usage = ViewerUsageText();
    EXPECT_EQ(usage.rfind("Usage: dunmeregl [-W<width>] [-H<height>] [ARCHIVE.POD]\n", 0), 0u);
    for (const char* part : {"-W<width>", "-H<height>", "ARCHIVE.POD", "--help", "--version"}) {
        EXPECT_NE(usage.find(std::string("\n  ") + part), std::string::npos) << part;
    }
    EXPECT_EQ(usage.back(), '\n');
    EXPECT_EQ(ViewerVersionText("1.0.0.0"), "dunmeregl (Dunmere GL) 1.0.0.0");
}

TEST(ViewSize, AScaledDesktopStoresTheSizeItRead) {
    // Twice the pixels to a window unit: 640 x 480 pixels are a view of 320 x 240 units.
    EXPECT_EQ(ViewSizeInWindowUnits({640, 480}, 2), (TViewSize{320, 240}));
    EXPECT_EQ(ViewPixelsShown({640, 480}, {320, 240}, 2), (TViewSize{640, 480}));
    // A scale that rounds: 641 pixels at 1.5 are 427 units, and give back 641, not 640.5.
    EXPECT_EQ(ViewPixelsShown({641, 481}, ViewSizeInWindowUnits({641, 481}, 1.5), 1.5),
              (TViewSize{641, 481}));
    // A window that could not give what was asked for, or was dragged: what it shows.
    EXPECT_EQ(ViewPixelsShown({640, 480}, {320, 237}, 2), (TViewSize{640, 474}));
    EXPECT_EQ(ViewPixelsShown({640, 480}, {640, 480}, 1), (TViewSize{640, 480}));
}

TEST(CustomSize, NonIntegersKeepTheValueAndSmallOnesAreRaised) {
    EXPECT_EQ(CustomSizeValue(std::string("10"), 640, kMinCustomWidth), 60);
    EXPECT_EQ(CustomSizeValue(std::string("20"), 480, kMinCustomHeight), 48);
    EXPECT_EQ(CustomSizeValue(std::string("800"), 640, kMinCustomWidth), 800);
    EXPECT_EQ(CustomSizeValue(std::string("wide"), 640, kMinCustomWidth), 640);
    EXPECT_EQ(CustomSizeValue(std::nullopt, 640, kMinCustomWidth), 640);
    EXPECT_EQ(CustomSizeValue(std::nullopt, 30, kMinCustomWidth), 60);
}

TEST(ViewSize, AViewTooLargeForTheScreenLeavesRoomForTheWindowAroundIt) {
    const TViewSize screen{1920, 1040};
    const TViewSize around{10, 90}; // frame, menu bar and status bar
    EXPECT_EQ(FitViewSize({50000, 30}, screen, around), (TViewSize{1910, kMinCustomHeight}));
    EXPECT_EQ(FitViewSize({1910, 950}, screen, around), (TViewSize{1910, 950}));
    EXPECT_EQ(FitViewSize({1911, 951}, screen, around), (TViewSize{1910, 950}));
    EXPECT_EQ(FitViewSize({640, 480}, screen, around), (TViewSize{640, 480}));
    EXPECT_EQ(FitViewSize({-5, 0}, screen, around), (TViewSize{kMinCustomWidth, kMinCustomHeight}));
}

TEST(ViewSize, OnAScreenTooSmallForTheMinimumTheMinimumWins) {
    EXPECT_EQ(FitViewSize({800, 600}, {100, 100}, {50, 60}),
              (TViewSize{kMinCustomWidth, kMinCustomHeight}));
    EXPECT_EQ(FitViewSize({800, 600}, {0, 0}, {0, 0}),
              (TViewSize{kMinCustomWidth, kMinCustomHeight}));
}

TEST(StatusBar, SpacerTakesTheRestAndSizeTextIsWidthByHeight) {
    EXPECT_EQ(StatusPanel2Width(700, 400, 60, 50, 60), 90);
    EXPECT_EQ(StatusPanel2Width(500, 400, 60, 50, 60), 0);
    EXPECT_EQ(ViewSizeText(640, 480), "640x480");
}

TEST(WaterColor, WrittenInFixedColumnsAndReadBack) {
    const std::string text = FormatWaterColor({5, 20, 3, 7});
    EXPECT_EQ(text, "5  |20 |3  |  7");
    EXPECT_EQ(ParseWaterColorChannels(text), (std::array<int, 4>{5, 20, 3, 7}));
    EXPECT_EQ(DefaultWaterColorText(), "100|120|150|220");
    EXPECT_EQ(ParseWaterColorChannels("255|0  |128|255"), (std::array<int, 4>{255, 0, 128, 255}));

    const TColor4 color = WaterColorFromChannels({255, 0, 51, 102});
    EXPECT_FLOAT_EQ(color.r, 1.0f);
    EXPECT_FLOAT_EQ(color.g, 0.0f);
    EXPECT_FLOAT_EQ(color.b, 0.2f);
    EXPECT_FLOAT_EQ(color.a, 0.4f);
}

TEST(WaterColor, MalformedValuesFallBackToTheDefault) {
    EXPECT_EQ(ParseWaterColorChannels("blue"), kDefaultWaterChannels);
    EXPECT_EQ(ParseWaterColorChannels("5  |xx |3  |  7"), kDefaultWaterChannels);
    EXPECT_EQ(ParseWaterColorChannels("5,20,3,7"), kDefaultWaterChannels);
    EXPECT_EQ(ParseWaterColorChannels("5  |20 |3"), kDefaultWaterChannels);
    EXPECT_EQ(ParseWaterColorChannels(""), kDefaultWaterChannels);
    EXPECT_EQ(ParseWaterColorChannels("999|-5 |3  |  7"), (std::array<int, 4>{255, 0, 3, 7}));
}

TEST(WaterColor, ReadsTheIniValueOrTheDefault) {
    TTempDir dir;
    TIniFile ini(dir.Path() + "DunmereGL.ini");
    const TColor4 fallback = ReadWaterColor(ini);
    EXPECT_FLOAT_EQ(fallback.r, 100 / 255.0f);
    EXPECT_FLOAT_EQ(fallback.g, 120 / 255.0f);
    EXPECT_FLOAT_EQ(fallback.b, 150 / 255.0f);
    EXPECT_FLOAT_EQ(fallback.a, 220 / 255.0f);

    ini.WriteString("Preferences", kWaterColorKey, FormatWaterColor({5, 20, 3, 7}));
    const TColor4 stored = ReadWaterColor(ini);
    EXPECT_FLOAT_EQ(stored.r, 5 / 255.0f);
    EXPECT_FLOAT_EQ(stored.a, 7 / 255.0f);
}

TEST(Screenshot, ProposesTheTrackNameWithOnlyPlainCharacters) {
    EXPECT_EQ(ProposedScreenshotName("<unnamed track>", "JPG"), "unnamed track.JPG");
    EXPECT_EQ(ProposedScreenshotName("Hill-Climb_2 (v1.0)!", "PNG"), "Hill-Climb_2 v10.PNG");
    EXPECT_EQ(ProposedScreenshotName("Caf\xE9", "BMP"), "Caf.BMP");
    EXPECT_EQ(ProposedScreenshotName("<*>?", "PNG"), ".PNG");
    EXPECT_EQ(ScreenshotCaption("JPG"), "Take JPG screenshot ...");
}

TEST(Screenshot, AddsTheFormatsExtensionUnlessTheNameEndsWithIt) {
    EXPECT_EQ(ScreenshotFileName("shot", "PNG"), "shot.PNG");
    EXPECT_EQ(ScreenshotFileName("shot.jpg", "JPG"), "shot.jpg");
    EXPECT_EQ(ScreenshotFileName("shot.JPG", "JPG"), "shot.JPG");
    EXPECT_EQ(ScreenshotFileName("shot.jpeg", "JPG"), "shot.jpeg.JPG");
    EXPECT_EQ(ScreenshotFileName("shot.png", "JPG"), "shot.png.JPG");
    EXPECT_EQ(ScreenshotFileName("a", "TGA"), "a.TGA");
}

TEST(Screenshot, FilterEntryFollowsTheFormat) {
    EXPECT_EQ(ScreenshotFilterIndex("JPG"), 1);
    EXPECT_EQ(ScreenshotFilterIndex("PNG"), 2);
    EXPECT_EQ(ScreenshotFilterIndex("TGA"), 3);
    EXPECT_EQ(ScreenshotFilterIndex("BMP"), 4);
    EXPECT_EQ(ScreenshotFilterIndex("GIF"), 1);
}

} // namespace
