#include "core/track/LevelFile.h"
#include "core/base/Errors.h"
#include "core/track/DMConvert.h"
#include "tests/support/TrackTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(DMConvert, GridIndicesMapOntoSixteenWorldUnits) {
    EXPECT_EQ(GridToWorld(0), -8);
    EXPECT_EQ(GridToWorld(128), 0);
    EXPECT_EQ(GridToWorld(255), 7.9375L);
    EXPECT_EQ(GridToWorld(256), 8);
    EXPECT_EQ(LevelByteToHeight(255), 1);
    EXPECT_EQ(LevelByteToHeight(0), 0);
    EXPECT_NEAR(static_cast<double>(LevelByteToHeight(51)), 0.2, 1e-12);
}

TEST(DMConvert, TranslationsAndHeightsGoBackToGridUnits) {
    EXPECT_EQ(WorldToMapUnits(-8), 255);
    EXPECT_EQ(WorldToMapUnits(8), 0);
    // The negated world coordinate of grid index i comes back as i * 255 / 256.
    EXPECT_NEAR(static_cast<double>(WorldToMapUnits(-GridToWorld(200))), 200.0 * 255 / 256, 1e-12);
    EXPECT_EQ(HeightToLevelUnits(1), 255);
    EXPECT_NEAR(static_cast<double>(HeightToLevelUnits(LevelByteToHeight(77))), 77, 1e-12);
}

TEST(DMConvert, EveryCellsTranslationRoundsBackToThatCell) {
    EXPECT_EQ(MapUnitsToWorld(0), 8);
    EXPECT_EQ(MapUnitsToWorld(255), -8);
    for (int cell = 0; cell < 256; ++cell) {
        EXPECT_EQ(std::lround(WorldToMapUnits(static_cast<float>(MapUnitsToWorld(cell)))), cell)
            << cell;
    }
}

TEST(TexEntry, DecodesNumberMirrorsAndRotation) {
    const TTexEntry plain{0x05, 0x01};
    EXPECT_EQ(plain.Number(), 261);
    EXPECT_EQ(plain.MirrorS(), 0);
    EXPECT_EQ(plain.MirrorT(), 0);
    EXPECT_EQ(plain.Rotation(), 0);
    const TTexEntry turned{0x05, 0xF0};
    EXPECT_EQ(turned.Number(), 5);
    EXPECT_EQ(turned.MirrorS(), 1);
    EXPECT_EQ(turned.MirrorT(), 1);
    EXPECT_EQ(turned.Rotation(), 3);
    // Bits 1..3 carry nothing.
    const TTexEntry unused{0xFF, 0x0E};
    EXPECT_EQ(unused.Number(), 255);
    EXPECT_EQ(unused.MirrorS() + unused.MirrorT() + unused.Rotation(), 0);
}

TEST(LevelFile, DerivedNamesReplaceTheLastCharacter) {
    EXPECT_EQ(GroundBoxBottomFileName("DATA\\TRACK.AL3"), "DATA\\TRACK.AL0");
    EXPECT_EQ(GroundBoxTopFileName("DATA\\TRACK.AL3"), "DATA\\TRACK.AL1");
    EXPECT_EQ(GroundBoxTexIndexFileName("DATA\\TRACK.TXX"), "DATA\\TRACK.TX0");
    EXPECT_EQ(GroundBoxTopFileName("DATA\\"), "DATA1");
}

// Seventeen lines with the names on lines 3, 4, 6 and 17, then whatever follows.
std::vector<std::string> LevelLines(const std::vector<std::string>& after) {
    std::vector<std::string> lines = {"version",   "ignored", "TRACK.AL3",
                                      "TRACK.TEX", "unused",  "TRACK.LST"};
    for (int line = 7; line <= 16; ++line) {
        lines.push_back("line " + std::to_string(line));
    }
    lines.push_back("TRACK.LIT");
    lines.insert(lines.end(), after.begin(), after.end());
    return lines;
}

float WaterOf(const std::vector<std::string>& lines) {
    const auto fresh = std::make_unique<TTrackData>();
    TTrackData& track = *fresh;
    track.WaterHeight = 99; // a previous track's water must not survive
    TTestPod pod(TPodWriter().Add("LEVELS\\T.LVL", CrLfLines(lines)));
    TQuietProgress progress;
    ReadLevelFile(track, pod.Pod(), "levels\\t.lvl", progress);
    return track.WaterHeight;
}

