#include "core/formats/PalettePool.h"
#include "core/base/Errors.h"
#include "core/vfs/GameFile.h"
#include "core/vfs/GameFiles.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "tests/render/TextureTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <list>

namespace {

TRgb Solid(uint8_t r, uint8_t g, uint8_t b, int) {
    return {r, g, b};
}

std::string SolidAct(uint8_t r, uint8_t g, uint8_t b) {
    return ActBytes([=](int i) { return Solid(r, g, b, i); });
}

std::array<int, 4> Entry(const TPalette& palette, int i) {
    return {palette[4 * i], palette[4 * i + 1], palette[4 * i + 2], palette[4 * i + 3]};
}

TEST(ConvertPalette, NearBlacksUpToSevenAreTransparentEverythingElseOpaque) {
    uint8_t rgb[kActBytes] = {};
    const std::array<TRgb, 8> colours = {
        TRgb{0, 0, 0}, {7, 7, 7},   {8, 0, 0},       {0, 8, 0},
        {0, 0, 8},     {7, 7, 200}, {255, 255, 255}, {5, 5, 5},
    };
    for (size_t i = 0; i < colours.size(); ++i) {
        std::copy(colours[i].begin(), colours[i].end(), rgb + 3 * i);
    }
    const TPalette palette = ConvertPalette(rgb);
    EXPECT_EQ(Entry(palette, 0), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(Entry(palette, 1), (std::array<int, 4>{7, 7, 7, 0}));
    EXPECT_EQ(Entry(palette, 2), (std::array<int, 4>{8, 0, 0, 255}));
    EXPECT_EQ(Entry(palette, 3), (std::array<int, 4>{0, 8, 0, 255}));
    EXPECT_EQ(Entry(palette, 4), (std::array<int, 4>{0, 0, 8, 255}));
    EXPECT_EQ(Entry(palette, 5), (std::array<int, 4>{7, 7, 200, 255}));
    EXPECT_EQ(Entry(palette, 6), (std::array<int, 4>{255, 255, 255, 255}));
    EXPECT_EQ(Entry(palette, 7), (std::array<int, 4>{5, 5, 5, 0}));
    EXPECT_EQ(Entry(palette, 255), (std::array<int, 4>{0, 0, 0, 0}));
}

TEST(PalettePool, LoadReadsOnlyTheFirst768BytesAndFindIgnoresCase) {
    TTempDir dir;
    const std::string act = ActBytes(DefaultPaletteColour);
    const std::string longPath = dir.WriteFile("long.act", act + "\x40\x41\x42\x43");
    TGameFile file;
    ASSERT_TRUE(file.Open(longPath));
    TPalettePool pool;
    const TPalette& loaded = pool.Load(file, "ART\\ROAD.ACT");
    EXPECT_EQ(file.Position(), 768);
    EXPECT_TRUE(file.IsOpen());

    uint8_t rgb[kActBytes];
    std::copy(act.begin(), act.end(), rgb);
    EXPECT_EQ(loaded, ConvertPalette(rgb));
    EXPECT_EQ(pool.Find("art\\road.act"), &loaded);
    EXPECT_EQ(pool.Find("ROAD.ACT"), nullptr);
    EXPECT_EQ(pool.Find("ART\\ROAD.AC"), nullptr);
}

TEST(PalettePool, ShortFileRaisesAndAddsNothing) {
    TTempDir dir;
    TGameFile file;
    ASSERT_TRUE(file.Open(dir.WriteFile("short.act", std::string(767, '\x30'))));
    TPalettePool pool;
    EXPECT_THROW(pool.Load(file, "SHORT"), EInOutError);
    EXPECT_EQ(pool.Find("SHORT"), nullptr);
}

TEST(PalettePool, PalettesStayWhereTheyAreWhileMoreAreLoaded) {
    TTempDir dir;
    const std::string path = dir.WriteFile("p.act", SolidAct(9, 9, 9));
    TPalettePool pool;
    TGameFile file;
    ASSERT_TRUE(file.Open(path));
    const TPalette* first = &pool.Load(file, "P0");
    for (int i = 1; i < 50; ++i) {
        file.Seek(0);
        pool.Load(file, "P" + std::to_string(i));
    }
    EXPECT_EQ(pool.Find("p0"), first);
    EXPECT_EQ(Entry(*first, 3), (std::array<int, 4>{9, 9, 9, 255}));
    file.Seek(0);
    const TPalette* again = &pool.Load(file, "p0");
    EXPECT_NE(again, first);
    EXPECT_EQ(pool.Find("P0"), first) << "a name loaded twice is found as first loaded";
}

TEST(SiblingPaletteName, ReplacesTheLastThreeCharacters) {
    EXPECT_EQ(SiblingPaletteName("ART\\ROAD.RAW"), "ART\\ROAD.ACT");
    EXPECT_EQ(SiblingPaletteName("art\\road.raw"), "art\\road.ACT");
    EXPECT_EQ(SiblingPaletteName("AB"), "ACT");
}

class ChooseGamePaletteTest : public ::testing::Test {
protected:
    TProgramFolderFixture program;
    TLogCapture log;
    TTempDir search;
    TQRXFileFinder finder;
    TPalettePool pool;

    void SetUp() override { finder.SearchFolders = {search.Path()}; }

    TPodFile WritePod(const std::string& name, const TPodWriter& writer) {
        const std::string path = archives.Path() + name;
        writer.Write(path);
        return TPodFile(path);
    }

    // The game files of an archive (or none) and the finder.
    TGameFiles& Files(const TPodFile* pod) { return files.emplace_back(pod, finder); }

private:
    TTempDir archives; // outside the search folder, so the finder never sees them
    std::list<TGameFiles> files;
};

TEST_F(ChooseGamePaletteTest, TexturesWithoutPalettesShareTheDefaultReadOnce) {
    const TPalette& a = ChooseGamePalette(pool, "ART\\A.RAW", Files(nullptr));
    // Gone from disk: a second read would now fail.
    std::filesystem::remove(program.Dir().Path() + "data/metalcr2.act");
    const TPalette& b = ChooseGamePalette(pool, "ART\\B.RAW", Files(nullptr));
    EXPECT_EQ(&a, &b);
    EXPECT_EQ(Entry(a, 10), (std::array<int, 4>{10, 245, 100, 255}));
    EXPECT_EQ(pool.Find(kDefaultPaletteName), &a);
    EXPECT_EQ(log.Count("Loading default palette."), 1);
    EXPECT_EQ(log.Count("Using default palette."), 2);
    EXPECT_EQ(log.Lines(),
              (std::vector<std::string>{"Using default palette.", "Loading default palette.",
                                        "Done.", "Using default palette."}));
}

TEST_F(ChooseGamePaletteTest, MissingDefaultRaisesEachTimeUntilItIsThere) {
    std::filesystem::remove(program.Dir().Path() + "data/metalcr2.act");
    EXPECT_THROW(ChooseGamePalette(pool, "ART\\A.RAW", Files(nullptr)), EInOutError);
    EXPECT_EQ(pool.Find(kDefaultPaletteName), nullptr);
    program.Dir().WriteFile("data/metalcr2.act", std::string(100, '\0'));
    EXPECT_THROW(ChooseGamePalette(pool, "ART\\A.RAW", Files(nullptr)), EInOutError);
    EXPECT_EQ(pool.Find(kDefaultPaletteName), nullptr);
    program.Dir().WriteFile("data/metalcr2.act", SolidAct(50, 60, 70));
    const TPalette& palette = ChooseGamePalette(pool, "ART\\A.RAW", Files(nullptr));
    EXPECT_EQ(Entry(palette, 0), (std::array<int, 4>{50, 60, 70, 255}));
    EXPECT_EQ(log.Count("Loading default palette."), 3);
}

TEST_F(ChooseGamePaletteTest, ArchivePaletteIsLoadedOnceAndKeptForTheNextTrack) {
    const TPodFile first =
        WritePod("one.pod", TPodWriter().Add("ART\\ROAD.ACT", SolidAct(200, 0, 0)));
    const TPodFile second =
        WritePod("two.pod", TPodWriter().Add("ART\\ROAD.ACT", SolidAct(0, 0, 200)));
    const TPalette& fromFirst = ChooseGamePalette(pool, "ART\\ROAD.RAW", Files(&first));
    EXPECT_EQ(Entry(fromFirst, 5), (std::array<int, 4>{200, 0, 0, 255}));
    const TPalette& forSecond = ChooseGamePalette(pool, "art\\road.raw", Files(&second));
    EXPECT_EQ(&forSecond, &fromFirst);
    EXPECT_EQ(log.Lines(),
              (std::vector<std::string>{"Loading new palette ART\\ROAD.ACT", "Done."}));
}

TEST_F(ChooseGamePaletteTest, FinderSuppliesPalettesTheArchiveLacks) {
    const TPodFile pod = WritePod("track.pod", TPodWriter().Add("ART\\OTHER.RAW", "x"));
    search.WriteFile("art/grass.act", SolidAct(0, 120, 0));
    const TPalette& palette = ChooseGamePalette(pool, "ART\\GRASS.RAW", Files(&pod));
    EXPECT_EQ(Entry(palette, 255), (std::array<int, 4>{0, 120, 0, 255}));
    EXPECT_TRUE(log.Has("Loading new palette ART\\GRASS.ACT"));
    EXPECT_FALSE(log.Has("Using default palette."));
}

TEST_F(ChooseGamePaletteTest, ArchiveEntryShorterThanAPaletteRaisesAndAddsNothing) {
    // The entry's missing bytes would otherwise come from the next entry.
    const TPodFile pod = WritePod("track.pod", TPodWriter()
                                                   .Add("ART\\ROAD.ACT", std::string(700, '\x50'))
                                                   .Add("NEXT", std::string(200, '\x60')));
    try {
        ChooseGamePalette(pool, "ART\\ROAD.RAW", Files(&pod));
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), kReadPastEndText);
    }
    EXPECT_EQ(pool.Find("ART\\ROAD.ACT"), nullptr);
}

} // namespace
