#include "core/base/TextUtils.h"
#include "core/vfs/PodFile.h"
#include "tests/tools/BinWalk.h"
#include "tools/DemoTrack.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>

namespace {

std::string EntryBytes(const TPodFile& pod, const std::string& name) {
    TGameFile file;
    if (!pod.OpenEntry(file, name)) {
        return {};
    }
    std::string bytes(static_cast<size_t>(pod.GetEntrySize(name)), '\0');
    file.Read(bytes.data(), bytes.size());
    return bytes;
}

TStringList EntryLines(const TPodFile& pod, const std::string& name) {
    TGameFile file;
    TStringList lines;
    if (!pod.OpenEntry(file, name)) {
        return lines;
    }
    for (std::string line = pod.ReadLine(file, name); !line.empty();
         line = pod.ReadLine(file, name)) {
        lines.push_back(line);
    }
    return lines;
}

bool Has(const TPodFile& pod, const std::string& name) {
    return pod.FindEntry(name) >= 0;
}

struct TObject {
    std::string Model;
    std::string Flags = "7,0";
    double X = 0, Y = 0, Z = 0;
};

// The parts of a track description the generator must get right, read the way the viewer
// reads them: keys on their own line, values on the next.
struct TTrackInfo {
    std::string Level;
    std::string Name;
    std::vector<std::string> Backdrops;
    int StadiumFlag = 0;
    int StadiumX = 0, StadiumZ = 0, StadiumSX = 0, StadiumSZ = 0;
    std::string StadiumModel;
    std::array<double, 3> GridPos{};
    std::vector<TObject> Boxes;
    std::vector<TObject> Bodies;
    std::vector<TObject> Cabs;
};

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t comma = text.find(','); comma != std::string::npos; comma = text.find(',', start)) {
        parts.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

TObject ParseRecord(const TStringList& lines, size_t first, size_t count, const std::string& posKey,
                    const std::string& modelKey) {
    TObject object;
    for (size_t i = first; i + 1 < first + count; ++i) {
        const std::string key = UpperCase(Trim(lines[i]));
        if (key == posKey) {
            const auto p = Split(lines[i + 1]);
            object.X = StrToFloat(p.at(0));
            object.Y = StrToFloat(p.at(1));
            object.Z = StrToFloat(p.at(2));
        } else if (key == modelKey) {
            object.Model = Trim(lines[i + 1]);
        } else if (key == "!TYPE,FLAGS") {
            object.Flags = Trim(lines[i + 1]);
        }
    }
    return object;
}

TTrackInfo ReadTrack(const TPodFile& pod, const std::string& sit) {
    const TStringList lines = EntryLines(pod, sit);
    TTrackInfo info;
    if (lines.empty()) {
        return info;
    }
    info.Level = lines[0];
    int backdropCount = 0;
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line == "!Race Track Name") {
            info.Name = lines[i + 1];
        } else if (line == "backdropType,backdropCount") {
            backdropCount = StrToInt(Split(lines[i + 1]).at(1));
        } else if (line == "backdropModelName" && backdropCount > 0) {
            for (int k = 0; k < std::min(backdropCount, 3); ++k) {
                info.Backdrops.push_back(lines.at(i + 1 + k));
            }
        } else if (line == "!stadiumFlag,x,z,sx,sz,stadiumModelName") {
            const auto p = Split(lines[i + 1]);
            info.StadiumFlag = StrToInt(p.at(0));
            info.StadiumX = StrToInt(p.at(1));
            info.StadiumZ = StrToInt(p.at(2));
            info.StadiumSX = StrToInt(p.at(3));
            info.StadiumSZ = StrToInt(p.at(4));
            info.StadiumModel = p.at(5);
        } else if (line == "*** Vehicles ***") {
            const auto p = Split(lines.at(i + 6));
            info.GridPos = {StrToFloat(p.at(0)), StrToFloat(p.at(1)), StrToFloat(p.at(2))};
        } else if (line.compare(0, 9, "*** Boxes") == 0) {
            const int count = StrToInt(lines[i + 1]);
            for (int k = 0; k < count; ++k) {
                info.Boxes.push_back(ParseRecord(lines, i + 2 + 21 * k, 21, "IPOS", "MODEL"));
            }
        } else if (UpperCase(line.substr(0, 13)) == "*** TOP CRUSH") {
            const int count = StrToInt(lines[i + 1]);
            for (int k = 0; k < count; ++k) {
                info.Bodies.push_back(ParseRecord(lines, i + 2 + 17 * k, 17, "IPOS", "MODELNAME"));
                info.Cabs.push_back(
                    ParseRecord(lines, i + 2 + 17 * k, 17, "IPOS2", "CABMODELNAME"));
            }
            EXPECT_LE(i + 2 + 17 * static_cast<size_t>(count), lines.size());
        }
    }
    return info;
}

