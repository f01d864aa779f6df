#include "core/formats/BINParse.h"
#include "core/base/Errors.h"
#include "core/base/TextUtils.h"
#include "core/vfs/GameFile.h"
#include "tests/render/BINTestSupport.h"

#include <gtest/gtest.h>

namespace {

class BINParseTest : public ::testing::Test {
protected:
    TBINData Parse(const TBINBuilder& bin, const std::string& trailer = "") {
        const std::string path = dir.WriteFile("model.bin", bin.Bytes() + trailer);
        EXPECT_TRUE(file.Open(path));
        return ParseBINModel(file, [this](const std::string& name) { requests.push_back(name); });
    }
    std::string ReadPastEndMessage(const TBINBuilder& bin) {
        try {
            Parse(bin);
        } catch (const EInOutError& e) {
            return e.what();
        }
        return "no error";
    }

    TTempDir dir;
    TLogCapture log;
    TGameFile file;
    TStringList requests;
};

TEST_F(BINParseTest, FirstBlockEndGivesVerticesWithoutFaces) {
    TBINBuilder bin;
    bin.Header(2).Vertex(1, 2, 3).Vertex(-4, -5, -6).End();
    const TBINData data = Parse(bin, "trailing bytes");
    ASSERT_EQ(data.Vertices.size(), 2u);
    EXPECT_EQ(data.Vertices[1].X, -4);
    EXPECT_EQ(data.Vertices[1].Y, -5);
    EXPECT_EQ(data.Vertices[1].Z, -6);
    EXPECT_TRUE(data.Faces.empty());
    EXPECT_FALSE(data.IsAnimationControl);
    EXPECT_EQ(file.Position(), static_cast<int64_t>(bin.Bytes().size()));
    EXPECT_EQ(log.Lines(),
              (std::vector<std::string>{"Loading BIN ...", "Number of Vertices: 2",
                                        "BLOCK: EndOfBIN", "Done loading BIN with 0 Faces."}));
}

TEST_F(BINParseTest, AnimationControlFileNamesItsFirstModelOnly) {
    TBINBuilder bin;
    bin.Header(999999, 32);
    TByteWriter rest;
    rest.I32(5).FixedText("FIRSTFRAME.BIN", 16).Raw(std::string(480, '\x7f'));
    const TBINData data = Parse(bin, rest.Bytes());
    EXPECT_TRUE(data.IsAnimationControl);
    EXPECT_EQ(data.FirstModelName, "FIRSTFRAME.BIN");
    EXPECT_TRUE(data.Vertices.empty());
    EXPECT_EQ(file.Position(), 520);
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"Loading BIN ...", "Animation Control BIN",
                                                     "First BIN: FIRSTFRAME.BIN"}));
}

TEST_F(BINParseTest, AnimationControlNameMayFillAllSixteenBytes) {
    TBINBuilder bin;
    bin.Header(0, 32);
    TByteWriter rest;
    rest.I32(0).Raw("ABCDEFGHIJKL.BIN").Raw("MORE").Raw(std::string(476, '\0'));
    EXPECT_EQ(Parse(bin, rest.Bytes()).FirstModelName, "ABCDEFGHIJKL.BIN");
}

TEST_F(BINParseTest, ShortAnimationControlFileRaises) {
    TBINBuilder bin;
    bin.Header(0, 32).Word(0);
    EXPECT_EQ(ReadPastEndMessage(bin), kReadPastEndText);
}