TEST(LevelFile, NamesComeFromTheirLinesWithBlankLinesNotCounted) {
    const auto fresh = std::make_unique<TTrackData>();
    TTrackData& track = *fresh;
    std::string text = "\r\n\r\n" + CrLfLines(LevelLines({}));
    text.insert(text.find("TRACK.TEX"), "\n\n   \r\n"); // a line of blanks does count
    TTestPod pod(TPodWriter().Add("LEVELS\\T.LVL", text));
    TRecordingProgress progress;
    // The blank-only line shifts the later lines by one.
    ReadLevelFile(track, pod.Pod(), "LEVELS\\T.LVL", progress);
    const TTrackData& td = track;
    EXPECT_EQ(td.AltitudeFileName, "DATA\\TRACK.AL3");
    EXPECT_EQ(td.TexIndexFileName, "DATA\\   ");
    EXPECT_EQ(td.TextureListFileName, "DATA\\unused");
    EXPECT_EQ(td.LightMapFileName, "DATA\\line 16");
    EXPECT_EQ(progress.Events, (std::vector<std::string>{"action Parsing LVL file",
                                                         "sub Extracting misc. file names",
                                                         "sub Extracting water level"}));
}

TEST(LevelFile, NamesAreTakenAsWrittenAfterDataFolder) {
    const auto fresh = std::make_unique<TTrackData>();
    TTrackData& track = *fresh;
    TTestPod pod(TPodWriter().Add("T.LVL", CrLfLines(LevelLines({}))));
    TQuietProgress progress;
    ReadLevelFile(track, pod.Pod(), "T.LVL", progress);
    const TTrackData& td = track;
    EXPECT_EQ(td.AltitudeFileName, "DATA\\TRACK.AL3");
    EXPECT_EQ(td.TexIndexFileName, "DATA\\TRACK.TEX");
    EXPECT_EQ(td.TextureListFileName, "DATA\\TRACK.LST");
    EXPECT_EQ(td.LightMapFileName, "DATA\\TRACK.LIT");
    EXPECT_EQ(td.WaterHeight, 0);
}

TEST(LevelFile, WaterKeyIsFoundTrimmedInAnyCase) {
    EXPECT_EQ(WaterOf(LevelLines({"  !waterheight  ", "512"})), 0.5f);
    EXPECT_EQ(WaterOf(LevelLines({"x", "!WaterHeight", " 256 "})), 0.25f);
    // Only the first key counts.
    EXPECT_EQ(WaterOf(LevelLines({"!WATERHEIGHT", "1024", "!WATERHEIGHT", "512"})), 1.0f);
}

TEST(LevelFile, WaterIsZeroWithoutKeyOrNumber) {
    EXPECT_EQ(WaterOf(LevelLines({"512"})), 0);
    EXPECT_EQ(WaterOf(LevelLines({"!WATERHEIGHT", "deep"})), 0);
    EXPECT_EQ(WaterOf(LevelLines({"!WATERHEIGHT"})), 0);
    EXPECT_EQ(WaterOf(LevelLines({"!WATERHEIGHT", "1e999"})), 0);
}

TEST(LevelFile, WaterBeyondWhatASingleHoldsIsRefusedWithALogLine) {
    TLogCapture log;
    EXPECT_EQ(WaterOf(LevelLines({"!WATERHEIGHT", "1e45"})), 0);
    EXPECT_EQ(WaterOf(LevelLines({"!WATERHEIGHT", "-1e45"})), 0);
    EXPECT_TRUE(log.Has("Water height 1e45 in levels\\t.lvl is out of range; no water."));
    EXPECT_TRUE(log.Has("Water height -1e45 in levels\\t.lvl is out of range; no water."));
    EXPECT_EQ(WaterOf(LevelLines({"!WATERHEIGHT", "3e41"})), static_cast<float>(3e41 / 1024));
    // A key among the lines that name files is not scanned for.
    std::vector<std::string> early = LevelLines({});
    early[9] = "!WATERHEIGHT";
    early[10] = "512";
    EXPECT_EQ(WaterOf(early), 0);
}

TEST(LevelFile, MissingLevelEntryRaisesInOutError) {
    const auto fresh = std::make_unique<TTrackData>();
    TTrackData& track = *fresh;
    TTestPod pod(TPodWriter().Add("OTHER.LVL", "x"));
    TQuietProgress progress;
    EXPECT_THROW(ReadLevelFile(track, pod.Pod(), "LEVELS\\T.LVL", progress), EInOutError);
}

std::string HeightBytes(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i / 256 * 7 + i % 256) & 0xFF);
    }
    return bytes;
}