struct TLevelInfo {
    std::string Altitude, TexIndex, TextureList, LightMap;
    bool HasWater = false;
    double WaterHeight = 0;
};

TLevelInfo ReadLevel(const TPodFile& pod, const std::string& name) {
    const TStringList lines = EntryLines(pod, name);
    TLevelInfo level;
    if (lines.size() < 17) {
        ADD_FAILURE() << name << " has " << lines.size() << " lines";
        return level;
    }
    level.Altitude = "DATA\\" + lines[2];
    level.TexIndex = "DATA\\" + lines[3];
    level.TextureList = "DATA\\" + lines[5];
    level.LightMap = "DATA\\" + lines[16];
    for (size_t i = 17; i + 1 < lines.size(); ++i) {
        if (UpperCase(Trim(lines[i])) == "!WATERHEIGHT") {
            level.HasWater = true;
            level.WaterHeight = StrToFloat(Trim(lines[i + 1])) / 1024;
            break;
        }
    }
    return level;
}

std::string Derived(std::string name, char last) {
    name.back() = last;
    return name;
}

class DemoArchive : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TTempDir;
        BuildDemoArchive().Write(dir_->Path() + "DEMO.POD");
        pod_ = new TPodFile(dir_->Path() + "DEMO.POD");
    }
    static void TearDownTestSuite() {
        delete pod_;
        delete dir_;
    }
    static const TPodFile& Pod() { return *pod_; }
    static std::vector<std::string> Sits() {
        std::vector<std::string> names;
        for (const std::string& line : Pod().SitEntries()) {
            names.push_back(NamePart(line));
        }
        return names;
    }

    static TTempDir* dir_;
    static TPodFile* pod_;
};

TTempDir* DemoArchive::dir_ = nullptr;
TPodFile* DemoArchive::pod_ = nullptr;

TEST_F(DemoArchive, HoldsTheTwoNamedTracks) {
    EXPECT_EQ(Pod().SitEntries(),
              (TStringList{"VALLEY.SIT=Dunmere Valley", "ARENA.SIT=Dunmere Arena"}));
}

TEST_F(DemoArchive, EachTrackHasItsLevelAndGridFilesInExactSizes) {
    for (const std::string& sit : Sits()) {
        SCOPED_TRACE(sit);
        const TTrackInfo track = ReadTrack(Pod(), sit);
        const std::string levelName = "LEVELS\\" + track.Level;
        ASSERT_TRUE(Has(Pod(), levelName));
        const TLevelInfo level = ReadLevel(Pod(), levelName);
        EXPECT_EQ(Pod().GetEntrySize(level.Altitude), 65536);
        EXPECT_EQ(Pod().GetEntrySize(Derived(level.Altitude, '0')), 65536);
        EXPECT_EQ(Pod().GetEntrySize(Derived(level.Altitude, '1')), 65536);
        EXPECT_EQ(Pod().GetEntrySize(level.TexIndex), 131072);
        EXPECT_EQ(Pod().GetEntrySize(Derived(level.TexIndex, '0')), 786432);
        EXPECT_EQ(Pod().GetEntrySize(level.LightMap), 458752);
        EXPECT_NE(Derived(level.TexIndex, '0'), level.TexIndex);
        EXPECT_TRUE(Has(Pod(), level.TextureList));
    }
}