TEST_F(BINParseTest, FacesCarryTheirHeadTextureAndColour) {
    TBINBuilder bin = UnitTriangleModel();
    bin.Triangle(0x0E)
        .Texture("ROAD.RAW")
        .Face(0x11, {{0, 16711680, 65536}, {1, 2, 3}, {2, 4, 5}})
        .Color(1, 2, 3, 4)
        .Triangle(0x33)
        .End();
    const TBINData data = Parse(bin);
    ASSERT_EQ(data.Faces.size(), 3u);
    const TBINFace& plain = data.Faces[0];
    EXPECT_EQ(plain.BlockId, 0x0E);
    EXPECT_EQ(plain.VertexCount, 3);
    EXPECT_EQ(plain.HeadWords[0], 1);
    EXPECT_EQ(plain.HeadWords[3], 4);
    EXPECT_EQ(plain.TextureName, "");
    EXPECT_EQ((std::array<int, 4>{plain.Color[0], plain.Color[1], plain.Color[2], plain.Color[3]}),
              (std::array<int, 4>{0, 0, 0, 0}));

    const TBINFace& textured = data.Faces[1];
    EXPECT_EQ(textured.TextureName, "ROAD.RAW");
    EXPECT_EQ(textured.Color[0], 255);
    EXPECT_EQ(textured.Color[3], 255);
    EXPECT_EQ(textured.Indices[2], 2);
    EXPECT_EQ(textured.U[0], 16711680);
    EXPECT_EQ(textured.V[0], 65536);
    EXPECT_EQ(textured.V[2], 5);

    const TBINFace& coloured = data.Faces[2];
    EXPECT_EQ(coloured.TextureName, "ROAD.RAW");
    EXPECT_EQ((std::array<int, 4>{coloured.Color[0], coloured.Color[1], coloured.Color[2],
                                  coloured.Color[3]}),
              (std::array<int, 4>{1, 2, 3, 4}));
    EXPECT_EQ(requests, (TStringList{"ROAD.RAW"}));
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{
                               "Loading BIN ...",
                               "Number of Vertices: 3",
                               "BLOCK: Face block 0x0E",
                               "BLOCK: Texture block",
                               "Texture: ROAD.RAW",
                               "BLOCK: Face block 0x11",
                               "BLOCK: Color block",
                               "BLOCK: Face block 0x33",
                               "BLOCK: EndOfBIN",
                               "Done loading BIN with 3 Faces.",
                           }));
}

TEST_F(BINParseTest, EveryFaceBlockIdIsAFace) {
    TBINBuilder bin = UnitTriangleModel();
    for (int32_t id : {0x0E, 0x11, 0x18, 0x29, 0x33, 0x34}) {
        bin.Triangle(id);
    }
    bin.Face(0x19, {{0}, {1}, {2}}).End();
    const TBINData data = Parse(bin);
    ASSERT_EQ(data.Faces.size(), 7u);
    EXPECT_EQ(data.Faces[2].BlockId, 0x18);
    EXPECT_EQ(data.Faces[6].BlockId, 0x19);
    EXPECT_TRUE(log.Has("BLOCK: Face block 0x29"));
    EXPECT_TRUE(log.Has("BLOCK: Face block 0x34"));
}

TEST_F(BINParseTest, SixteenCharacterTextureNameIsTakenWhole) {
    TBINBuilder bin = UnitTriangleModel();
    bin.Texture("ABCDEFGHIJKL.RAW").Triangle().End();
    const TBINData data = Parse(bin);
    EXPECT_EQ(data.Faces[0].TextureName, "ABCDEFGHIJKL.RAW");
    EXPECT_EQ(requests, (TStringList{"ABCDEFGHIJKL.RAW"}));
}

TEST_F(BINParseTest, AnimatedTextureUsesItsFirstFrameAndConsumesAllFrames) {
    const std::string longName = "ABCDEFGHIJKLMNOPQRSTUVWXYZ12.RAW";
    ASSERT_EQ(longName.size(), 32u);
    TBINBuilder bin = UnitTriangleModel();
    bin.Animated(3, {longName, "SECOND.RAW", "THIRD.RAW"}).Triangle(0x18).End();
    const TBINData data = Parse(bin);
    ASSERT_EQ(data.Faces.size(), 1u);
    EXPECT_EQ(data.Faces[0].BlockId, 0x18);
    EXPECT_EQ(data.Faces[0].TextureName, longName);
    EXPECT_EQ(data.Faces[0].Color[1], 255);
    EXPECT_EQ(requests, (TStringList{longName}));
    EXPECT_TRUE(log.Has("BLOCK: Animated texture block"));
    EXPECT_TRUE(log.Has("Texture: " + longName));
}

