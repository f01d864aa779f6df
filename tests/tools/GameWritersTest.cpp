#include "tools/GameWriters.h"
#include "core/vfs/PodFile.h"
#include "tests/tools/BinWalk.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {

uint8_t Byte(const std::string& s, size_t i) {
    return static_cast<uint8_t>(s[i]);
}
int Word16(const std::string& s, size_t i) {
    return Byte(s, i) | Byte(s, i + 1) << 8;
}

// The non-blank lines of a text entry, as the viewer's reader delivers them.
TStringList EntryLines(const std::string& text) {
    TTempDir dir;
    const std::string path = dir.Path() + "T.POD";
    TPodWriter().Add("T.TXT", text).Write(path);
    TPodFile pod(path);
    TGameFile file;
    EXPECT_TRUE(pod.OpenEntry(file, "T.TXT"));
    TStringList lines;
    for (std::string line = pod.ReadLine(file, "T.TXT"); !line.empty();
         line = pod.ReadLine(file, "T.TXT")) {
        lines.push_back(line);
    }
    return lines;
}

TEST(GameWriters, PaletteIsThreeBytesPerEntryInEntryOrder) {
    TRgbPalette palette{};
    palette[0] = {1, 2, 3};
    palette[255] = {250, 251, 252};
    const std::string act = ActBytes(palette);
    ASSERT_EQ(act.size(), 768u);
    EXPECT_EQ(Byte(act, 0), 1);
    EXPECT_EQ(Byte(act, 2), 3);
    EXPECT_EQ(Byte(act, 765), 250);
    EXPECT_EQ(Byte(act, 767), 252);
}

TEST(GameWriters, RawTexturesMustBeFilledSquares) {
    TIndexedImage image{4, std::vector<uint8_t>(16, 7)};
    image.Pixels[5] = 9;
    const std::string raw = RawBytes(image);
    ASSERT_EQ(raw.size(), 16u);
    EXPECT_EQ(Byte(raw, 5), 9);
    image.Pixels.pop_back();
    EXPECT_THROW(RawBytes(image), std::invalid_argument);
    EXPECT_THROW(RawBytes(TIndexedImage{}), std::invalid_argument);
}

TEST(GameWriters, TargaHeaderAndPixelsAreWhatTheLoaderReads) {
    TRgbImage image(3, 2);
    image.At(0, 0) = {10, 20, 30};
    image.At(2, 1) = {200, 210, 220};
    const std::string tga = Tga24Bytes(image);
    ASSERT_EQ(tga.size(), 18u + 3 * 2 * 3);
    EXPECT_EQ(Byte(tga, 0), 0);
    EXPECT_EQ(Byte(tga, 1), 0);
    EXPECT_EQ(Byte(tga, 2), 2);
    EXPECT_EQ(Word16(tga, 12), 3);
    EXPECT_EQ(Word16(tga, 14), 2);
    EXPECT_EQ(Byte(tga, 16), 24);
    // Blue, green, red; the image's first row first.
    EXPECT_EQ(Byte(tga, 18), 30);
    EXPECT_EQ(Byte(tga, 19), 20);
    EXPECT_EQ(Byte(tga, 20), 10);
    EXPECT_EQ(Byte(tga, 18 + 5 * 3), 220);
    EXPECT_EQ(Byte(tga, 18 + 5 * 3 + 2), 200);
}

TEST(GameWriters, TextureEntryPacksNumberMirrorsAndRotation) {
    auto plain = TexEntryBytes(261, false, false, 0);
    EXPECT_EQ(plain[0], 5);
    EXPECT_EQ(plain[1], 0x01);
    auto mirroredS = TexEntryBytes(261, true, false, 0);
    EXPECT_EQ(mirroredS[1], 0x21);
    auto all = TexEntryBytes(5, true, true, 3);
    EXPECT_EQ(all[0], 5);
    EXPECT_EQ(all[1], 0xF0);
    EXPECT_EQ(TexEntryBytes(511, false, true, 1)[1], 0x01 | 0x10 | 0x40);
    EXPECT_THROW(TexEntryBytes(512, false, false, 0), std::invalid_argument);
    EXPECT_THROW(TexEntryBytes(0, false, false, 4), std::invalid_argument);
}