TEST_F(DemoArchive, TexturesOfTheGridAreListedAndShippedWithPalettes) {
    for (const std::string& sit : Sits()) {
        SCOPED_TRACE(sit);
        const TLevelInfo level = ReadLevel(Pod(), "LEVELS\\" + ReadTrack(Pod(), sit).Level);
        const TStringList list = EntryLines(Pod(), level.TextureList);
        ASSERT_FALSE(list.empty());
        const int count = StrToInt(list[0]);
        ASSERT_EQ(list.size(), static_cast<size_t>(count) + 1);
        EXPECT_GE(count, 6);
        for (int k = 1; k <= count; ++k) {
            const std::string raw = "ART\\" + list[k];
            const int32_t size = Pod().GetEntrySize(raw);
            const auto side = static_cast<int32_t>(std::lround(std::sqrt(size)));
            EXPECT_EQ(side * side, size) << raw;
            EXPECT_TRUE(side == 64 || side == 128) << raw;
            EXPECT_EQ(Pod().GetEntrySize(raw.substr(0, raw.size() - 3) + "ACT"), 768) << raw;
        }
        const std::string tex = EntryBytes(Pod(), level.TexIndex);
        const std::string boxTex = EntryBytes(Pod(), Derived(level.TexIndex, '0'));
        const std::string bottom = EntryBytes(Pod(), Derived(level.Altitude, '0'));
        const std::string top = EntryBytes(Pod(), Derived(level.Altitude, '1'));
        std::set<int> used;
        int turnedOrMirrored = 0;
        auto number = [](const std::string& bytes, size_t at) {
            return static_cast<uint8_t>(bytes[at]) +
                   256 * (static_cast<uint8_t>(bytes[at + 1]) & 1);
        };
        for (size_t cell = 0; cell < 65536; ++cell) {
            const int n = number(tex, 2 * cell);
            EXPECT_LT(n, count) << "cell " << cell;
            used.insert(n);
            turnedOrMirrored += (static_cast<uint8_t>(tex[2 * cell + 1]) & 0xF0) != 0;
            if (bottom[cell] != 0 || top[cell] != 0) {
                for (int face = 0; face < 6; ++face) {
                    EXPECT_LT(number(boxTex, 12 * cell + 2 * face), count) << "box " << cell;
                }
            }
        }
        EXPECT_GE(used.size(), 6u);
        EXPECT_GT(turnedOrMirrored, 1000);
    }
}

TEST_F(DemoArchive, EveryModelATrackNamesIsInTheArchive) {
    for (const std::string& sit : Sits()) {
        SCOPED_TRACE(sit);
        const TTrackInfo track = ReadTrack(Pod(), sit);
        ASSERT_FALSE(track.Boxes.empty());
        ASSERT_FALSE(track.Bodies.empty());
        std::vector<std::string> models;
        for (const auto* list : {&track.Boxes, &track.Bodies, &track.Cabs}) {
            for (const TObject& object : *list) {
                models.push_back(object.Model);
            }
        }
        models.insert(models.end(), track.Backdrops.begin(), track.Backdrops.end());
        if (track.StadiumFlag == 1) {
            models.push_back(track.StadiumModel);
        }
        for (const std::string& model : models) {
            EXPECT_TRUE(Has(Pod(), "MODELS\\" + model)) << model;
            const TWalkedModel walked = WalkBin(EntryBytes(Pod(), "MODELS\\" + model));
            if (walked.IsAnimationControl) {
                EXPECT_TRUE(Has(Pod(), "MODELS\\" + walked.FirstModelName)) << model;
            }
        }
        EXPECT_FALSE(track.Backdrops.empty());
    }
}