TEST_F(BINParseTest, AnimatedTextureWithoutFramesIsReadAsOneFrame) {
    for (int32_t frames : {0, -3}) {
        TBINBuilder bin = UnitTriangleModel();
        bin.Animated(frames, {"ONLY.RAW"}).Triangle().End();
        const TBINData data = Parse(bin);
        ASSERT_EQ(data.Faces.size(), 1u) << frames;
        EXPECT_EQ(data.Faces[0].TextureName, "ONLY.RAW");
        file.Close();
    }
}

TEST_F(BINParseTest, IndexOnlyFaceConsumesFourBytesPerReferenceWithZeroCoordinates) {
    TBINBuilder bin = UnitTriangleModel();
    bin.Face(0x19, {{2}, {1}, {0}}).Triangle(0x0E).End();
    const TBINData data = Parse(bin);
    ASSERT_EQ(data.Faces.size(), 2u);
    EXPECT_EQ(data.Faces[0].Indices[0], 2);
    EXPECT_EQ(data.Faces[0].Indices[2], 0);
    EXPECT_EQ(data.Faces[0].U[0], 0);
    EXPECT_EQ(data.Faces[0].V[2], 0);
    EXPECT_EQ(data.Faces[1].BlockId, 0x0E);
}

TEST_F(BINParseTest, UnknownBlockStopsReadingAndKeepsWhatCameBefore) {
    struct TCase {
        int32_t id;
        const char* line;
    };
    for (const TCase& c :
         {TCase{0x05, "BLOCK: Unknown block 0x05"}, TCase{0x123, "BLOCK: Unknown block 0x123"},
          TCase{0xAB, "BLOCK: Unknown block 0xAB"}}) {
        TLogCapture caseLog;
        TBINBuilder bin = UnitTriangleModel();
        bin.Triangle().Word(c.id).Triangle();
        const TBINData data = Parse(bin);
        EXPECT_EQ(data.Faces.size(), 1u);
        const auto lines = caseLog.Lines();
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[lines.size() - 2], c.line);
        EXPECT_EQ(lines.back(), "Done loading BIN with 1 Faces.");
        file.Close();
    }
}

TEST_F(BINParseTest, LaterNormalsReplaceEarlierOnesAndSkippedBlocksAreSkipped) {
    TBINBuilder bin = UnitTriangleModel();
    bin.Normals({1, 2, 3, 4, 5, 6}, 2).Normals({7, 8, 9}, 1).Word(0x17).Word(0x0E).Word(0x0E);
    bin.Triangle().End();
    const TBINData data = Parse(bin);
    ASSERT_EQ(data.Normals.size(), 1u);
    EXPECT_EQ(data.Normals[0].Words[0], 7);
    EXPECT_EQ(data.Normals[0].Words[2], 9);
    EXPECT_EQ(data.Faces.size(), 1u);
    EXPECT_EQ(log.Count("BLOCK: QRX2 vertex normals."), 2);
    EXPECT_TRUE(log.Has("BLOCK: Vexwing unknown"));
}