TEST(GameWriters, BinWriterSharesEqualVerticesAndEndsTheFile) {
    TBinWriter bin;
    const int32_t a = bin.Vertex(0, 0, 0);
    const int32_t b = bin.Vertex(100, 0, 0);
    const int32_t c = bin.Vertex(100, 100, 0);
    EXPECT_EQ(bin.Vertex(100, 0, 0), b);
    bin.Texture("ROAD.RAW");
    bin.Color(1, 2, 3, 4);
    bin.Face(kFaceOpaque, {{a, 0, 0}, {b, 16711680, 0}, {c, 16711680, 16711680}});
    bin.Face(kFaceNoCoords, {{c, 5, 5}, {b, 0, 0}, {a, 0, 0}});
    bin.AnimatedTexture({"A.RAW", "B.RAW"});
    bin.Normals({{0, 1, 0}, {0, 1, 0}, {0, 1, 0}});
    const std::string bytes = bin.Bytes();

    const TWalkedModel model = WalkBin(bytes);
    ASSERT_EQ(model.Error, "");
    EXPECT_TRUE(model.Ended);
    EXPECT_EQ(model.EndOffset, bytes.size());
    ASSERT_EQ(model.Vertices.size(), 3u);
    EXPECT_EQ(model.Vertices[2][1], 100);
    ASSERT_EQ(model.Faces.size(), 2u);
    EXPECT_EQ(model.Faces[0].Coords[1][0], 16711680);
    EXPECT_TRUE(model.Faces[1].Coords.empty()); // no coordinates in a 0x19 face
    EXPECT_EQ(model.Textures, (std::vector<std::string>{"ROAD.RAW", "A.RAW", "B.RAW"}));
    EXPECT_EQ(bin.TextureNames(), model.Textures);
    EXPECT_EQ(model.BlockIds, (std::vector<int32_t>{0x0D, 0x0A, 0x0E, 0x19, 0x1D, 0x03, 0x00}));
}

TEST(GameWriters, BinWriterRefusesWhatTheFormatCannotHold) {
    TBinWriter bin;
    bin.Vertex(0, 0, 0);
    EXPECT_THROW(bin.Texture("SEVENTEEN_CHARS.X"), std::invalid_argument);
    EXPECT_THROW(bin.Face(kFaceOpaque, {{0, 0, 0}, {0, 0, 0}}), std::invalid_argument);
    EXPECT_THROW(bin.Face(kFaceOpaque, {{0, 0, 0}, {0, 0, 0}, {1, 0, 0}}), std::invalid_argument);
    EXPECT_THROW(bin.AnimatedTexture({}), std::invalid_argument);
}

TEST(GameWriters, AnimationControlNamesItsFirstModelAtOffset24) {
    const std::string bytes = AnimationControlBytes("FLAG1.BIN");
    ASSERT_EQ(bytes.size(), 520u);
    EXPECT_EQ(Byte(bytes, 0), 32);
    EXPECT_EQ(bytes.substr(24, 9), "FLAG1.BIN");
    EXPECT_EQ(Byte(bytes, 33), 0);
    const TWalkedModel model = WalkBin(bytes);
    EXPECT_TRUE(model.IsAnimationControl);
    EXPECT_EQ(model.FirstModelName, "FLAG1.BIN");
}

TEST(GameWriters, LevelFileNamesSitOnTheLinesTheReaderTakes) {
    TLevelDescription level{"T.ALT", "T.TXI", "T.TXL", "T.LIT", true, 512};
    const TStringList lines = EntryLines(LvlText(level));
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[2], "T.ALT");
    EXPECT_EQ(lines[3], "T.TXI");
    EXPECT_EQ(lines[5], "T.TXL");
    EXPECT_EQ(lines[16], "T.LIT");
    EXPECT_EQ(lines[17], "!WATERHEIGHT");
    EXPECT_DOUBLE_EQ(std::stod(lines[18]) / 1024, 0.5);

    level.HasWater = false;
    EXPECT_EQ(EntryLines(LvlText(level)).size(), 17u);
    level.LightMapFile.clear();
    EXPECT_THROW(LvlText(level), std::invalid_argument);
}

TEST(GameWriters, DerivedNamesReplaceTheLastCharacter) {
    EXPECT_EQ(DerivedName("VALLEY.ALT", '0'), "VALLEY.AL0");
    EXPECT_EQ(DerivedName("X", '1'), "1");
    EXPECT_THROW(DerivedName("", '0'), std::invalid_argument);
}

TEST(GameWriters, TextureListStartsWithItsCount) {
    const TStringList lines = EntryLines(TextureListText({"A.RAW", "B.RAW"}));
    EXPECT_EQ(lines, (TStringList{"2", "A.RAW", "B.RAW"}));
}