TEST_F(DemoArchive, SkyBoxesAreStoredUnderTheBareNamesAndFaceInwards) {
    for (const char* name :
         {"SKYBOX_CLOUDY2.BIN", "SKYBOX_CCLOUDS.BIN", "SKYBOX_DUSKSKY.BIN", "SKYBOX_NITESKY.BIN"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Has(Pod(), name));
        const TWalkedModel sky = WalkBin(EntryBytes(Pod(), name));
        ASSERT_EQ(sky.Error, "");
        ASSERT_FALSE(sky.Faces.empty());
        for (const TWalkedFace& face : sky.Faces) {
            const auto n = FaceNormal(sky, face);
            const auto c = FaceCentre(sky, face);
            EXPECT_LT(n[0] * c[0] + n[1] * c[1] + n[2] * c[2], 0);
        }
        // Inside the far plane of 5000 world units at the sky's scale of 25000 / 131072.
        for (const auto& v : sky.Vertices) {
            const double r =
                std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]);
            EXPECT_LT(r * 25000 / 131072, 4500);
        }
    }
}

TEST_F(DemoArchive, BackdropRingsFaceTheViewerAtTheirCentre) {
    for (const char* name :
         {"MODELS\\MOUNTAIN.BIN", "MODELS\\FOOTHILL.BIN", "MODELS\\SKYLINE.BIN"}) {
        SCOPED_TRACE(name);
        const TWalkedModel ring = WalkBin(EntryBytes(Pod(), name));
        ASSERT_EQ(ring.Error, "");
        ASSERT_FALSE(ring.Faces.empty());
        for (const TWalkedFace& face : ring.Faces) {
            const auto n = FaceNormal(ring, face);
            const auto c = FaceCentre(ring, face);
            EXPECT_LT(n[0] * c[0] + n[2] * c[2], 0);
        }
    }
}

TEST_F(DemoArchive, ConvexSolidsFaceOutwards) {
    for (const char* name : {"MODELS\\CRATE.BIN", "MODELS\\BARREL.BIN", "MODELS\\POLE.BIN"}) {
        SCOPED_TRACE(name);
        const TWalkedModel solid = WalkBin(EntryBytes(Pod(), name));
        ASSERT_EQ(solid.Error, "");
        std::array<double, 3> centre{0, 0, 0};
        for (const auto& v : solid.Vertices) {
            for (int k = 0; k < 3; ++k) {
                centre[k] += v[k] / static_cast<double>(solid.Vertices.size());
            }
        }
        for (const TWalkedFace& face : solid.Faces) {
            const auto n = FaceNormal(solid, face);
            const auto c = FaceCentre(solid, face);
            EXPECT_GT(n[0] * (c[0] - centre[0]) + n[1] * (c[1] - centre[1]) +
                          n[2] * (c[2] - centre[2]),
                      0);
        }
    }
}

TEST_F(DemoArchive, EveryModelIsSoundAndItsTexturesAreShipped) {
    int models = 0;
    for (const TPodEntry& entry : Pod().Entries()) {
        if (!EndsWithText(entry.Name, ".BIN")) {
            continue;
        }
        ++models;
        SCOPED_TRACE(entry.Name);
        const TWalkedModel model = WalkBin(EntryBytes(Pod(), entry.Name));
        EXPECT_EQ(model.Error, "");
        if (model.IsAnimationControl) {
            continue;
        }
        EXPECT_TRUE(model.Ended);
        EXPECT_FALSE(model.Faces.empty());
        EXPECT_FALSE(model.Textures.empty());
        for (const std::string& texture : model.Textures) {
            EXPECT_TRUE(Has(Pod(), "ART\\" + texture)) << texture;
            EXPECT_EQ(Pod().GetEntrySize("ART\\" + texture.substr(0, texture.size() - 3) + "ACT"),
                      768)
                << texture;
        }
    }
    EXPECT_GE(models, 15);
}

TEST_F(DemoArchive, ObjectsStandOnTheGridWithCheckpointsTrucksAndViewerFacingSigns) {
    for (const std::string& sit : Sits()) {
        SCOPED_TRACE(sit);
        const TTrackInfo track = ReadTrack(Pod(), sit);
        int checkpoints = 0, facing = 0;
        for (const auto* list : {&track.Boxes, &track.Bodies, &track.Cabs}) {
            for (const TObject& object : *list) {
                EXPECT_GE(object.X, 0);
                EXPECT_LT(object.X, 8192);
                EXPECT_GE(object.Z, 0);
                EXPECT_LT(object.Z, 8192);
                EXPECT_GE(object.Y, 0);
                checkpoints += object.Flags == "6,0";
                facing += object.Flags == "8,0";
            }
        }
        EXPECT_GE(checkpoints, 4);
        EXPECT_GE(facing, 1);
        for (size_t i = 0; i < track.Bodies.size(); ++i) {
            // The cab stands just ahead of its body.
            const double gap = std::hypot(track.Cabs[i].X - track.Bodies[i].X,
                                          track.Cabs[i].Z - track.Bodies[i].Z);
            EXPECT_GT(gap, 20);
            EXPECT_LT(gap, 80);
        }
    }
}

