// The asset log: what the game-file lookup writes as it opens files, and how it is worded.
#include "core/vfs/AssetLog.h"
#include "core/formats/PalettePool.h"
#include "core/vfs/GameFiles.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <memory>

namespace {

// A data folder first and a search folder second, as the finder's folder list always is.
class AssetLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        finder.SearchFolders = {data.Path() + "data", search.Path() + "search"};
        data.MakeDir("data");
        search.MakeDir("search");
        TPodWriter().Add("ART\\ROAD.RAW", "packed").Write(archives.Path() + "track.pod");
        archive = std::make_unique<TPodFile>(archives.Path() + "track.pod");
    }

    const TAssetRecord* Find(const std::string& name) const {
        for (const TAssetRecord& record : log.Records()) {
            if (record.Name == name) {
                return &record;
            }
        }
        return nullptr;
    }

    TTempDir archives;
    TTempDir data;
    TTempDir search;
    TQRXFileFinder finder;
    std::unique_ptr<TPodFile> archive;
    TAssetLog log;
};

TEST_F(AssetLogTest, EachStopOfTheLookupIsRecordedWithTheFileThatAnswered) {
    data.WriteFile("data/DMGLCHK.BIN", "marker");
    const std::string loose = search.WriteFile("search/art/GRASS.RAW", "grass!");
    TPodWriter().Add("ART\\SAND.RAW", "sand").Write(search.Path() + "search/MORE.POD");
    TGameFiles files(archive.get(), finder);
    files.RecordInto(&log);
    for (const char* name :
         {"ART\\ROAD.RAW", "DMGLCHK.BIN", "ART\\GRASS.RAW", "ART\\SAND.RAW", "ART\\MUD.RAW"}) {
        files.Open(name);
    }

    ASSERT_EQ(log.Records().size(), 5u);
    EXPECT_EQ(FormatAssetLine(log.Records()[0]),
              "ART\\ROAD.RAW\tarchive " + archives.Path() + "track.pod\t6");
    EXPECT_EQ(FormatAssetLine(log.Records()[1]),
              "DMGLCHK.BIN\tdata folder " + data.Path() + "data/DMGLCHK.BIN\t6");
    EXPECT_EQ(FormatAssetLine(log.Records()[2]), "ART\\GRASS.RAW\tsearch folder " + loose + "\t6");
    EXPECT_EQ(FormatAssetLine(log.Records()[3]),
              "ART\\SAND.RAW\tsearch folder, inside " + search.Path() + "search/MORE.POD\t4");
    EXPECT_EQ(FormatAssetLine(log.Records()[4]), "ART\\MUD.RAW\tmissing\t-");
}

TEST_F(AssetLogTest, ANameAskedForAgainKeepsItsFirstLineWhateverItsCase) {
    TGameFiles files(archive.get(), finder);
    files.RecordInto(&log);
    files.Open("ART\\ROAD.RAW");
    files.Open("art\\road.raw");
    EXPECT_EQ(log.Records().size(), 1u);
    files.RecordInto(nullptr);
    files.Open("ART\\MUD.RAW");
    EXPECT_EQ(log.Records().size(), 1u) << "nothing is recorded once recording stops";
}

TEST_F(AssetLogTest, APaletteServedFromThePoolIsStillReportedWhereItLies) {
    TPodWriter()
        .Add("ART\\ROAD.RAW", "packed")
        .Add("ART\\ROAD.ACT", std::string(768, '\x40'))
        .Write(archives.Path() + "palette.pod");
    const TPodFile pod(archives.Path() + "palette.pod");
    TPalettePool pool;
    TGameFiles first(&pod, finder);
    ChooseGamePalette(pool, "ART\\ROAD.RAW", first);

    // A later load finds the palette in the pool and reads nothing, yet reports it.
    TGameFiles second(&pod, finder);
    second.RecordInto(&log);
    ChooseGamePalette(pool, "ART\\ROAD.RAW", second);
    ASSERT_NE(Find("ART\\ROAD.ACT"), nullptr);
    EXPECT_EQ(Find("ART\\ROAD.ACT")->Place, TAssetPlace::Archive);
    EXPECT_EQ(Find("ART\\ROAD.ACT")->Size, 768);
}

TEST_F(AssetLogTest, ArchiveEntriesAndTheViewersOwnFilesAreRecordedByName) {
    RecordArchiveEntry(log, *archive, "ART\\ROAD.RAW");
    RecordArchiveEntry(log, *archive, "LEVELS\\GONE.LVL");
    ASSERT_EQ(log.Records().size(), 2u);
    EXPECT_EQ(log.Records()[0].Place, TAssetPlace::Archive);
    EXPECT_EQ(log.Records()[1].Place, TAssetPlace::Missing);
}

TEST_F(AssetLogTest, TheJsonHoldsOneObjectPerRecordWithNullsForTheMissing) {
    log.Record({"ART\\ROAD.RAW", TAssetPlace::SearchFolder, "/x/MORE.POD", true, 6});
    log.Record({"ART\\MUD.RAW", TAssetPlace::Missing, "", false, -1});
    const nlohmann::ordered_json json =
        nlohmann::ordered_json::parse(FormatAssetJson(log.Records()));
    ASSERT_EQ(json.size(), 2u);
    EXPECT_EQ(json[0].dump(), R"({"name":"ART\\ROAD.RAW","found":"search folder",)"
                              R"("file":"/x/MORE.POD","inside_archive":true,"size":6})");
    EXPECT_EQ(json[1].dump(), R"({"name":"ART\\MUD.RAW","found":"missing","file":null,)"
                              R"("inside_archive":false,"size":null})");
}

} // namespace
