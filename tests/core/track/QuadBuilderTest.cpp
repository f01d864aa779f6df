#include "core/track/QuadBuilder.h"
#include "core/track/DMConvert.h"
#include "tests/support/TrackTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr float L = 0.03123f;
constexpr float H = 0.96877f;

struct TCorner {
    int Row;
    int Col;
};

class QuadBuilder : public TTrackTest {
protected:
    void SetUp() override { Track().TextureNames.resize(512); }

    void Build() { BuildDisplayList(Track(), progress); }

    static void ExpectVertexAt(const TDrawQuad& quad, int i, TCorner corner) {
        EXPECT_EQ(quad.Positions[i][0], static_cast<float>(GridToWorld(corner.Row))) << i;
        EXPECT_EQ(quad.Positions[i][2], static_cast<float>(GridToWorld(corner.Col))) << i;
    }

    static void ExpectTexCoord(const TDrawQuad& quad, int i, float s, float t) {
        EXPECT_EQ(quad.TexCoords[i][0], s) << i;
        EXPECT_EQ(quad.TexCoords[i][1], t) << i;
    }

    TRecordingProgress progress;
    TTrackData& td = Track();
};

TEST_F(QuadBuilder, EvenCellsStartAtBAndOddCellsAtAWithSlotsFollowingTheCorner) {
    Build();
    const TDrawQuad& even = td.TerrainQuads[0][0];
    EXPECT_EQ(even.VertexCount, 4);
    ExpectVertexAt(even, 0, {1, 0});
    ExpectVertexAt(even, 1, {1, 1});
    ExpectVertexAt(even, 2, {0, 1});
    ExpectVertexAt(even, 3, {0, 0});
    // Slots 1, 2, 3, 0 of the plain row.
    ExpectTexCoord(even, 0, L, L);
    ExpectTexCoord(even, 1, H, L);
    ExpectTexCoord(even, 2, H, H);
    ExpectTexCoord(even, 3, L, H);

    const TDrawQuad& odd = td.TerrainQuads[0][1];
    ExpectVertexAt(odd, 0, {0, 1});
    ExpectVertexAt(odd, 1, {1, 1});
    ExpectVertexAt(odd, 2, {1, 2});
    ExpectVertexAt(odd, 3, {0, 2});
    ExpectTexCoord(odd, 0, L, H);                     // corner A
    ExpectTexCoord(odd, 2, H, L);                     // corner C
    ExpectVertexAt(td.TerrainQuads[1][0], 0, {1, 0}); // odd as well
}

TEST_F(QuadBuilder, CornersTakeTheirOwnHeightAndLight) {
    td.TerrainVertices[10][20].y = 0.1f;
    td.TerrainVertices[11][20].y = 0.2f;
    td.TerrainVertices[11][21].y = 0.3f;
    td.TerrainVertices[10][21].y = 0.4f;
    td.LightMap[11][21][0] = 51;
    td.LightMap[10][20][0] = 255;
    td.LightMap[10][20][1] = 9; // only byte 0 is light
    Build();
    const TDrawQuad& quad = td.TerrainQuads[10][20]; // even: B, C, D, A
    EXPECT_EQ(quad.Positions[0][1], 0.2f);
    EXPECT_EQ(quad.Positions[1][1], 0.3f);
    EXPECT_EQ(quad.Positions[2][1], 0.4f);
    EXPECT_EQ(quad.Positions[3][1], 0.1f);
    EXPECT_FLOAT_EQ(quad.Colors[1][0], 0.2f);
    EXPECT_EQ(quad.Colors[1][1], quad.Colors[1][0]);
    EXPECT_EQ(quad.Colors[1][2], quad.Colors[1][0]);
    EXPECT_EQ(quad.Colors[1][3], 1);
    EXPECT_EQ(quad.Colors[3][0], 1);
    EXPECT_EQ(quad.Colors[0][0], 0);
}

TEST_F(QuadBuilder, TextureEntryPicksTheTextureAndTheCoordinateRow) {
    td.TerrainTexIndex[0][1] = TTexEntry{5, 0x01};
    td.TerrainTexIndex[0][3] = TTexEntry{5, 0x21};
    td.TerrainTexIndex[0][5] = TTexEntry{0, 0xC0};
    td.TerrainTexIndex[0][7] = TTexEntry{0, 0x10};
    Build();
    const TDrawQuad& plain = td.TerrainQuads[0][1];
    EXPECT_EQ(plain.Texture, 261);
    ExpectTexCoord(plain, 0, L, H);
    const TDrawQuad& mirrored = td.TerrainQuads[0][3];
    EXPECT_EQ(mirrored.Texture, 261);
    ExpectTexCoord(mirrored, 0, H, H); // s flipped at corner A
    ExpectTexCoord(mirrored, 2, L, L);
    const TDrawQuad& turned = td.TerrainQuads[0][5];
    EXPECT_EQ(turned.Texture, 0);
    ExpectTexCoord(turned, 0, L, L);
    ExpectTexCoord(turned, 1, H, L);
    const TDrawQuad& flippedT = td.TerrainQuads[0][7];
    ExpectTexCoord(flippedT, 0, L, L);
    ExpectTexCoord(flippedT, 3, H, L);
}