TEST_F(DemoArchive, StartGridIsOnTheGridAboveTheGround) {
    for (const std::string& sit : Sits()) {
        SCOPED_TRACE(sit);
        const TTrackInfo track = ReadTrack(Pod(), sit);
        const TLevelInfo level = ReadLevel(Pod(), "LEVELS\\" + track.Level);
        const std::string altitude = EntryBytes(Pod(), level.Altitude);
        const auto [x, y, z] = track.GridPos;
        ASSERT_GE(x, 0);
        ASSERT_LT(x, 8160);
        ASSERT_GE(z, 0);
        ASSERT_LT(z, 8160);
        const size_t cell = static_cast<size_t>(z / 32) * 256 + static_cast<size_t>(x / 32);
        const double ground = static_cast<uint8_t>(altitude[cell]) / 255.0;
        EXPECT_GT(0.01 + y / 512, ground + 0.02); // the eye height the viewer gives the start
        EXPECT_LT(0.01 + y / 512, ground + 0.5);
    }
}

TEST_F(DemoArchive, ValleyHasWaterBelowItsHillsAndRaisedBlocks) {
    const TLevelInfo level = ReadLevel(Pod(), "LEVELS\\" + ReadTrack(Pod(), "VALLEY.SIT").Level);
    ASSERT_TRUE(level.HasWater);
    const std::string altitude = EntryBytes(Pod(), level.Altitude);
    const auto [low, high] =
        std::minmax_element(altitude.begin(), altitude.end(), [](char a, char b) {
            return static_cast<uint8_t>(a) < static_cast<uint8_t>(b);
        });
    EXPECT_GT(level.WaterHeight, static_cast<uint8_t>(*low) / 255.0);
    EXPECT_LT(level.WaterHeight, static_cast<uint8_t>(*high) / 255.0);
    EXPECT_GT(static_cast<uint8_t>(*high), 200); // snowy peaks
    const std::string top = EntryBytes(Pod(), Derived(level.Altitude, '1'));
    EXPECT_GT(std::count_if(top.begin(), top.end(), [](char b) { return b != 0; }), 50);
    const std::string light = EntryBytes(Pod(), level.LightMap);
    std::set<uint8_t> shades;
    for (size_t i = 0; i < light.size(); i += 7) {
        shades.insert(static_cast<uint8_t>(light[i]));
    }
    EXPECT_GT(shades.size(), 50u);
}

TEST_F(DemoArchive, ArenaIsAStadiumWhoseBlocksLieInsideItsRectangle) {
    const TTrackInfo track = ReadTrack(Pod(), "ARENA.SIT");
    ASSERT_EQ(track.StadiumFlag, 1);
    const int r0 = track.StadiumZ - track.StadiumSZ / 2, r1 = track.StadiumZ + track.StadiumSZ / 2;
    const int c0 = track.StadiumX - track.StadiumSX / 2, c1 = track.StadiumX + track.StadiumSX / 2;
    ASSERT_GE(r0, 0);
    ASSERT_LE(r1, 255);
    ASSERT_GE(c0, 0);
    ASSERT_LE(c1, 255);
    const TLevelInfo level = ReadLevel(Pod(), "LEVELS\\" + track.Level);
    EXPECT_FALSE(level.HasWater);
    const std::string bottom = EntryBytes(Pod(), Derived(level.Altitude, '0'));
    const std::string top = EntryBytes(Pod(), Derived(level.Altitude, '1'));
    int boxes = 0;
    for (int r = 0; r < 256; ++r) {
        for (int c = 0; c < 256; ++c) {
            if (bottom[r * 256 + c] != 0 || top[r * 256 + c] != 0) {
                ++boxes;
                EXPECT_TRUE(r >= r0 && r < r1 && c >= c0 && c < c1) << r << "," << c;
            }
        }
    }
    EXPECT_GT(boxes, 100);
    for (const TObject& box : track.Boxes) {
        EXPECT_GE(box.Z / 32, r0);
        EXPECT_LE(box.Z / 32, r1 + 1);
        EXPECT_GE(box.X / 32, c0);
        EXPECT_LE(box.X / 32, c1 + 1);
    }
}

