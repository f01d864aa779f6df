#include "core/vfs/GameFiles.h"
#include "core/formats/PalettePool.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// The track's archive lives outside the one search folder, so only the archive stop can find
// what it holds; the search folder holds loose files and further archives for the finder.
class GameFilesTest : public ::testing::Test {
protected:
    void SetUp() override { finder.SearchFolders = {search.Path()}; }

    const TPodFile& Archive(const TPodWriter& writer) {
        writer.Write(archives.Path() + "track.pod");
        archive = std::make_unique<TPodFile>(archives.Path() + "track.pod");
        return *archive;
    }

    static std::string ReadAll(TOpenedGameFile& opened) {
        std::string bytes(static_cast<size_t>(opened.Size), '\0');
        opened.File.Read(bytes.data(), bytes.size());
        return bytes;
    }

    TTempDir archives;
    TTempDir search;
    TQRXFileFinder finder;
    std::unique_ptr<TPodFile> archive;
};

TEST_F(GameFilesTest, TheArchiveAnswersBeforeTheFinderAndHandsOutOnlyItsEntry) {
    search.WriteFile("art/ROAD.RAW", "loose road");
    TGameFiles files(
        &Archive(TPodWriter().Add("ART\\ROAD.RAW", "packed").Add("ART\\NEXT.RAW", "next entry")),
        finder);
    TOpenedGameFile road = files.Open("ART\\ROAD.RAW");
    ASSERT_TRUE(road.Found());
    EXPECT_EQ(road.Source, TGameFileSource::Archive);
    EXPECT_EQ(road.Size, 6);
    EXPECT_EQ(road.End, road.File.Position() + 6);
    EXPECT_EQ(road.File.Path(), archives.Path() + "track.pod");
    EXPECT_EQ(ReadAll(road), "packed");
    EXPECT_TRUE(finder.FoundCache.empty()) << "the finder is not asked for what the archive holds";
}

TEST_F(GameFilesTest, TheFinderAnswersForNamesTheArchiveLacks) {
    search.WriteFile("art/GRASS.RAW", "loose grass");
    TGameFiles files(&Archive(TPodWriter().Add("ART\\ROAD.RAW", "packed")), finder);
    TOpenedGameFile grass = files.Open("ART\\GRASS.RAW");
    ASSERT_TRUE(grass.Found());
    EXPECT_EQ(grass.Source, TGameFileSource::Finder);
    EXPECT_EQ(grass.Size, 11);
    EXPECT_EQ(grass.End, 11);
    EXPECT_EQ(ReadAll(grass), "loose grass");
}

TEST_F(GameFilesTest, WithoutAnArchiveEveryNameGoesToTheFinderWhichMayFindItInAnotherArchive) {
    WriteFileBytes(search.Path() + "GAME.POD", TPodWriter()
                                                   .Add("FIRST", "0123456789")
                                                   .Add("MODELS\\TREE.BIN", "tree model")
                                                   .Add("LAST", "abc")
                                                   .Bytes());
    TGameFiles files(nullptr, finder);
    EXPECT_EQ(files.Archive(), nullptr);
    TOpenedGameFile tree = files.Open("MODELS\\TREE.BIN");
    ASSERT_TRUE(tree.Found());
    EXPECT_EQ(tree.Source, TGameFileSource::Finder);
    EXPECT_EQ(tree.Size, 10);
    EXPECT_GT(tree.File.Position(), 0) << "positioned at the entry inside the other archive";
    EXPECT_EQ(tree.End, tree.File.Position() + 10);
    EXPECT_EQ(ReadAll(tree), "tree model");
}

TEST_F(GameFilesTest, ANameFoundNowhereGivesAClosedFileAndNoSize) {
    TGameFiles files(&Archive(TPodWriter().Add("ART\\ROAD.RAW", "packed")), finder);
    const TOpenedGameFile missing = files.Open("ART\\GONE.RAW");
    EXPECT_FALSE(missing.Found());
    EXPECT_EQ(missing.Source, TGameFileSource::Nowhere);
    EXPECT_EQ(missing.Size, -1);
    EXPECT_EQ(missing.End, -1);
    EXPECT_FALSE(missing.File.IsOpen());
    EXPECT_EQ(finder.MissingCache.Lines(), TStringList{"ART\\GONE.RAW=XXX"});
}

TEST_F(GameFilesTest, NamesAreFoundWhateverTheCaseOfTheirLetters) {
    search.WriteFile("art/Grass.Raw", "loose grass");
    TGameFiles files(&Archive(TPodWriter().Add("ART\\ROAD.RAW", "packed")), finder);
    TOpenedGameFile road = files.Open("art\\road.raw");
    ASSERT_EQ(road.Source, TGameFileSource::Archive);
    EXPECT_EQ(ReadAll(road), "packed");
    TOpenedGameFile grass = files.Open("ART\\GRASS.RAW");
    ASSERT_EQ(grass.Source, TGameFileSource::Finder);
    EXPECT_EQ(ReadAll(grass), "loose grass");
}

TEST(GameLoad, WarnsOfEachProblemOnce) {
    TQRXFileFinder finder;
    TGameFiles files(nullptr, finder);
    TStringList warnings{"earlier"};
    TPalettePool palettes;
    TGameLoad load{files, warnings, palettes};
    load.WarnOnce("Error: Texture \"ART\\A.RAW\" not found");
    load.WarnOnce("Error: Texture \"ART\\A.RAW\" not found");
    load.WarnOnce("earlier");
    EXPECT_EQ(warnings, (TStringList{"earlier", "Error: Texture \"ART\\A.RAW\" not found"}));
    warnings.push_back("pushed directly");
    load.WarnOnce("pushed directly");
    EXPECT_EQ(warnings.size(), 3u);
    warnings.clear();
    load.WarnOnce("earlier");
    EXPECT_EQ(warnings, TStringList{"earlier"}) << "an emptied list is warned into afresh";
}

} // namespace