TEST(GameWriters, RecordsHaveTheLineCountsAndKeysTheReaderExpects) {
    TBoxRecord box{"Crate", -1.5, 2.25, 3, 0.1, 0.2, 0.3, "CRATE.BIN", "6,0"};
    const auto lines = BoxRecordLines(box);
    ASSERT_EQ(lines.size(), 21u);
    auto valueOf = [](const std::vector<std::string>& record, const std::string& key) {
        for (size_t i = 0; i + 1 < record.size(); ++i) {
            if (record[i] == key) {
                return record[i + 1];
            }
        }
        return std::string("<none>");
    };
    EXPECT_EQ(valueOf(lines, "IPOS"), "-1.50,2.25,3.00");
    EXPECT_EQ(valueOf(lines, "THETA,PHI,PSI"), "0.10000,0.20000,0.30000");
    EXPECT_EQ(valueOf(lines, "MODEL"), "CRATE.BIN");
    EXPECT_EQ(valueOf(lines, "!TYPE,FLAGS"), "6,0");
    for (const std::string& line : lines) {
        EXPECT_FALSE(line.empty());
    }

    TTopCrushRecord crush{"Truck", 1, 2, 3, 4, 5, 6, 0, 0, 1, "TRAILER.BIN", "TRUCKCAB.BIN", "7,0"};
    const auto crushLines = TopCrushRecordLines(crush);
    ASSERT_EQ(crushLines.size(), 17u);
    EXPECT_EQ(valueOf(crushLines, "IPOS"), "1.00,2.00,3.00");
    EXPECT_EQ(valueOf(crushLines, "IPOS2"), "4.00,5.00,6.00");
    EXPECT_EQ(valueOf(crushLines, "MODELNAME"), "TRAILER.BIN");
    EXPECT_EQ(valueOf(crushLines, "CABMODELNAME"), "TRUCKCAB.BIN");
}

TEST(GameWriters, TrackDescriptionOrdersItsKeysForTheReader) {
    TTrackDescription track;
    track.LevelFile = "T.LVL";
    track.TrackName = "Test";
    track.BackdropType = 1;
    track.Backdrops = {"A.BIN", "B.BIN"};
    track.StadiumFlag = 1;
    track.StadiumX = 100;
    track.StadiumZ = 120;
    track.StadiumSX = 20;
    track.StadiumSZ = 30;
    track.StadiumModel = "STAD.BIN";
    track.GridPos = {10, 20, 30};
    track.Boxes.push_back({"Box", 1, 2, 3, 0, 0, 0, "CRATE.BIN", "7,0"});
    track.TopCrush.push_back({"Truck", 1, 2, 3, 4, 5, 6, 0, 0, 0, "T.BIN", "C.BIN", "7,0"});
    const TStringList lines = EntryLines(SitText(track));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "T.LVL");
    auto at = [&](const std::string& key) {
        const auto it = std::find(lines.begin(), lines.end(), key);
        EXPECT_NE(it, lines.end()) << key;
        return static_cast<size_t>(it - lines.begin());
    };
    EXPECT_EQ(lines[at("!Race Track Name") + 1], "Test");
    EXPECT_EQ(lines[at("backdropType,backdropCount") + 1], "1,2");
    EXPECT_LT(at("backdropType,backdropCount"), at("backdropModelName"));
    EXPECT_EQ(lines[at("backdropModelName") + 2], "B.BIN");
    EXPECT_EQ(lines[at("!stadiumFlag,x,z,sx,sz,stadiumModelName") + 1], "1,100,120,20,30,STAD.BIN");
    EXPECT_EQ(lines[at("*** Vehicles ***") + 6], "10.00,20.00,30.00");
    EXPECT_EQ(lines[at("*** Vehicles ***") + 10], "0.00000,0.00000,0.00000");
    const size_t boxes = at("*** Boxes ***");
    EXPECT_EQ(lines[boxes + 1], "1");
    const size_t crush = at("*** TOP CRUSH ***");
    EXPECT_EQ(crush, boxes + 2 + 21);
    EXPECT_EQ(lines[crush + 1], "1");
    EXPECT_EQ(lines.size(), crush + 2 + 17);

    track.Backdrops = {"A", "B", "C", "D"};
    EXPECT_THROW(SitText(track), std::invalid_argument);
}

TEST(GameWriters, FileAnglesTurnByTheWantedAngleUnderTheViewersConversion) {
    for (double radians : {0.0, 0.5, -2.0, std::numbers::pi}) {
        const double degreesDrawn = FileAngle(radians) * 180.0 / 3.14;
        EXPECT_NEAR(degreesDrawn, radians * 180.0 / std::numbers::pi, 1e-9);
    }
}

} // namespace
