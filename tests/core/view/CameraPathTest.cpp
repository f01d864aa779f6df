#include "core/view/CameraPath.h"

#include "GridFixture.h"
#include "core/base/Errors.h"
#include "core/settings/IniFile.h"
#include "core/track/QRXBox.h"
#include "core/view/Camera.h"
#include "core/view/CameraLocations.h"
#include "core/view/CameraPathSources.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numeric>
#include <sstream>

namespace {

TCameraKeyframe Key(float x, float y, float z, float heading, std::optional<double> time = {}) {
    TCameraKeyframe key;
    key.Camera = TCameraPos{x, y, z, 20, heading, 0, 60};
    key.Time = time;
    return key;
}

double Distance(const TCameraPos& a, const TCameraPos& b) {
    const double dx = a.TransX - b.TransX;
    const double dy = a.TransY - b.TransY;
    const double dz = a.TransZ - b.TransZ;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void ExpectSameCamera(const TCameraPos& got, const TCameraPos& want) {
    EXPECT_NEAR(got.TransX, want.TransX, 1e-5);
    EXPECT_NEAR(got.TransY, want.TransY, 1e-5);
    EXPECT_NEAR(got.TransZ, want.TransZ, 1e-5);
    EXPECT_NEAR(got.Tilt, want.Tilt, 1e-4);
    EXPECT_NEAR(got.Heading, want.Heading, 1e-4);
    EXPECT_NEAR(got.Roll, want.Roll, 1e-4);
    EXPECT_NEAR(got.FOV, want.FOV, 1e-4);
}

TEST(CameraPath, PassesEveryKeyframeExactlyAtItsTime) {
    std::vector<TCameraKeyframe> keys = {Key(0, -1, 0, 10, 0.0), Key(2, -1.5f, 0.5f, 80),
                                         Key(2.2f, -1, 3, 120, 4.0), Key(-1, -2, 4, 200)};
    keys[1].Camera.Roll = 15;
    keys[2].Camera.FOV = 45;
    const TCameraPath path(keys, 9.0);
    ASSERT_EQ(path.KeyTimes().size(), keys.size());
    EXPECT_DOUBLE_EQ(path.Duration(), 9.0);
    for (size_t k = 0; k < keys.size(); ++k) {
        SCOPED_TRACE(k);
        ExpectSameCamera(path.At(path.KeyTimes()[k]), keys[k].Camera);
    }
    // Outside its time the path holds its ends.
    ExpectSameCamera(path.At(-1), keys.front().Camera);
    ExpectSameCamera(path.At(100), keys.back().Camera);
    EXPECT_EQ(path.KeyTimes()[2], 4.0);
}

TEST(CameraPath, HeadingsTakeTheShortestWayRound) {
    const TCameraPath forward({Key(0, -1, 0, 350), Key(1, -1, 0, 10)}, 2.0);
    const TCameraPath back({Key(0, -1, 0, 10), Key(1, -1, 0, 350)}, 2.0);
    EXPECT_NEAR(std::fmod(forward.At(1.0).Heading + 180.0, 360.0) - 180.0, 0.0, 1e-4);
    for (int i = 0; i <= 20; ++i) {
        const double t = i / 10.0;
        const double h = forward.At(t).Heading;
        EXPECT_TRUE(h >= 350 - 1e-3 || h <= 10 + 1e-3) << "t " << t << " heading " << h;
        EXPECT_GE(h, 0.0);
        EXPECT_LT(h, 360.0);
        const double b = back.At(t).Heading;
        EXPECT_TRUE(b >= 350 - 1e-3 || b <= 10 + 1e-3) << "t " << t << " heading " << b;
    }
}

TEST(CameraPath, MovesAtAnEvenSpeedUnlessAKeyframeTimeSaysOtherwise) {
    // Keyframes far apart and close together, and a sharp bend.
    const std::vector<TCameraKeyframe> keys = {Key(0, -1, 0, 0), Key(0.3f, -1, 0, 0),
                                               Key(4, -1, 0.5f, 0), Key(4.2f, -1, 3, 0),
                                               Key(1, -1, 3.5f, 0)};
    const TCameraPath even(keys, 10.0);
    constexpr int kSteps = 400;
    std::vector<double> steps;
    for (int i = 0; i < kSteps; ++i) {
        steps.push_back(Distance(even.At(10.0 * i / kSteps), even.At(10.0 * (i + 1) / kSteps)));
    }
    const double mean = std::accumulate(steps.begin(), steps.end(), 0.0) / kSteps;
    for (int i = 0; i < kSteps; ++i) {
        EXPECT_NEAR(steps[i], mean, 0.03 * mean) << "step " << i;
    }

    // A time on the middle keyframe makes the first part slow and the rest fast.
    std::vector<TCameraKeyframe> timed = keys;
    timed[2].Time = 8.0;
    const TCameraPath slow(timed, 10.0);
    EXPECT_DOUBLE_EQ(slow.KeyTimes()[2], 8.0);
    const double before = Distance(slow.At(2.0), slow.At(2.1));
    const double after = Distance(slow.At(9.0), slow.At(9.1));
    EXPECT_GT(after, 2.5 * before);
    // The untimed keyframe between stays in proportion to its distance.
    EXPECT_NEAR(slow.KeyTimes()[1], 8.0 * 0.3 / Distance(keys[0].Camera, keys[2].Camera), 0.2);
}

TEST(CameraPath, FollowsTheTerrainAtTheKeyframesHeightsAboveIt) {
    TCameraPathOptions options;
    options.Ground = [](double x, double z) {
        return 0.5 + 0.3 * std::sin(3 * x) * std::cos(2 * z);
    };
    const auto ground = options.Ground;
    std::vector<TCameraKeyframe> keys = {Key(0, 0, 0, 0), Key(3, 0, 1, 0), Key(5, 0, -2, 0)};
    const double heights[] = {0.2, 0.2, 0.6};
    for (size_t k = 0; k < keys.size(); ++k) {
        TCameraPos& c = keys[k].Camera;
        c.TransY = static_cast<float>(-(ground(c.TransX, c.TransZ) + heights[k]));
    }
    const TCameraPath path(keys, 6.0, options);
    for (int i = 0; i <= 60; ++i) {
        const TCameraPos c = path.At(i / 10.0);
        const double above = -c.TransY - ground(c.TransX, c.TransZ);
        if (i <= path.KeyTimes()[1] * 10) {
            EXPECT_NEAR(above, 0.2, 1e-5) << "t " << i / 10.0;
        } else {
            EXPECT_GT(above, 0.2 - 1e-5);
            EXPECT_LT(above, 0.6 + 1e-5);
        }
    }
}

TEST(CameraPath, CrossesTheWorldsEdgeTheShortWayAndRefusesTimesThatGoBack) {
    const TCameraPath edge({Key(7.5f, -1, 0, 0), Key(-7.5f, -1, 0, 0)}, 1.0);
    for (int i = 0; i <= 10; ++i) {
        const float x = edge.At(i / 10.0).TransX;
        EXPECT_TRUE(x >= 7.5f - 1e-4f || x <= -7.5f + 1e-4f) << x;
    }
    EXPECT_THROW(TCameraPath({Key(0, -1, 0, 0, 2.0), Key(1, -1, 0, 0, 1.0)}, 5.0), EDunmereError);
    EXPECT_THROW(TCameraPath({Key(0, -1, 0, 0), Key(1, -1, 0, 0)}, 0.0), EDunmereError);
    EXPECT_THROW(TCameraPath({}, 5.0), EDunmereError);
}

class CoursePath : public TGridTest {
protected:
    void AddBox(double x, double z, const std::string& typeFlags) {
        auto box = std::make_unique<TQRXBox>();
        box->X = x;
        box->Z = z;
        box->TypeFlags = typeFlags;
        Track().TrackObjects.push_back(std::move(box));
        Track().BoxCount = static_cast<int32_t>(Track().TrackObjects.size());
    }
};

TEST_F(CoursePath, RunsFromTheStartGridThroughEveryCheckpointInOrderAndBack) {
    for (int r = 0; r < kGridSize; ++r) {
        for (int c = 0; c < kGridSize; ++c) {
            SetTerrain(r, c, static_cast<float>(0.4 + 0.2 * std::sin(r / 9.0) * std::cos(c / 7.0)));
        }
    }
    Track().FirstGridPos = TVertex3f{4096, 0, 3000};
    AddBox(5000, 3500, "6,0");
    AddBox(4500, 4500, "7,0"); // no checkpoint
    AddBox(3800, 5200, "6,0");
    AddBox(2900, 4000, "6,0");
    // A checkpoint-typed object beyond the boxes (a top-crush one) is no checkpoint of the course.
    auto crush = std::make_unique<TQRXBox>();
    crush->X = 100;
    crush->Z = 100;
    crush->TypeFlags = "6,0";
    Track().TrackObjects.push_back(std::move(crush));

    const TViewState view = OnGrid(TViewState{});
    const double height = 0.3;
    const std::vector<TCameraKeyframe> keys = CourseKeyframes(view, height);
    ASSERT_EQ(keys.size(), 5u);
    const TCameraPath path(keys, 20.0, CourseOptions(view));

    // Where the eye stands over each, in the order the track gives them.
    const double gameXZ[][2] = {
        {4096, 3000}, {5000, 3500}, {3800, 5200}, {2900, 4000}, {4096, 3000}};
    double lastTime = -1;
    constexpr int kSamples = 4000;
    int from = 0;
    for (const auto& point : gameXZ) {
        const double wantX = 8 - point[1] / 512;
        const double wantZ = 8 - point[0] / 512;
        double nearest = 1e9;
        int at = -1;
        for (int i = from; i <= kSamples; ++i) {
            const TCameraPos c = path.At(20.0 * i / kSamples);
            const double d = std::hypot(c.TransX - wantX, c.TransZ - wantZ);
            if (d < nearest) {
                nearest = d;
                at = i;
            }
        }
        EXPECT_LT(nearest, 0.01) << "checkpoint at " << point[0] << ", " << point[1];
        EXPECT_GT(at * 20.0 / kSamples, lastTime);
        lastTime = at * 20.0 / kSamples;
        from = at + 1;
    }
    for (int i = 0; i < 200; ++i) {
        const TCameraPos a = path.At(0.1 * i);
        const TCameraPos b = path.At(0.1 * i + 0.01);
        // The eye keeps its height above the ground and looks where it goes.
        EXPECT_NEAR(-a.TransY - GroundHeightAt(view, a.TransX, a.TransZ), height, 1e-4);
        const double h = a.Heading * 3.14159265358979 / 180;
        const double dx = b.TransX - a.TransX;
        const double dz = b.TransZ - a.TransZ;
        EXPECT_GT((-std::sin(h) * dx + std::cos(h) * dz) / std::hypot(dx, dz), 0.99)
            << "t " << 0.1 * i;
        EXPECT_GT(a.Tilt, 0.0f);
    }
}

TEST(CameraPathFile, RoundTripsKeyframesWithAndWithoutTimes) {
    TTempDir dir;
    std::vector<TCameraKeyframe> keys = {Key(1.25f, -0.8f, -2, 90, 0.0),
                                         Key(-7.5f, -3, 4.5f, 359.5f),
                                         Key(0, -1, 0, 12.25f, 12.375)};
    keys[1].ViewDistance = 200;
    keys[1].Camera.Roll = -4.5f;
    const std::string file = dir.Path() + "path.txt";
    WriteCameraPathFile(file, keys);
    const std::vector<TCameraKeyframe> back = ReadCameraPathFile(file);
    ASSERT_EQ(back.size(), keys.size());
    for (size_t k = 0; k < keys.size(); ++k) {
        ExpectSameCamera(back[k].Camera, keys[k].Camera);
        EXPECT_EQ(back[k].ViewDistance, keys[k].ViewDistance);
        EXPECT_EQ(back[k].Time, keys[k].Time);
    }
    EXPECT_FALSE(std::ifstream(file + ".part"));

    // What a user writes by hand: comments, blank lines, no "|" at all, an old location.
    const std::string written = dir.WriteFile(
        "hand.txt", "# my path\n\n" + FormatCameraLocation(TCameraPos{}, 80) + "\r\n" +
                        "1.00    |-2.00   |3.00    |4.00    |5.00    |6.00    |7.00    |  2.5\n");
    const std::vector<TCameraKeyframe> hand = ReadCameraPathFile(written);
    ASSERT_EQ(hand.size(), 2u);
    EXPECT_EQ(hand[0].ViewDistance, 80);
    EXPECT_FALSE(hand[0].Time);
    // The field after the seven numbers is the view distance (here the oldest form), never a time.
    EXPECT_FALSE(hand[1].Time);
    EXPECT_EQ(hand[1].ViewDistance, 80);

    const std::string bad = dir.WriteFile("bad.txt", FormatKeyframe(keys[0]) + "\nnot a camera\n");
    try {
        ReadCameraPathFile(bad);
        FAIL() << "a damaged line was read";
    } catch (const EDunmereError& e) {
        EXPECT_NE(std::string(e.what()).find(bad + " line 2"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(ParseKeyframe(FormatCameraLocation(TCameraPos{}, 50) + "|-1"));
    EXPECT_FALSE(ParseKeyframe(FormatCameraLocation(TCameraPos{}, 50) + "|soon"));
    EXPECT_THROW(ReadCameraPathFile(dir.WriteFile("empty.txt", "# nothing\n")), EDunmereError);
    EXPECT_THROW(ReadCameraPathFile(dir.Path() + "absent.txt"), EInOutError);
    EXPECT_THROW(WriteCameraPathFile(dir.Path() + "no/such/folder/p.txt", keys), EInOutError);
}

TEST(CameraPathFile, SavedLocationsGiveTheSlotsThatExistInOrder) {
    TTempDir dir;
    TIniFile ini(dir.Path() + "DunmereGL.ini");
    ini.WriteString(kCameraPosSection, CameraLocationKey("Canyon", 5),
                    FormatCameraLocation(TCameraPos{5, -1, 0, 0, 0, 0, 60}, 60));
    ini.WriteString(kCameraPosSection, CameraLocationKey("Canyon", 0),
                    FormatCameraLocation(TCameraPos{0, -1, 0, 0, 0, 0, 60}, 60));
    ini.WriteString(kCameraPosSection, CameraLocationKey("Canyon", 2), "damaged");
    ini.WriteString(kCameraPosSection, CameraLocationKey("Canyon", 3),
                    FormatCameraLocation(TCameraPos{11, -1, 0, 0, 0, 0, 60}, 60));
    ini.WriteString(kCameraPosSection, CameraLocationKey("Other", 1),
                    FormatCameraLocation(TCameraPos{1, -1, 0, 0, 0, 0, 60}, 60));
    const auto keys = SavedLocationKeyframes(ini, "Canyon");
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_FLOAT_EQ(keys[0].Camera.TransX, 0);
    EXPECT_FLOAT_EQ(keys[1].Camera.TransX, 3); // 11 brought into the level as a restore does
    EXPECT_FLOAT_EQ(keys[2].Camera.TransX, 5);
}

} // namespace