TEST_F(QuadBuilder, LastCellReachesEightWithTheFirstPointsData) {
    td.TerrainVertices[0][0].y = 0.75f;
    td.LightMap[0][0][0] = 102;
    Build();
    const TDrawQuad& quad = td.TerrainQuads[255][255]; // even: vertex 1 is corner C
    EXPECT_EQ(quad.Positions[1][0], 8.0f);
    EXPECT_EQ(quad.Positions[1][2], 8.0f);
    EXPECT_EQ(quad.Positions[1][1], 0.75f);
    EXPECT_FLOAT_EQ(quad.Colors[1][0], 0.4f);
    EXPECT_EQ(quad.Positions[3][0], 7.9375f); // corner A stays at its own point
    EXPECT_EQ(quad.Positions[3][1], 0);
}

TEST_F(QuadBuilder, TextureNumbersPastTheListUseTheFallback) {
    td.TextureNames.resize(261);
    td.TerrainTexIndex[4][4] = TTexEntry{5, 0x01};
    td.TerrainTexIndex[4][5] = TTexEntry{4, 0x01};
    td.GroundBoxTop[4][4].y = 0.5f;
    td.GroundBoxTexIndex[4][4][3] = TTexEntry{255, 0x01};
    Build();
    EXPECT_EQ(td.TerrainQuads[4][4].Texture, kFallbackTexture);
    EXPECT_EQ(td.TerrainQuads[4][5].Texture, 260);
    EXPECT_EQ(td.GroundBoxCells[4][4].Faces[3].Texture, kFallbackTexture);
    EXPECT_EQ(td.GroundBoxCells[4][4].Faces[2].Texture, 0);
    td.TextureNames.clear();
    Build();
    EXPECT_EQ(td.TerrainQuads[0][0].Texture, kFallbackTexture);
}

TEST_F(QuadBuilder, OnlyPointsWithAHeightCarryABoxAndEachIsLogged) {
    TLogCapture log;
    td.GroundBoxTop[3][7].y = 0.2f;
    td.GroundBoxBottom[9][2].y = 0.1f;
    td.GroundBoxTop[9][2].y = 0.1f;
    // The last row and column never carry a box.
    td.GroundBoxTop[255][7].y = 0.2f;
    td.GroundBoxTop[7][255].y = 0.2f;
    Build();
    EXPECT_TRUE(td.GroundBoxCells[3][7].HasBox);
    EXPECT_TRUE(td.GroundBoxCells[9][2].HasBox);
    EXPECT_FALSE(td.GroundBoxCells[3][8].HasBox);
    EXPECT_FALSE(td.GroundBoxCells[255][7].HasBox);
    EXPECT_FALSE(td.GroundBoxCells[7][255].HasBox);
    // Column by column, each column top to bottom.
    EXPECT_EQ(log.Lines(),
              (std::vector<std::string>{"GroundBox at (9, 2)", "GroundBox at (3, 7)"}));
}

TEST_F(QuadBuilder, BoxFacesFollowTheFaceTableWithTheCellsOwnHeights) {
    const int r = 20;
    const int c = 30;
    td.GroundBoxBottom[r][c].y = 0.25f;
    td.GroundBoxTop[r][c].y = 0.5f;
    td.GroundBoxTop[r + 1][c + 1].y = 0.9f; // a neighbour's heights do not bend this box
    td.LightMap[r + 1][c][0] = 255;         // corner B
    td.GroundBoxTexIndex[r][c][4] = TTexEntry{7, 0x20};
    Build();
    const TGroundBoxCell& cell = td.GroundBoxCells[r][c];
    ASSERT_TRUE(cell.HasBox);
    const TCorner A{r, c}, B{r + 1, c}, C{r + 1, c + 1}, D{r, c + 1};
    const TCorner corners[6][4] = {{A, A, D, D}, {C, C, B, B}, {D, D, C, C},
                                   {B, B, A, A}, {A, B, C, D}, {D, C, B, A}};
    const float heights[6][4] = {{0.25f, 0.5f, 0.5f, 0.25f}, {0.25f, 0.5f, 0.5f, 0.25f},
                                 {0.25f, 0.5f, 0.5f, 0.25f}, {0.25f, 0.5f, 0.5f, 0.25f},
                                 {0.5f, 0.5f, 0.5f, 0.5f},   {0.25f, 0.25f, 0.25f, 0.25f}};
    for (int k = 0; k < 6; ++k) {
        const TDrawQuad& face = cell.Faces[k];
        EXPECT_EQ(face.VertexCount, 4) << k;
        for (int i = 0; i < 4; ++i) {
            ExpectVertexAt(face, i, corners[k][i]);
            EXPECT_EQ(face.Positions[i][1], heights[k][i]) << k << "," << i;
            const bool atB = corners[k][i].Row == B.Row && corners[k][i].Col == B.Col;
            EXPECT_EQ(face.Colors[i][0], atB ? 1.0f : 0.0f) << k << "," << i;
        }
    }
    // On faces the slot follows the vertex's place: the lid's row is the s-mirrored one.
    EXPECT_EQ(cell.Faces[4].Texture, 7);
    ExpectTexCoord(cell.Faces[4], 0, H, H);
    ExpectTexCoord(cell.Faces[4], 1, H, L);
    ExpectTexCoord(cell.Faces[0], 0, L, H);
    ExpectTexCoord(cell.Faces[0], 3, H, H);
}