TEST_F(DemoArchive, TheArenaWallStandsOnTheBuiltFloorAndReachesIntoIt) {
    // Model units: 131072 per world unit, 16 cells to the world unit. The viewer builds the
    // floor from the rectangle's first cell to one past its last, around the model's origin.
    constexpr double kUnitsPerCell = 131072.0 / 16;
    const TTrackInfo track = ReadTrack(Pod(), "ARENA.SIT");
    const TWalkedModel stadium = WalkBin(EntryBytes(Pod(), "MODELS\\" + track.StadiumModel));
    ASSERT_EQ(stadium.Error, "");
    double innermost = 1e30;
    for (const auto& v : stadium.Vertices) {
        innermost = std::min(innermost, std::max(std::abs(v[0] * 1.0), std::abs(v[2] * 1.0)));
    }
    EXPECT_LE(innermost, std::min(track.StadiumSX, track.StadiumSZ) / 2 * kUnitsPerCell);
    int lowest = 0;
    for (const auto& v : stadium.Vertices) {
        if (std::max(std::abs(v[0] * 1.0), std::abs(v[2] * 1.0)) <= innermost + 1) {
            lowest = std::min(lowest, v[1]);
        }
    }
    EXPECT_LT(lowest, 0) << "the wall's foot stops at the floor's height at the corner";
}

TEST_F(DemoArchive, TheValleyBridgeDeckIsOneLevelSlab) {
    const TLevelInfo level = ReadLevel(Pod(), "LEVELS\\" + ReadTrack(Pod(), "VALLEY.SIT").Level);
    const std::string bottom = EntryBytes(Pod(), Derived(level.Altitude, '0'));
    const std::string top = EntryBytes(Pod(), Derived(level.Altitude, '1'));
    int longest = 0;
    for (int c = 0; c < 256; ++c) {
        for (int r = 0; r < 256;) {
            const auto boxed = [&](int row) {
                return row < 256 && (bottom[row * 256 + c] != 0 || top[row * 256 + c] != 0);
            };
            if (!boxed(r)) {
                ++r;
                continue;
            }
            const int first = r;
            while (boxed(r)) {
                EXPECT_EQ(top[r * 256 + c], top[first * 256 + c]) << "column " << c << " row " << r;
                ++r;
            }
            longest = std::max(longest, r - first);
        }
    }
    EXPECT_GE(longest, 10) << "the bridge crosses the river on boxes";
}

TEST(StressArchive, CoversEveryCellWithABoxAndUsesAllTextureNumbers) {
    TTempDir dir;
    BuildStressArchive().Write(dir.Path() + "STRESS.POD");
    const TPodFile pod(dir.Path() + "STRESS.POD");
    ASSERT_EQ(pod.SitEntries().size(), 1u);
    const TTrackInfo track = ReadTrack(pod, NamePart(pod.SitEntries()[0]));
    EXPECT_GE(track.Boxes.size() + track.Bodies.size() + track.Cabs.size(), 1000u);
    const TLevelInfo level = ReadLevel(pod, "LEVELS\\" + track.Level);
    const TStringList list = EntryLines(pod, level.TextureList);
    ASSERT_EQ(list.size(), 513u);
    EXPECT_EQ(list[0], "512");
    for (size_t k = 1; k < list.size(); ++k) {
        EXPECT_EQ(pod.GetEntrySize("ART\\" + list[k]), 65536) << list[k];
    }
    const std::string bottom = EntryBytes(pod, Derived(level.Altitude, '0'));
    const std::string top = EntryBytes(pod, Derived(level.Altitude, '1'));
    const std::string tex = EntryBytes(pod, level.TexIndex);
    std::set<int> numbers;
    for (int r = 0; r < 255; ++r) {
        for (int c = 0; c < 255; ++c) {
            EXPECT_TRUE(bottom[r * 256 + c] != 0 || top[r * 256 + c] != 0) << r << "," << c;
        }
    }
    for (size_t cell = 0; cell < 65536; ++cell) {
        numbers.insert(static_cast<uint8_t>(tex[2 * cell]) +
                       256 * (static_cast<uint8_t>(tex[2 * cell + 1]) & 1));
    }
    EXPECT_EQ(numbers.size(), 512u);
    for (const TObject& box : track.Boxes) {
        EXPECT_TRUE(pod.FindEntry("MODELS\\" + box.Model) >= 0) << box.Model;
    }
}