TEST(HeightFile, FillsRowsOfVerticesAndStepsOncePerRow) {
    const auto fresh = std::make_unique<TTrackData>();
    TTrackData& track = *fresh;
    TTestPod pod(TPodWriter().Add("DATA\\T.AL3", HeightBytes(65536)));
    TRecordingProgress progress;
    TTrackData& td = track;
    ReadHeightFile(pod.Pod(), "DATA\\T.AL3", td.TerrainVertices, progress);
    for (int r : {0, 1, 128, 255}) {
        for (int c : {0, 3, 200, 255}) {
            const TVertex3f v = td.TerrainVertices[r][c];
            EXPECT_EQ(v.x, static_cast<float>(GridToWorld(r)));
            EXPECT_EQ(v.y, static_cast<float>(((r * 7 + c) & 0xFF) / 255.0L)) << r << "," << c;
            EXPECT_EQ(v.z, static_cast<float>(GridToWorld(c)));
        }
    }
    EXPECT_TRUE(progress.Saw("range 0..256"));
    EXPECT_EQ(progress.Steps, 256);
}

TEST(HeightFile, ShortEntryRaisesEvenWithMoreBytesBehindIt) {
    const auto fresh = std::make_unique<TTrackData>();
    TTrackData& track = *fresh;
    // The next entry would make up the missing byte; it must not be taken for heights.
    TTestPod pod(TPodWriter().Add("DATA\\T.AL3", HeightBytes(65535)).Add("NEXT", "xxxx"));
    TQuietProgress progress;
    try {
        ReadHeightFile(pod.Pod(), "DATA\\T.AL3", track.GroundBoxTop, progress);
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), kReadPastEndText);
    }
    EXPECT_THROW(ReadHeightFile(pod.Pod(), "DATA\\T.AL0", track.GroundBoxTop, progress),
                 EInOutError);
}

TEST(GridBlocks, TextureIndexEntriesLandInRowMajorOrder) {
    const auto fresh = std::make_unique<TTrackData>();
    TTrackData& track = *fresh;
    TByteWriter terrain;
    for (int i = 0; i < 65536; ++i) {
        terrain.U8(static_cast<uint8_t>(i)).U8(static_cast<uint8_t>(i >> 8));
    }
    TByteWriter faces;
    for (int i = 0; i < 65536 * 6; ++i) {
        faces.U8(static_cast<uint8_t>(i % 6)).U8(static_cast<uint8_t>(i / 6 % 256));
    }
    TTestPod pod(TPodWriter().Add("TEX", terrain.Bytes()).Add("TE0", faces.Bytes()));
    TTrackData& td = track;
    TGameFile file;
    ReadTerrainTexIndex(file, OpenTrackEntry(pod.Pod(), file, "TEX"), td.TerrainTexIndex);
    EXPECT_EQ(td.TerrainTexIndex[0][1].b0, 1);
    EXPECT_EQ(td.TerrainTexIndex[2][3].b0, 3);
    EXPECT_EQ(td.TerrainTexIndex[2][3].b1, 2);
    EXPECT_EQ(td.TerrainTexIndex[255][254].b1, 255);
    ReadGroundBoxTexIndex(file, OpenTrackEntry(pod.Pod(), file, "TE0"), td.GroundBoxTexIndex);
    EXPECT_EQ(td.GroundBoxTexIndex[0][7][4].b0, 4);
    EXPECT_EQ(td.GroundBoxTexIndex[0][7][4].b1, 7);
    EXPECT_EQ(td.GroundBoxTexIndex[1][2][5].b1, 2);
}

TEST(GridBlocks, LightMapTakesSevenBytesPerPoint) {
    const auto fresh = std::make_unique<TTrackData>();
    TTrackData& track = *fresh;
    std::string bytes(458752, '\0');
    bytes[(3 * 256 + 4) * 7] = static_cast<char>(200);
    bytes[(3 * 256 + 4) * 7 + 6] = static_cast<char>(9);
    TTestPod pod(TPodWriter().Add("LIT", bytes));
    TGameFile file;
    ReadLightMap(file, OpenTrackEntry(pod.Pod(), file, "LIT"), track.LightMap);
    EXPECT_EQ(track.LightMap[3][4][0], 200);
    EXPECT_EQ(track.LightMap[3][4][6], 9);
    EXPECT_EQ(track.LightMap[3][5][0], 0);
}

