// The prepared renderer's terrain and ground boxes: the quads of the track data (as triangles
// 0-1-2, 0-2-3, like the reference drawing) kept in static vertex buffers, built once per track
// load. The grid is cut into chunks of 16 x 16 cells; the buffer holds the quads grouped by texture
// and within a texture by chunk, so that the chunks wholly inside the view area cost one range
// each and neighbouring chunks merge into one range. A chunk that the area's edge crosses adds
// only its cells that pass the area test, and chunks wholly outside the view volume are skipped.
// Beyond the grid edges the stored chunks are drawn again, shifted by a whole grid.
//
// Vertex colours follow the tint; they are made again when it changes.
//
// Terrain buried in ground boxes sits after the open terrain of each texture, so that hiding the
// ground boxes only adds ranges. Quads with a vertex count the reference drawing refuses are
// left out and raise the reference drawing's error when their cell is visited.
#pragma once

#include "core/view/ViewState.h"

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <tuple>
#include <vector>

class TGLState;
class TTrackTextures;
struct TTrackData;

enum class TRendererKind { Prepared, Reference };

class TPreparedTrack {
public:
    TPreparedTrack() = default;
    // Frees the buffers, so the owner destroys it while its GL context is current.
    ~TPreparedTrack();
    TPreparedTrack(const TPreparedTrack&) = delete;
    TPreparedTrack& operator=(const TPreparedTrack&) = delete;

    // From the track's prepared quads and TerrainInGroundBox; quads bind the GL names of
    // textures (fallbackTexture where the list has no entry).
    void Prepare(const TTrackData& track, const TTrackTextures& textures, int32_t fallbackTexture);
    void Release();
    bool Ready() const { return ready_; }
    // The bytes GL holds for the buffers.
    int64_t BufferBytes() const;

    // The reference drawing's ground-box and terrain passes (same cells, same triangles).
    void DrawGroundBoxes(TGLState& gl, const TViewState& view, int camCol, int camRow);
    void DrawTerrain(TGLState& gl, const TViewState& view, int camCol, int camRow);

    static constexpr int kChunkSide = 16;
    static constexpr int kChunksPerSide = 256 / kChunkSide;
    static constexpr int kChunkCount = kChunksPerSide * kChunksPerSide;

private:
    // Quads of one texture group, one set and one chunk, consecutive in the buffer.
    struct TQuadRun {
        uint32_t Group = 0;
        uint32_t FirstQuad = 0;
        uint32_t QuadCount = 0;
        uint8_t Set = 0;
    };
    struct TStoredCell {
        uint8_t Row = 0;
        uint8_t Column = 0;
    };
    struct TDamagedCell {
        int Row = 0;
        int Column = 0;
        int VertexCount = 0;
        uint8_t Set = 0;
    };
    struct TBounds {
        std::array<double, 3> Low{1e30, 1e30, 1e30};
        std::array<double, 3> High{-1e30, -1e30, -1e30};
    };
    struct TLayer {
        GLuint VertexBuffer = 0;
        std::vector<TStoredCell> CellOfQuad;
        std::array<std::vector<TQuadRun>, kChunkCount> Runs;
        std::array<TBounds, kChunkCount> Bounds;
        std::vector<TDamagedCell> Damaged;
    };
    // One quad on its way into a layer.
    struct TQuadSource {
        const float (*Positions)[3];
        const float (*TexCoords)[2];
        const float (*Colors)[4];
        uint32_t Group;
        uint8_t Row;
        uint8_t Column;
        uint8_t Set;
    };
    // The cells a pass visits: the loop around the camera cell and the view area test.
    struct TPassArea {
        int CamCol = 0;
        int CamRow = 0;
        int Loop = 0;
        int Distance = 0;
        bool Square = false;
        bool Visits(int column, int row) const;
    };
    struct TRanges {
        std::vector<GLint> First;
        std::vector<GLsizei> Count;
        void Add(GLint first, GLsizei count);
    };

    void BuildLayer(TLayer& layer, const std::vector<TQuadSource>& quads, int sets,
                    std::vector<float>* lights);
    template <typename TKeyOf>
    void FillLayer(TLayer& layer, const std::vector<TQuadSource>& quads,
                   std::vector<uint32_t>& next, const TKeyOf& keyOf, float* vertices,
                   std::vector<float>* lights);
    void ThrowForVisitedDamage(const TLayer& layer, const TPassArea& area, unsigned setMask,
                               const char* format) const;
    void CollectRanges(const TLayer& layer, const TPassArea& area, unsigned setMask);
    void DrawRanges(TGLState& gl);
    void Tint(const TColor3& tint);

    bool ready_ = false;
    std::vector<GLuint> groupTextures_; // GL name of each texture group
    TLayer terrain_;
    TLayer groundBoxes_;
    // The colour of every vertex as the reference drawing gives it: the tint times the light for
    // terrain, the tint alone for ground boxes. A colour that is the same at every vertex of a
    // triangle is still sent per vertex, since GL interpolates it like any other (a constant
    // current colour rounds differently by a unit here and there).
    GLuint terrainColors_ = 0;
    GLuint groundBoxColors_ = 0;
    std::vector<float> terrainLights_; // r, g, b per terrain vertex, untinted
    TColor3 tintInBuffer_{-1, -1, -1};
    // Per frame: the ranges of each copy (a shift by -1, 0 or 1 grids along z and along x) and
    // texture group, and which of them hold anything.
    std::vector<TRanges> ranges_;
    std::vector<uint32_t> filled_;
    std::vector<std::tuple<int, int, int>> visitOrder_; // distance squared, chunk row, column
};