// What the dense track is for: many objects of big models whose faces mix texture runs, blended and
// opaque faces of a texture with transparent texels (a quantizer that lifted black would leave
// the renderers nothing to disagree on).
TEST(DenseArchive, PlacesManyTowersMixingBlendedAndOpaqueFacesOfATransparentTexture) {
    TTempDir dir;
    BuildDenseArchive(1000, 2000).Write(dir.Path() + "DENSE.POD");
    const TPodFile pod(dir.Path() + "DENSE.POD");
    ASSERT_EQ(pod.SitEntries().size(), 1u);
    const TTrackInfo track = ReadTrack(pod, NamePart(pod.SitEntries()[0]));
    EXPECT_EQ(track.Boxes.size(), 1000u);
    std::set<std::string> placed;
    for (const TObject& box : track.Boxes) {
        placed.insert(box.Model);
    }
    EXPECT_TRUE(placed.count("CHKGATE.BIN") == 1);
    std::set<std::string> blendedTextures;
    std::set<std::string> opaqueTextures;
    size_t mostFaces = 0;
    for (const std::string& name : placed) {
        const TWalkedModel model = WalkBin(EntryBytes(pod, "MODELS\\" + name));
        ASSERT_TRUE(model.Error.empty()) << name << ": " << model.Error;
        if (name == "CHKGATE.BIN") {
            continue;
        }
        mostFaces = std::max(mostFaces, model.Faces.size());
        EXPECT_EQ(name, "TOWER" + std::to_string(model.Faces.size()) + ".BIN");
        EXPECT_GT(model.Textures.size(), 1u) << name;
        // A face uses the texture of the last texture block before it.
        int texture = -1;
        size_t face = 0;
        for (const int32_t id : model.BlockIds) {
            if (id == 0x0D) {
                ++texture;
            } else if ((id == 0x0E || id == 0x11) && texture >= 0 && face < model.Faces.size()) {
                const bool blended = model.Faces[face++].BlockId == 0x11;
                (blended ? blendedTextures : opaqueTextures)
                    .insert(model.Textures[static_cast<size_t>(texture)]);
            }
        }
        EXPECT_EQ(face, model.Faces.size()) << name;
    }
    EXPECT_EQ(mostFaces, 2000u);
    ASSERT_TRUE(blendedTextures.count("LATTICE.RAW") == 1);
    EXPECT_TRUE(opaqueTextures.count("LATTICE.RAW") == 1);
    const std::string palette = EntryBytes(pod, "ART\\LATTICE.ACT");
    const std::string indices = EntryBytes(pod, "ART\\LATTICE.RAW");
    ASSERT_EQ(palette.size(), 768u);
    const auto transparent = [&](char index) {
        const auto at = static_cast<size_t>(static_cast<uint8_t>(index)) * 3;
        return std::all_of(&palette[at], &palette[at + 3],
                           [](char c) { return static_cast<uint8_t>(c) < 8; });
    };
    EXPECT_TRUE(std::any_of(indices.begin(), indices.end(), transparent));
    EXPECT_FALSE(std::all_of(indices.begin(), indices.end(), transparent));
}

} // namespace
