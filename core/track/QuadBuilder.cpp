#include "core/track/QuadBuilder.h"

#include "core/base/Logging.h"
#include "core/base/TextUtils.h"
#include "core/track/DMConvert.h"
#include "core/track/TrackData.h"

#include <limits>

namespace {

constexpr float L = 0.03123f;
constexpr float H = 0.96877f;

// Row 8 * mirror s + 4 * mirror t + rotation; (s, t) of slots 0..3.
constexpr float kTexCoordTable[16][4][2] = {
    {{L, H}, {L, L}, {H, L}, {H, H}}, {{H, H}, {L, H}, {L, L}, {H, L}},
    {{H, L}, {H, H}, {L, H}, {L, L}}, {{L, L}, {H, L}, {H, H}, {L, H}},
    {{L, L}, {L, H}, {H, H}, {H, L}}, {{L, H}, {H, H}, {H, L}, {L, L}},
    {{H, H}, {H, L}, {L, L}, {L, H}}, {{H, L}, {L, L}, {L, H}, {H, H}},
    {{H, H}, {H, L}, {L, L}, {L, H}}, {{H, L}, {L, L}, {L, H}, {H, H}},
    {{L, L}, {L, H}, {H, H}, {H, L}}, {{L, H}, {H, H}, {H, L}, {L, L}},
    {{H, L}, {H, H}, {L, H}, {L, L}}, {{L, L}, {H, L}, {H, H}, {L, H}},
    {{L, H}, {L, L}, {H, L}, {H, H}}, {{H, H}, {L, H}, {L, L}, {H, L}},
};

// Corner offsets A, B, C, D from the cell's own grid point.
constexpr int kCornerRow[4] = {0, 1, 1, 0};
constexpr int kCornerCol[4] = {0, 0, 1, 1};
enum { A, B, C, D };

struct TFaceVertex {
    int Corner;
    bool Top;
};

constexpr TFaceVertex kFaces[6][4] = {
    {{A, false}, {A, true}, {D, true}, {D, false}},
    {{C, false}, {C, true}, {B, true}, {B, false}},
    {{D, false}, {D, true}, {C, true}, {C, false}},
    {{B, false}, {B, true}, {A, true}, {A, false}},
    {{A, true}, {B, true}, {C, true}, {D, true}},
    {{D, false}, {C, false}, {B, false}, {A, false}},
};

// Bounds are 64-bit: a stadium line may hold any 32-bit numbers, and its centre plus half its size
// must not overflow.
struct TCellRange {
    bool Restricted = false;
    int64_t RowLow = 0;
    int64_t RowHigh = 0;
    int64_t ColLow = 0;
    int64_t ColHigh = 0;

    bool Holds(int r, int c, bool upperInclusive) const {
        if (!Restricted) {
            return true;
        }
        if (r < RowLow || c < ColLow) {
            return false;
        }
        return upperInclusive ? r <= RowHigh && c <= ColHigh : r < RowHigh && c < ColHigh;
    }
};

TCellRange StadiumRange(const TTrackData& td) {
    TCellRange range;
    range.Restricted = td.StadiumFlag == 1;
    const int64_t hz = td.StadiumSZ / 2;
    const int64_t hx = td.StadiumSX / 2;
    range.RowLow = td.StadiumZ - hz;
    range.RowHigh = td.StadiumZ + hz;
    range.ColLow = td.StadiumX - hx;
    range.ColHigh = td.StadiumX + hx;
    const auto outside = [](int64_t bound) {
        return bound < std::numeric_limits<int32_t>::min() ||
               bound > std::numeric_limits<int32_t>::max();
    };
    if (range.Restricted && (outside(range.RowLow) || outside(range.RowHigh) ||
                             outside(range.ColLow) || outside(range.ColHigh))) {
        WriteLog(Format("Warning: stadium range reaches past the integer limit; taken as "
                        "x %lld..%lld, z %lld..%lld",
                        static_cast<long long>(range.ColLow), static_cast<long long>(range.ColHigh),
                        static_cast<long long>(range.RowLow),
                        static_cast<long long>(range.RowHigh)));
    }
    return range;
}

class TQuadMaker {
public:
    explicit TQuadMaker(const TTrackData& td) : td_(td) {}

