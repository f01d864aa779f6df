#include "tools/DataFiles.h"
#include "tests/tools/BinWalk.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>

namespace {

uint8_t Byte(const std::string& s, size_t i) {
    return static_cast<uint8_t>(s[i]);
}

class DataFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TTempDir;
        written_ = WriteViewerDataFiles(dir_->Path());
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static std::string Read(const std::string& relative) {
        return ReadFileBytes(dir_->Path() + relative);
    }

    static TTempDir* dir_;
    static std::vector<std::string> written_;
};

TTempDir* DataFiles::dir_ = nullptr;
std::vector<std::string> DataFiles::written_;

TEST_F(DataFiles, EveryFileTheViewerLooksForIsWritten) {
    for (const char* name : {"data/metalcr2.act", "data/missing.tga", "data/RIPPL100.RAW",
                             "data/RIPPL100.ACT", "data/DMGLCHK.BIN", "data/DMGLCHK.RAW",
                             "data/DMGLCHK.ACT", "ART/DMGLCHK.RAW", "ART/DMGLCHK.ACT"}) {
        const std::string path = dir_->Path() + name;
        EXPECT_TRUE(std::filesystem::is_regular_file(path)) << name;
        EXPECT_NE(std::find(written_.begin(), written_.end(), path), written_.end()) << name;
    }
}

TEST_F(DataFiles, DefaultPaletteIs768BytesWithBlackFirstAndManyColours) {
    const std::string act = Read("data/metalcr2.act");
    ASSERT_EQ(act.size(), 768u);
    EXPECT_EQ(Byte(act, 0) + Byte(act, 1) + Byte(act, 2), 0);
    std::set<std::string> distinct;
    for (size_t i = 0; i < 768; i += 3) {
        distinct.insert(act.substr(i, 3));
    }
    EXPECT_GT(distinct.size(), 200u);
}

TEST_F(DataFiles, FallbackTextureIsAnUncompressedTargaTheLoaderAccepts) {
    const std::string tga = Read("data/missing.tga");
    ASSERT_GE(tga.size(), 18u);
    EXPECT_EQ(Byte(tga, 1), 0); // no colour map
    EXPECT_EQ(Byte(tga, 2), 2); // uncompressed true colour
    const int width = Byte(tga, 12) | Byte(tga, 13) << 8;
    const int height = Byte(tga, 14) | Byte(tga, 15) << 8;
    const int bits = Byte(tga, 16);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 64);
    ASSERT_TRUE(bits == 24 || bits == 32);
    EXPECT_EQ(tga.size(), 18u + Byte(tga, 0) + static_cast<size_t>(width * height * bits / 8));
    // Unmistakable: pure magenta is part of it.
    bool magenta = false;
    for (size_t i = 18; i + 2 < tga.size(); i += bits / 8) {
        magenta =
            magenta || (Byte(tga, i) == 255 && Byte(tga, i + 1) == 0 && Byte(tga, i + 2) == 255);
    }
    EXPECT_TRUE(magenta);
}

TEST_F(DataFiles, WaterRipplesAreASquareThatTilesWithoutASeam) {
    const std::string raw = Read("data/RIPPL100.RAW");
    const std::string act = Read("data/RIPPL100.ACT");
    ASSERT_EQ(act.size(), 768u);
    const int side = static_cast<int>(std::lround(std::sqrt(raw.size())));
    ASSERT_EQ(static_cast<size_t>(side * side), raw.size());
    ASSERT_GE(side, 32);
    auto brightness = [&](int x, int y) {
        const int index = Byte(raw, static_cast<size_t>(y * side + x));
        return Byte(act, index * 3) + Byte(act, index * 3 + 1) + Byte(act, index * 3 + 2);
    };
    // The step across the wrap edge is no larger than the largest step inside the image.
    int inside = 0, across = 0;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x + 1 < side; ++x) {
            inside = std::max(inside, std::abs(brightness(x, y) - brightness(x + 1, y)));
            inside = std::max(inside, std::abs(brightness(y, x) - brightness(y, x + 1)));
        }
        across = std::max(across, std::abs(brightness(side - 1, y) - brightness(0, y)));
        across = std::max(across, std::abs(brightness(y, side - 1) - brightness(y, 0)));
    }
    EXPECT_GT(inside, 0);
    EXPECT_LE(across, inside);
}

TEST_F(DataFiles, MarkerModelIsSoundTallAndNamesItsShippedTexture) {
    const TWalkedModel model = WalkBin(Read("data/DMGLCHK.BIN"));
    ASSERT_EQ(model.Error, "");
    ASSERT_FALSE(model.IsAnimationControl);
    EXPECT_GE(model.Faces.size(), 20u);
    EXPECT_LE(model.Faces.size(), 80u);
    int32_t low = 0, high = 0;
    for (const auto& v : model.Vertices) {
        low = std::min(low, v[1]);
        high = std::max(high, v[1]);
    }
    // Taller than a third of a world unit (five grid cells), so it reads from a distance.
    EXPECT_GT(high - low, 131072 / 3);
    EXPECT_EQ(low, 0);
    ASSERT_FALSE(model.Textures.empty());
    for (const std::string& texture : model.Textures) {
        const std::string palette = texture.substr(0, texture.size() - 3) + "ACT";
        EXPECT_TRUE(std::filesystem::is_regular_file(dir_->Path() + "data/" + texture)) << texture;
        EXPECT_TRUE(std::filesystem::is_regular_file(dir_->Path() + "data/" + palette)) << palette;
        EXPECT_EQ(Read("data/" + texture).size(), 64u * 64u);
    }
}

} // namespace