TEST_F(QuadBuilder, UpsideDownBoxIsBuiltAllTheSame) {
    td.GroundBoxBottom[5][5].y = 0.6f;
    td.GroundBoxTop[5][5].y = 0.2f;
    Build();
    ASSERT_TRUE(td.GroundBoxCells[5][5].HasBox);
    EXPECT_EQ(td.GroundBoxCells[5][5].Faces[4].Positions[0][1], 0.2f);
    EXPECT_EQ(td.GroundBoxCells[5][5].Faces[5].Positions[0][1], 0.6f);
}

TEST_F(QuadBuilder, StadiumKeepsOnlyItsRectangleAndEmptiesEarlierCells) {
    for (int r = 0; r < kGridSize; ++r) {
        for (int c = 0; c < kGridSize; ++c) {
            td.GroundBoxTop[r][c].y = 0.2f;
        }
    }
    Build();
    ASSERT_EQ(td.TerrainQuads[0][0].VertexCount, 4);
    ASSERT_TRUE(td.GroundBoxCells[0][0].HasBox);

    td.StadiumFlag = 1;
    td.StadiumX = 100;
    td.StadiumSX = 21;
    td.StadiumZ = 50;
    td.StadiumSZ = 10;
    Build();
    int terrain = 0;
    int boxes = 0;
    for (int r = 0; r < kGridSize; ++r) {
        for (int c = 0; c < kGridSize; ++c) {
            const bool inTerrain = r >= 45 && r <= 55 && c >= 90 && c <= 110;
            const bool inBoxes = r >= 45 && r < 55 && c >= 90 && c < 110;
            ASSERT_EQ(td.TerrainQuads[r][c].VertexCount, inTerrain ? 4 : 0) << r << "," << c;
            ASSERT_EQ(td.GroundBoxCells[r][c].HasBox, inBoxes) << r << "," << c;
            terrain += inTerrain;
            boxes += inBoxes;
        }
    }
    EXPECT_EQ(terrain, 11 * 21);
    EXPECT_EQ(boxes, 10 * 20);
    EXPECT_EQ(td.TerrainQuads[0][0].Texture, 0); // emptied wholly, not just marked
}

TEST_F(QuadBuilder, StadiumNearTheIntegerLimitKeepsItsRectangleAndSaysSo) {
    TLogCapture log;
    td.StadiumFlag = 1;
    td.StadiumX = (1 << 30) + 100; // with half of its size it passes the integer limit
    td.StadiumSX = 0x7FFFFFFF;
    td.StadiumZ = 0;
    td.StadiumSZ = 600;
    Build();
    EXPECT_EQ(td.TerrainQuads[10][100].VertexCount, 0);
    EXPECT_EQ(td.TerrainQuads[10][101].VertexCount, 4);
    EXPECT_EQ(td.TerrainQuads[255][255].VertexCount, 4);
    EXPECT_TRUE(log.Has("Warning: stadium range reaches past the integer limit; taken as "
                        "x 101..2147483747, z -300..300"));

    td.StadiumX = 0x7FFFFFFF;
    td.StadiumSX = 4;
    td.StadiumZ = -0x7FFFFFFF - 1;
    td.StadiumSZ = 4;
    Build();
    EXPECT_EQ(td.TerrainQuads[0][0].VertexCount, 0);
    EXPECT_EQ(td.TerrainQuads[255][255].VertexCount, 0);
}

TEST_F(QuadBuilder, StadiumFlagOtherThanOneBuildsEverything) {
    td.StadiumFlag = 2;
    td.StadiumSX = 2;
    td.StadiumSZ = 2;
    Build();
    EXPECT_EQ(td.TerrainQuads[200][200].VertexCount, 4);
}

TEST_F(QuadBuilder, ReportsBothPassesOnTheProgressWindow) {
    Build();
    EXPECT_EQ(progress.Events,
              (std::vector<std::string>{"action Building display list", "sub Terrain", "position 0",
                                        "range 0..255", "sub Ground box layer", "position 0",
                                        "range 0..255"}));
    EXPECT_EQ(progress.Steps, 255); // one per column of the box pass
}

} // namespace