    using TSlotRow = float[4][2];

    // Texture and coordinate row of an entry; numbers past the list use the fallback texture.
    const TSlotRow& Decode(TTexEntry entry, TDrawQuad& quad) const {
        const int number = entry.Number();
        quad.Texture =
            static_cast<size_t>(number) < td_.TextureNames.size() ? number : kFallbackTexture;
        quad.VertexCount = 4;
        return kTexCoordTable[8 * entry.MirrorS() + 4 * entry.MirrorT() + entry.Rotation()];
    }

    void SetVertex(TDrawQuad& quad, int i, int row, int col, float height,
                   const float (&texCoord)[2]) const {
        const float g = td_.LightMap[row % kGridSize][col % kGridSize][0] / 255.0f;
        quad.Colors[i][0] = g;
        quad.Colors[i][1] = g;
        quad.Colors[i][2] = g;
        quad.Colors[i][3] = 1;
        quad.TexCoords[i][0] = texCoord[0];
        quad.TexCoords[i][1] = texCoord[1];
        quad.Positions[i][0] = static_cast<float>(GridToWorld(row));
        quad.Positions[i][1] = height;
        quad.Positions[i][2] = static_cast<float>(GridToWorld(col));
    }

    void Terrain(int r, int c, TDrawQuad& quad) const {
        const TSlotRow& slots = Decode(td_.TerrainTexIndex[r][c], quad);
        // The first vertex alternates like a checkerboard, and with it the split diagonal.
        const int first = (r + c) % 2 == 1 ? A : B;
        for (int i = 0; i < 4; ++i) {
            const int corner = (first + i) % 4;
            const int row = r + kCornerRow[corner];
            const int col = c + kCornerCol[corner];
            const float height = td_.TerrainVertices[row % kGridSize][col % kGridSize].y;
            SetVertex(quad, i, row, col, height, slots[corner]);
        }
    }

    void GroundBox(int r, int c, TGroundBoxCell& cell) const {
        const float bottom = td_.GroundBoxBottom[r][c].y;
        const float top = td_.GroundBoxTop[r][c].y;
        cell.HasBox = bottom != 0 || top != 0;
        if (!cell.HasBox) {
            return;
        }
        WriteLog(Format("GroundBox at (%d, %d)", r, c));
        for (int k = 0; k < 6; ++k) {
            TDrawQuad& face = cell.Faces[k];
            const TSlotRow& slots = Decode(td_.GroundBoxTexIndex[r][c][k], face);
            for (int i = 0; i < 4; ++i) {
                const TFaceVertex v = kFaces[k][i];
                SetVertex(face, i, r + kCornerRow[v.Corner], c + kCornerCol[v.Corner],
                          v.Top ? top : bottom, slots[i]);
            }
        }
    }

private:
    const TTrackData& td_;
};

} // namespace

void BuildDisplayList(TTrackData& td, TLoadProgress& progress) {
    const TQuadMaker maker(td);
    const TCellRange stadium = StadiumRange(td);

    progress.SetAction("Building display list");
    progress.SetSubAction("Terrain");
    progress.SetPosition(0);
    progress.SetRange(0, kGridSize - 1);
    for (int c = 0; c < kGridSize; ++c) {
        for (int r = 0; r < kGridSize; ++r) {
            TDrawQuad& quad = td.TerrainQuads[r][c];
            if (stadium.Holds(r, c, true)) {
                maker.Terrain(r, c, quad);
            } else {
                quad = TDrawQuad{};
            }
        }
        progress.StepIt();
    }

    progress.SetSubAction("Ground box layer");
    progress.SetPosition(0);
    progress.SetRange(0, kGridSize - 1);
    for (int c = 0; c < kGridSize - 1; ++c) {
        for (int r = 0; r < kGridSize - 1; ++r) {
            TGroundBoxCell& cell = td.GroundBoxCells[r][c];
            if (stadium.Holds(r, c, false)) {
                maker.GroundBox(r, c, cell);
            } else {
                cell.HasBox = false;
            }
        }
        progress.StepIt();
    }
}