TEST_F(BINParseTest, CountsTheFileCannotHoldRaiseBeforeAllocating) {
    constexpr int32_t kHuge = 1 << 30;
    TBINBuilder vertices;
    vertices.Header(kHuge).Vertex(1, 2, 3);
    EXPECT_EQ(ReadPastEndMessage(vertices), kReadPastEndText);
    file.Close();

    TBINBuilder negative;
    negative.Header(-1).End();
    EXPECT_EQ(ReadPastEndMessage(negative), kReadPastEndText);
    file.Close();

    TBINBuilder normals = UnitTriangleModel();
    normals.Normals({1, 2, 3}, kHuge).End();
    EXPECT_EQ(ReadPastEndMessage(normals), kReadPastEndText);
    file.Close();

    TBINBuilder frames = UnitTriangleModel();
    frames.Animated(kHuge, {"A.RAW", "B.RAW"}).End();
    EXPECT_EQ(ReadPastEndMessage(frames), kReadPastEndText);
    EXPECT_TRUE(requests.empty());
    file.Close();

    TBINBuilder face = UnitTriangleModel();
    face.Face(0x0E, {{0}, {1}, {2}}, kHuge).End();
    EXPECT_EQ(ReadPastEndMessage(face), kReadPastEndText);
}

TEST_F(BINParseTest, ModelWithoutEndBlockRaisesAtTheEndOfTheFile) {
    TBINBuilder bin = UnitTriangleModel();
    bin.Triangle();
    EXPECT_EQ(ReadPastEndMessage(bin), kReadPastEndText);
}

TEST_F(BINParseTest, FaceOfMoreThanFourReferencesKeepsTheFirstFour) {
    TBINBuilder bin = UnitTriangleModel();
    bin.Face(0x0E, {{0, 10, 11}, {1, 20, 21}, {2, 30, 31}, {1, 40, 41}, {0, 50, 51}, {2, 60, 61}})
        .Triangle(0x33)
        .End();
    const TBINData data = Parse(bin);
    ASSERT_EQ(data.Faces.size(), 2u);
    const TBINFace& big = data.Faces[0];
    EXPECT_EQ(big.VertexCount, 6);
    EXPECT_EQ(big.Indices[3], 1);
    EXPECT_EQ(big.U[3], 40);
    EXPECT_EQ(big.V[3], 41);
    EXPECT_EQ(data.Faces[1].BlockId, 0x33);
    EXPECT_FALSE(IsDrawableFace(big, data.Vertices));
}

TEST_F(BINParseTest, OnlyTrianglesAndQuadsInsideTheVerticesAreDrawable) {
    TBINBuilder bin = UnitTriangleModel();
    bin.Face(0x0E, {{0}, {1}, {2}})
        .Face(0x0E, {{0}, {1}, {2}, {1}})
        .Face(0x0E, {{0}, {1}, {3}})
        .Face(0x0E, {{0}, {-1}, {2}})
        .Face(0x0E, {{0}, {1}})
        .Face(0x0E, {}, -2)
        .End();
    const TBINData data = Parse(bin);
    ASSERT_EQ(data.Faces.size(), 6u);
    EXPECT_TRUE(IsDrawableFace(data.Faces[0], data.Vertices));
    EXPECT_TRUE(IsDrawableFace(data.Faces[1], data.Vertices));
    EXPECT_FALSE(IsDrawableFace(data.Faces[2], data.Vertices));
    EXPECT_FALSE(IsDrawableFace(data.Faces[3], data.Vertices));
    EXPECT_FALSE(IsDrawableFace(data.Faces[4], data.Vertices));
    EXPECT_FALSE(IsDrawableFace(data.Faces[5], data.Vertices));
}

TEST(MeasureExtents, SpansEveryAxisAndIsZeroWithoutVertices) {
    const TBINExtents none = MeasureExtents({});
    EXPECT_EQ(none.MinX, 0);
    EXPECT_EQ(none.MaxZ, 0);
    const TBINExtents some = MeasureExtents({{5, -1, 7}, {-3, 4, 7}, {2, 9, -8}});
    EXPECT_EQ(some.MinX, -3);
    EXPECT_EQ(some.MaxX, 5);
    EXPECT_EQ(some.MinY, -1);
    EXPECT_EQ(some.MaxY, 9);
    EXPECT_EQ(some.MinZ, -8);
    EXPECT_EQ(some.MaxZ, 7);
}

} // namespace
