#include "core/view/CameraLocations.h"

#include "GridFixture.h"
#include "core/settings/IniFile.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

namespace {

const std::string kDefaultLocation =
    "0.00    |-3.00   |0.00    |25.00   |90.00   |0.00    |60.00   |50      ";

class CameraLocation : public TGridTest {
protected:
    TTempDir dir;
    TIniFile ini{dir.Path() + "DunmereGL.ini"};
};

void ExpectCamera(const TCameraPos& c, float x, float y, float z, float tilt, float heading,
                  float roll, float fov) {
    EXPECT_FLOAT_EQ(c.TransX, x);
    EXPECT_FLOAT_EQ(c.TransY, y);
    EXPECT_FLOAT_EQ(c.TransZ, z);
    EXPECT_FLOAT_EQ(c.Tilt, tilt);
    EXPECT_FLOAT_EQ(c.Heading, heading);
    EXPECT_FLOAT_EQ(c.Roll, roll);
    EXPECT_FLOAT_EQ(c.FOV, fov);
}

TEST(CameraLocationText, FormatsFixedFieldsOf71Characters) {
    const std::string text = FormatCameraLocation(TCameraPos{}, 50);
    EXPECT_EQ(text, kDefaultLocation);
    EXPECT_EQ(text.size(), 71u);
    const std::string other =
        FormatCameraLocation(TCameraPos{-7.125f, 1.999f, 3.14159f, -12.5f, 359.996f, 4, 45}, 128);
    EXPECT_EQ(other, "-7.125  |1.999   |3.14159 |-12.50  |359.996 |4.00    |45.00   |128     ");
    // A field keeps its width, and with it every later field's position, by giving up digits.
    const std::string wide =
        FormatCameraLocation(TCameraPos{-7.1234567f, 0.1f, -0.0001f, 0, -123.456789f, 0, 60}, 7);
    EXPECT_EQ(wide, "-7.12346|0.10    |-0.0001 |0.00    |-123.457|0.00    |60.00   |7       ");
}

TEST(CameraLocationText, WritingWhatWasReadGivesTheSameText) {
    // Values that need more digits than a field holds; a full field must not end in a digit
    // that reads back no closer, or saving an unmoved camera changes the stored text.
    const TCameraPos camera{-0.032102f, -8.2117033f,  -675.96033f, 0.0349999f,
                            1234.5678f, -0.00012345f, 9999.0f};
    const std::string written = FormatCameraLocation(camera, 50);
    EXPECT_EQ(written, "-0.0321 |-8.2117 |-675.96 |0.035   |1234.568|-0.00012|9999.00 |50      ");
    for (float step = 0.000123f, value = -100.0f; value < 100.0f; value += step, step *= 1.001f) {
        const TCameraPos one{value, value * 7.0f, value / 3.0f, 0, 0, 0, 45};
        const auto parsed = ParseCameraLocation(FormatCameraLocation(one, 50));
        ASSERT_TRUE(parsed.has_value());
        const std::string first = FormatCameraLocation(parsed->Camera, 50);
        const auto again = ParseCameraLocation(first);
        ASSERT_TRUE(again.has_value());
        ASSERT_EQ(FormatCameraLocation(again->Camera, 50), first) << "value " << value;
    }
}

TEST(CameraLocationText, ParsesByFixedPositionsIgnoringBlanks) {
    const auto parsed = ParseCameraLocation(Trim(kDefaultLocation));
    ASSERT_TRUE(parsed);
    ExpectCamera(parsed->Camera, 0, -3, 0, 25, 90, 0, 60);
    EXPECT_EQ(parsed->ViewDistance, 50);

    const auto spaced =
        ParseCameraLocation("  1.5   |   -2   |3       | 4      |5       |6       |7       |  12");
    ASSERT_TRUE(spaced);
    ExpectCamera(spaced->Camera, 1.5f, -2, 3, 4, 5, 6, 7);
    EXPECT_EQ(spaced->ViewDistance, 12);
}

TEST(CameraLocationText, OlderFormsStopAfterTheFieldOfViewOrCountIn32s) {
    const std::string sevenFields = kDefaultLocation.substr(0, 62);
    const auto old = ParseCameraLocation(sevenFields);
    ASSERT_TRUE(old);
    EXPECT_FALSE(old->ViewDistance);
    EXPECT_FLOAT_EQ(old->Camera.FOV, 60);

    const auto decimal = ParseCameraLocation(sevenFields + "|1.5625");
    ASSERT_TRUE(decimal);
    EXPECT_EQ(decimal->ViewDistance, 50);
}

TEST(CameraLocationText, RejectsValuesThatDoNotHoldFiniteNumbersWhereTheFormatPutsThem) {
    EXPECT_FALSE(ParseCameraLocation(""));
    EXPECT_FALSE(ParseCameraLocation("garbage"));
    EXPECT_FALSE(ParseCameraLocation("0.00    |-3.00   |0.00    |25.00"));
    EXPECT_FALSE(
        ParseCameraLocation("0.00    |-3.00   |0.00    |25.00   |9o.00   |0.00    |60.00   |50"));
    EXPECT_FALSE(
        ParseCameraLocation("1e999   |-3.00   |0.00    |25.00   |90.00   |0.00    |60.00   |50"));
    EXPECT_FALSE(
        ParseCameraLocation("1e39    |-3.00   |0.00    |25.00   |90.00   |0.00    |60.00   |50"));
    EXPECT_FALSE(ParseCameraLocation(
        "0.00    |-3.00   |0.00    |25.00   |90.00   |0.00    |60.00   |fifty"));
}

TEST(CameraLocationText, ViewDistancesBeyondTheGridAreCapped) {
    const std::string sevenFields = kDefaultLocation.substr(0, 62);
    EXPECT_EQ(ParseCameraLocation(sevenFields + "|99999")->ViewDistance, 255);
    EXPECT_EQ(ParseCameraLocation(sevenFields + "|-4")->ViewDistance, 0);
    EXPECT_EQ(ParseCameraLocation(sevenFields + "|9999.5")->ViewDistance, 255);
}

TEST(CameraLocationText, KeysAreTrackNameHashSlot) {
    EXPECT_EQ(CameraLocationKey("Canyon", 3), "Canyon #3");
    EXPECT_EQ(CameraLocationKey("<unnamed track>", 0), "<unnamed track> #0");
}

TEST_F(CameraLocation, SaveMoveRestoreReturnsToTheSavedCameraAndViewDistance) {
    TViewState state = OnGrid({});
    state.Camera = TCameraPos{1.23456f, -2.5f, -6.789f, 12.345f, 271.004f, 1.5f, 58.3333f};
    state.ViewDistance = 77;
    SaveCameraLocation(ini, state, "Hill", 2);
    EXPECT_EQ(ini.ReadString(kCameraPosSection, "Hill #2", ""),
              "1.23456 |-2.50   |-6.789  |12.345  |271.004 |1.50    |58.3333 |77");

    state.Camera = TCameraPos{5, 5, 5, 5, 5, 5, 5};
    state.ViewDistance = 20;
    const TViewResult result = RestoreCameraLocation(ini, state, "Hill", 2);
    EXPECT_TRUE(result.UpdateProjection);
    EXPECT_EQ(result.Redraw, TRedraw::Full);
    ExpectCamera(state.Camera, 1.23456f, -2.5f, -6.789f, 12.345f, 271.004f, 1.5f, 58.3333f);
    EXPECT_EQ(state.ViewDistance, 77);

    // Other slots are untouched.
    EXPECT_FALSE(ini.ValueExists(kCameraPosSection, "Hill #1"));
}

TEST_F(CameraLocation, TracksOfTheSameNameShareLocationsWhateverTheLetterCase) {
    TViewState first = OnGrid({});
    first.Camera.TransX = 4.5f;
    SaveCameraLocation(ini, first, "Hill", 1);

    TViewState second = OnGrid({});
    RestoreCameraLocation(ini, second, "HILL", 1);
    EXPECT_FLOAT_EQ(second.Camera.TransX, 4.5f);

    TViewState unnamed = OnGrid({});
    unnamed.Camera.TransZ = -1.25f;
    SaveCameraLocation(ini, unnamed, "<unnamed track>", 5);
    TViewState another = OnGrid({});
    RestoreCameraLocation(ini, another, "<unnamed track>", 5);
    EXPECT_FLOAT_EQ(another.Camera.TransZ, -1.25f);
}

TEST_F(CameraLocation, AMissingKeyLeavesTheCameraWhereItIs) {
    TViewState state = OnGrid({});
    state.Camera = TCameraPos{1.2345678f, -3.004f, 1, 25.555f, -123.456789f, 0, 61.999f};
    state.ViewDistance = 42;
    RestoreCameraLocation(ini, state, "Nowhere", 4);
    EXPECT_EQ(state.Camera.TransX, 1.2345678f);
    EXPECT_EQ(state.Camera.Heading, -123.456789f);
    EXPECT_EQ(state.ViewDistance, 42);
    EXPECT_FALSE(ini.ValueExists(kCameraPosSection, "Nowhere #4"));
}

TEST_F(CameraLocation, ASessionRestoresTheExactCameraAndALaterOneTheStoredDigits) {
    const TCameraPos saved{-7.1234567f,  -0.3333333f, 2.0000001f, 33.333333f,
                           -123.456789f, 0,           61.2345678f};
    TViewState state = OnGrid({});
    state.Camera = saved;
    SaveCameraLocation(ini, state, "Hill", 2);
    state.Camera = TCameraPos{};
    RestoreCameraLocation(ini, state, "Hill", 2);
    EXPECT_EQ(state.Camera.TransX, saved.TransX);
    EXPECT_EQ(state.Camera.TransY, saved.TransY);
    EXPECT_EQ(state.Camera.TransZ, saved.TransZ);
    EXPECT_EQ(state.Camera.Heading, saved.Heading);
    EXPECT_EQ(state.Camera.FOV, saved.FOV);

    // The next run reads the file: off by less than a thousandth, not by a hundredth.
    TViewState nextRun = OnGrid({});
    RestoreCameraLocation(TIniFile(dir.Path() + "DunmereGL.ini"), nextRun, "Hill", 2);
    EXPECT_NEAR(nextRun.Camera.TransX, saved.TransX, 1e-5);
    EXPECT_NEAR(nextRun.Camera.TransY, saved.TransY, 1e-5);
    EXPECT_NEAR(nextRun.Camera.Heading, saved.Heading, 5e-4);

    // A value changed in the file since the save is the one that counts.
    ini.WriteString(kCameraPosSection, "Hill #2",
                    "1.00    |-1.00   |-2.00   |0.00    |0.00    |0.00    |60.00   |50");
    RestoreCameraLocation(ini, state, "Hill", 2);
    EXPECT_FLOAT_EQ(state.Camera.TransX, 1);
    EXPECT_EQ(state.ViewDistance, 50);
}

TEST_F(CameraLocation, AnUnparseableValueLeavesTheCameraAsItIs) {
    ini.WriteString(kCameraPosSection, "Hill #3", "0.00    |-3.00   |broken  |25.00");
    TViewState state = OnGrid({});
    state.Camera = TCameraPos{1.111f, -2.222f, 3.333f, 4.444f, 5.555f, 6.666f, 7.777f};
    state.ViewDistance = 99;
    RestoreCameraLocation(ini, state, "Hill", 3);
    ExpectCamera(state.Camera, 1.111f, -2.222f, 3.333f, 4.444f, 5.555f, 6.666f, 7.777f);
    EXPECT_EQ(state.ViewDistance, 99);
}

TEST_F(CameraLocation, OutOfRangePositionsComeBackInStepsOfEight) {
    ini.WriteString(kCameraPosSection, "Hill #1",
                    "9.50    |-1.00   |-17.00  |0.00    |0.00    |0.00    |60.00");
    TViewState state = OnGrid({});
    state.ViewDistance = 31;
    RestoreCameraLocation(ini, state, "Hill", 1);
    EXPECT_FLOAT_EQ(state.Camera.TransX, 1.5f);
    EXPECT_FLOAT_EQ(state.Camera.TransZ, -1.0f);
    EXPECT_EQ(state.ViewDistance, 31); // seven fields only
}

TEST_F(CameraLocation, RestoreSetsTheHeightAboveTheNearestGridPoint) {
    // TransX 1.0, TransZ -2.0: row Round(111.5625) = 112, column Round(159.375) = 159.
    SetTerrain(112, 159, 0.25f);
    ini.WriteString(kCameraPosSection, "Hill #0",
                    "1.00    |-1.00   |-2.00   |0.00    |0.00    |0.00    |60.00   |50");
    TViewState state = OnGrid({});
    RestoreCameraLocation(ini, state, "Hill", 0);
    EXPECT_NEAR(state.HeightAboveGround, 0.75, 1e-6);
}

TEST_F(CameraLocation, RestoringInMapViewShowsTheFreeCameraAtTheLocation) {
    TViewState state = OnGrid({});
    state.Camera.TransX = 2;
    SaveCameraLocation(ini, state, "Hill", 1);
    state.Camera.TransX = -3;
    ToggleMapView(state);
    ASSERT_TRUE(state.MapView);

    RestoreCameraLocation(ini, state, "Hill", 1);
    EXPECT_FALSE(state.MapView);
    EXPECT_FLOAT_EQ(state.Camera.TransX, 2);
    EXPECT_FLOAT_EQ(state.Camera.Tilt, 25);
    EXPECT_EQ(state.Display.AreaShape, TAreaShape::Circle);
    EXPECT_EQ(state.ViewDistance, 50);
}

TEST_F(CameraLocation, SavingInMapViewStoresTheMapCamera) {
    TViewState state = OnGrid({});
    ToggleMapView(state);
    SaveCameraLocation(ini, state, "Hill", 3);
    EXPECT_EQ(ini.ReadString(kCameraPosSection, "Hill #3", ""),
              "0.00    |-21.00  |0.00    |90.00   |90.00   |0.00    |45.00   |128");
}

TEST(MapView, BothCamerasKeepTheirOwnStateAcrossSwitches) {
    TViewState state;
    state.Camera = TCameraPos{1, -2, 3, 10, 200, 7, 70};
    state.ViewDistance = 40;
    const TCameraPos freeCamera = state.Camera;

    const TViewResult on = ToggleMapView(state);
    EXPECT_TRUE(on.UpdateProjection);
    EXPECT_EQ(on.Redraw, TRedraw::Full);
    EXPECT_TRUE(state.MapView);
    ExpectCamera(state.Camera, 0, -21, 0, 90, 90, 7, 45); // roll keeps its value
    EXPECT_EQ(state.ViewDistance, 128);
    EXPECT_EQ(state.Display.AreaShape, TAreaShape::Square);

    // Look around in the map.
    state.Camera.Heading = 130;
    state.Camera.TransX = -4;
    state.Camera.FOV = 50;
    state.ViewDistance = 100;
    state.Display.AreaShape = TAreaShape::Circle;

    ToggleMapView(state);
    EXPECT_FALSE(state.MapView);
    ExpectCamera(state.Camera, freeCamera.TransX, freeCamera.TransY, freeCamera.TransZ,
                 freeCamera.Tilt, freeCamera.Heading, freeCamera.Roll, freeCamera.FOV);
    EXPECT_EQ(state.ViewDistance, 40);
    EXPECT_EQ(state.Display.AreaShape, TAreaShape::Circle);

    state.Display.AreaShape = TAreaShape::Square;
    ToggleMapView(state);
    EXPECT_FLOAT_EQ(state.Camera.Heading, 130);
    EXPECT_FLOAT_EQ(state.Camera.TransX, -4);
    EXPECT_FLOAT_EQ(state.Camera.FOV, 50);
    EXPECT_EQ(state.ViewDistance, 100);
    EXPECT_EQ(state.Display.AreaShape, TAreaShape::Circle);
    ToggleMapView(state);
    EXPECT_EQ(state.Display.AreaShape, TAreaShape::Square);
}

TEST(MapView, ResetWhileFreeChangesNothingVisibleUntilTheNextSwitch) {
    TViewState state;
    ToggleMapView(state);
    state.Camera.Heading = 10;
    state.Camera.TransY = -30;
    ToggleMapView(state);

    const TCameraPos before = state.Camera;
    const TViewResult result = ResetMapView(state);
    EXPECT_EQ(result.Redraw, TRedraw::None);
    EXPECT_FALSE(result.UpdateProjection);
    EXPECT_FLOAT_EQ(state.Camera.Heading, before.Heading);
    EXPECT_EQ(state.ViewDistance, 50);

    ToggleMapView(state);
    ExpectCamera(state.Camera, 0, -21, 0, 90, 90, before.Roll, 45);
}

TEST(MapView, ResetWhileInTheMapMovesTheActiveCamera) {
    TViewState state;
    state.Camera.Roll = 3;
    ToggleMapView(state);
    state.Camera = TCameraPos{1, 2, 3, 4, 5, 6, 7};
    state.ViewDistance = 9;
    state.Display.AreaShape = TAreaShape::Circle;

    const TViewResult result = ResetMapView(state);
    EXPECT_TRUE(result.UpdateProjection);
    EXPECT_EQ(result.Redraw, TRedraw::Light);
    ExpectCamera(state.Camera, 0, -21, 0, 90, 90, 6, 45);
    EXPECT_EQ(state.ViewDistance, 128);
    EXPECT_EQ(state.Display.AreaShape, TAreaShape::Square);
    EXPECT_TRUE(state.MapView);
}

} // namespace