TEST(GridBlocks, BlockShorterThanItsFormatRaises) {
    const auto fresh = std::make_unique<TTrackData>();
    TTrackData& track = *fresh;
    TTestPod pod(TPodWriter().Add("TEX", std::string(131071, 'x')).Add("PAD", std::string(9, 'y')));
    TGameFile file;
    TTrackData& td = track;
    EXPECT_THROW(
        ReadTerrainTexIndex(file, OpenTrackEntry(pod.Pod(), file, "TEX"), td.TerrainTexIndex),
        EInOutError);
    // Told more than the file holds, the read itself fails.
    EXPECT_THROW(ReadLightMap(file, 458752, td.LightMap), EInOutError);
    EXPECT_THROW(OpenTrackEntry(pod.Pod(), file, "NONE"), EInOutError);
}

void SetTerrainByte(TTrackData& track, int r, int c, int levelByte) {
    track.TerrainVertices[r][c].y = static_cast<float>(LevelByteToHeight(levelByte));
}

TEST(TerrainInGroundBox, FlatZeroTerrainSitsInZeroBoxesUntilACornerRises) {
    const auto fresh = std::make_unique<TTrackData>();
    TTrackData& track = *fresh;
    TRecordingProgress progress;
    MarkTerrainInGroundBoxes(track, progress);
    const TTrackData& td = track;
    EXPECT_TRUE(td.TerrainInGroundBox[10][10]);
    EXPECT_EQ(progress.Steps, 256);
    EXPECT_TRUE(progress.Saw("range 0..256"));

    SetTerrainByte(track, 10, 10, 1);
    MarkTerrainInGroundBoxes(track, progress);
    // Every cell with (10, 10) as a corner.
    EXPECT_FALSE(td.TerrainInGroundBox[10][10]);
    EXPECT_FALSE(td.TerrainInGroundBox[9][10]);
    EXPECT_FALSE(td.TerrainInGroundBox[10][9]);
    EXPECT_FALSE(td.TerrainInGroundBox[9][9]);
    EXPECT_TRUE(td.TerrainInGroundBox[10][11]);
    EXPECT_TRUE(td.TerrainInGroundBox[11][10]);
    EXPECT_TRUE(td.TerrainInGroundBox[8][10]);
}

TEST(TerrainInGroundBox, LastRowAndColumnWrapToTheFirst) {
    const auto fresh = std::make_unique<TTrackData>();
    TTrackData& track = *fresh;
    SetTerrainByte(track, 0, 5, 1);
    SetTerrainByte(track, 7, 0, 1);
    TQuietProgress progress;
    MarkTerrainInGroundBoxes(track, progress);
    const TTrackData& td = track;
    EXPECT_FALSE(td.TerrainInGroundBox[255][5]);
    EXPECT_FALSE(td.TerrainInGroundBox[255][4]);
    EXPECT_TRUE(td.TerrainInGroundBox[254][5]);
    EXPECT_FALSE(td.TerrainInGroundBox[7][255]);
    EXPECT_FALSE(td.TerrainInGroundBox[6][255]);
    EXPECT_TRUE(td.TerrainInGroundBox[7][254]);
}

TEST(TerrainInGroundBox, BoundsAreInclusiveAndOnlyTheOwnCornerCounts) {
    const auto fresh = std::make_unique<TTrackData>();
    TTrackData& track = *fresh;
    TTrackData& td = track;
    td.GroundBoxBottom[20][30].y = 0.2f;
    td.GroundBoxTop[20][30].y = 0.4f;
    td.TerrainVertices[20][30].y = 0.2f;
    td.TerrainVertices[21][30].y = 0.4f;
    td.TerrainVertices[20][31].y = 0.3f;
    td.TerrainVertices[21][31].y = 0.4f;
    // The neighbouring grid points' boxes do not widen or narrow this cell's.
    td.GroundBoxBottom[21][31].y = 0.9f;
    td.GroundBoxTop[21][31].y = 0.95f;
    TQuietProgress progress;
    MarkTerrainInGroundBoxes(track, progress);
    EXPECT_TRUE(td.TerrainInGroundBox[20][30]);

    td.TerrainVertices[21][31].y = 0.41f;
    MarkTerrainInGroundBoxes(track, progress);
    EXPECT_FALSE(td.TerrainInGroundBox[20][30]);

    // A box upside down holds nothing.
    td.TerrainVertices[21][31].y = 0.3f;
    td.GroundBoxBottom[20][30].y = 0.5f;
    MarkTerrainInGroundBoxes(track, progress);
    EXPECT_FALSE(td.TerrainInGroundBox[20][30]);
}

} // namespace
