#define GL_GLEXT_PROTOTYPES
#include "render/PreparedTrack.h"

#include "core/base/Errors.h"
#include "core/base/TextUtils.h"
#include "core/track/TrackData.h"
#include "render/FrameRender.h"
#include "render/Frustum.h"
#include "render/GLState.h"
#include "render/TexturePool.h"

#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>

namespace {

constexpr int kVerticesPerQuad = 6;
// s, t, x, y, z of one vertex.
constexpr int kFloatsPerVertex = 5;
constexpr GLsizei kVertexStride = kFloatsPerVertex * sizeof(float);
constexpr int kCopies = 9;
constexpr unsigned kOpenTerrain = 1;   // set 0
constexpr unsigned kBuriedTerrain = 2; // set 1

int FloorDiv(int value, int divisor) {
    const int quotient = value / divisor;
    return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

int Modulo(int value, int divisor) {
    const int m = value % divisor;
    return m < 0 ? m + divisor : m;
}

int ChunkOf(int row, int column) {
    return (row / TPreparedTrack::kChunkSide) * TPreparedTrack::kChunksPerSide +
           column / TPreparedTrack::kChunkSide;
}

// A shift by a whole grid for cells stored at index and visited beyond an edge: -1, 0 or 1.
int GridShift(int virtualChunk) {
    if (virtualChunk >= TPreparedTrack::kChunksPerSide) {
        return 1;
    }
    return virtualChunk < 0 ? -1 : 0;
}

// The translation of the reference drawing's wrap-around, in its order.
void ShiftCopy(int columnShift, int rowShift) {
    if (columnShift != 0) {
        glTranslatef(0, 0, static_cast<GLfloat>(16 * columnShift));
    }
    if (rowShift != 0) {
        glTranslatef(static_cast<GLfloat>(16 * rowShift), 0, 0);
    }
}

} // namespace

namespace {

// Makes buffer hold floats floats written by fill straight into GL's storage (the tracks' vertex
// data runs to tens of megabytes; a copy of it would double the memory and the time).
void WriteBuffer(GLuint& buffer, size_t floats, const std::function<void(float*)>& fill) {
    if (buffer == 0) {
        glGenBuffers(1, &buffer);
    }
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(floats * sizeof(float)), nullptr,
                 GL_STATIC_DRAW);
    if (floats > 0) {
        auto* data = static_cast<float*>(glMapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY));
        if (data != nullptr) {
            fill(data);
            glUnmapBuffer(GL_ARRAY_BUFFER);
        }
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

} // namespace

TPreparedTrack::~TPreparedTrack() {
    Release();
}

int64_t TPreparedTrack::BufferBytes() const {
    int64_t bytes = 0;
    for (const GLuint buffer :
         {terrain_.VertexBuffer, groundBoxes_.VertexBuffer, terrainColors_, groundBoxColors_}) {
        if (buffer != 0) {
            GLint size = 0;
            glBindBuffer(GL_ARRAY_BUFFER, buffer);
            glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
            bytes += size;
        }
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return bytes;
}

void TPreparedTrack::Release() {
    for (GLuint* buffer :
         {&terrain_.VertexBuffer, &groundBoxes_.VertexBuffer, &terrainColors_, &groundBoxColors_}) {
        if (*buffer != 0) {
            glDeleteBuffers(1, buffer);
            *buffer = 0;
        }
    }
    for (TLayer* layer : {&terrain_, &groundBoxes_}) {
        layer->CellOfQuad.clear();
        layer->Damaged.clear();
        for (auto& runs : layer->Runs) {
            runs.clear();
        }
        layer->Bounds.fill(TBounds{});
    }
    terrainLights_.clear();
    groupTextures_.clear();
    ranges_.clear();
    filled_.clear();
    tintInBuffer_ = {-1, -1, -1};
    ready_ = false;
}

void TPreparedTrack::Prepare(const TTrackData& track, const TTrackTextures& textures,
                             int32_t fallbackTexture) {
    Release();

    // Texture numbers (kFallbackTexture first) to groups of equal GL names.
    const int numbers = static_cast<int>(textures.Count()) + 1;
    std::vector<int32_t> nameOfNumber(static_cast<size_t>(numbers));
    for (int n = 0; n < numbers; ++n) {
        nameOfNumber[static_cast<size_t>(n)] = textures.ForQuad(n - 1, fallbackTexture);
    }
    std::vector<int32_t> names = nameOfNumber;
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    groupTextures_.assign(names.begin(), names.end());
    const auto groupOf = [&](int32_t number) {
        const int32_t name = textures.ForQuad(number, fallbackTexture);
        return static_cast<uint32_t>(std::lower_bound(names.begin(), names.end(), name) -
                                     names.begin());
    };
    ranges_.assign(static_cast<size_t>(kCopies) * groupTextures_.size(), TRanges{});

    std::vector<TQuadSource> quads;
    quads.reserve(static_cast<size_t>(kGridSize) * kGridSize);
    for (int row = 0; row < kGridSize; ++row) {
        for (int column = 0; column < kGridSize; ++column) {
            const TDrawQuad& quad = track.TerrainQuads[row][column];
            const uint8_t set = track.TerrainInGroundBox[row][column] ? 1 : 0;
            if (quad.VertexCount == 0) {
                continue;
            }
            if (quad.VertexCount != 4) {
                terrain_.Damaged.push_back({row, column, quad.VertexCount, set});
                continue;
            }
            quads.push_back({quad.Positions, quad.TexCoords, quad.Colors, groupOf(quad.Texture),
                             static_cast<uint8_t>(row), static_cast<uint8_t>(column), set});
        }
    }
    BuildLayer(terrain_, quads, 2, &terrainLights_);

    quads.clear();
    for (int row = 0; row < kGridSize; ++row) {
        for (int column = 0; column < kGridSize; ++column) {
            const TGroundBoxCell& cell = track.GroundBoxCells[row][column];
            if (!cell.HasBox) {
                continue;
            }
            const auto damaged =
                std::find_if(std::begin(cell.Faces), std::end(cell.Faces),
                             [](const TDrawQuad& f) { return f.VertexCount != 4; });
            if (damaged != std::end(cell.Faces)) {
                groundBoxes_.Damaged.push_back({row, column, damaged->VertexCount, 0});
                continue;
            }
            for (const TDrawQuad& face : cell.Faces) {
                quads.push_back({face.Positions, face.TexCoords, face.Colors, groupOf(face.Texture),
                                 static_cast<uint8_t>(row), static_cast<uint8_t>(column), 0});
            }
        }
    }
    BuildLayer(groundBoxes_, quads, 1, nullptr);

    ready_ = true;
}

// A counting sort by (set, group, chunk) puts every run in one piece of the buffer; within a run
// the quads keep the order of their cells.
void TPreparedTrack::BuildLayer(TLayer& layer, const std::vector<TQuadSource>& quads, int sets,
                                std::vector<float>* lights) {
    const size_t groups = groupTextures_.size();
    const auto keyOf = [groups](const TQuadSource& quad) {
        return (static_cast<size_t>(quad.Set) * groups + quad.Group) * kChunkCount +
               static_cast<size_t>(ChunkOf(quad.Row, quad.Column));
    };
    std::vector<uint32_t> next(static_cast<size_t>(sets) * groups * kChunkCount + 1, 0);
    for (const TQuadSource& quad : quads) {
        ++next[keyOf(quad) + 1];
    }
    for (size_t key = 1; key < next.size(); ++key) {
        next[key] += next[key - 1];
    }
    for (size_t key = 0; key + 1 < next.size(); ++key) {
        const uint32_t count = next[key + 1] - next[key];
        if (count > 0) {
            const size_t chunk = key % kChunkCount;
            const size_t group = (key / kChunkCount) % groups;
            const auto set = static_cast<uint8_t>(key / kChunkCount / groups);
            layer.Runs[chunk].push_back({static_cast<uint32_t>(group), next[key], count, set});
        }
    }

    WriteBuffer(layer.VertexBuffer, quads.size() * kVerticesPerQuad * kFloatsPerVertex,
                [&](float* vertices) { FillLayer(layer, quads, next, keyOf, vertices, lights); });
}

template <typename TKeyOf>
void TPreparedTrack::FillLayer(TLayer& layer, const std::vector<TQuadSource>& quads,
                               std::vector<uint32_t>& next, const TKeyOf& keyOf, float* vertices,
                               std::vector<float>* lights) {
    layer.CellOfQuad.resize(quads.size());
    if (lights != nullptr) {
        lights->resize(quads.size() * kVerticesPerQuad * 3);
    }
    for (const TQuadSource& quad : quads) {
        const uint32_t at = next[keyOf(quad)]++;
        layer.CellOfQuad[at] = {quad.Row, quad.Column};
        TBounds& bounds = layer.Bounds[static_cast<size_t>(ChunkOf(quad.Row, quad.Column))];
        float* vertex = vertices + static_cast<size_t>(at) * kVerticesPerQuad * kFloatsPerVertex;
        for (int i = 0; i < kVerticesPerQuad; ++i) {
            const int k = kQuadTriangleCorners[i];
            *vertex++ = quad.TexCoords[k][0];
            *vertex++ = quad.TexCoords[k][1];
            for (size_t axis = 0; axis < 3; ++axis) {
                const float p = quad.Positions[k][axis];
                *vertex++ = p;
                bounds.Low[axis] = std::min(bounds.Low[axis], static_cast<double>(p));
                bounds.High[axis] = std::max(bounds.High[axis], static_cast<double>(p));
            }
            if (lights != nullptr) {
                float* light = &(*lights)[(static_cast<size_t>(at) * kVerticesPerQuad + i) * 3];
                std::copy(quad.Colors[k], quad.Colors[k] + 3, light);
            }
        }
    }
}

bool TPreparedTrack::TPassArea::Visits(int column, int row) const {
    const int dc = CamCol - column;
    const int dr = CamRow - row;
    if (std::abs(dc) > Loop || std::abs(dr) > Loop) {
        return false;
    }
    if (Square) {
        return std::max(std::abs(dr), std::abs(dc)) < Distance;
    }
    return std::sqrt(static_cast<double>(dr * dr + dc * dc)) < Distance;
}

void TPreparedTrack::TRanges::Add(GLint first, GLsizei count) {
    if (!First.empty() && First.back() + Count.back() == first) {
        Count.back() += count;
    } else {
        First.push_back(first);
        Count.push_back(count);
    }
}

// The reference drawing stops at the first damaged quad it visits, going along columns and
// within a column along rows; the same quad is found here among the copies of each damaged cell.
void TPreparedTrack::ThrowForVisitedDamage(const TLayer& layer, const TPassArea& area,
                                           unsigned setMask, const char* format) const {
    const TDamagedCell* first = nullptr;
    std::pair<int, int> firstVisit;
    for (const TDamagedCell& cell : layer.Damaged) {
        if ((setMask & (1u << cell.Set)) == 0) {
            continue;
        }
        for (const int a : {cell.Column - kGridSize, cell.Column, cell.Column + kGridSize}) {
            for (const int b : {cell.Row - kGridSize, cell.Row, cell.Row + kGridSize}) {
                if (area.Visits(a, b) && (first == nullptr || std::pair(a, b) < firstVisit)) {
                    first = &cell;
                    firstVisit = {a, b};
                }
            }
        }
    }
    if (first != nullptr) {
        throw EDunmereError(Format(format, first->VertexCount, first->Column, first->Row));
    }
}

void TPreparedTrack::CollectRanges(const TLayer& layer, const TPassArea& area, unsigned setMask) {
    const TFrustum frustum = TFrustum::FromCurrentMatrices();
    const size_t groups = groupTextures_.size();
    const int lowCol = area.CamCol - area.Loop;
    const int highCol = area.CamCol + area.Loop;
    const int lowRow = area.CamRow - area.Loop;
    const int highRow = area.CamRow + area.Loop;
    // Nearer chunks first: what they hide then costs no shading further back.
    visitOrder_.clear();
    for (int chunkRow = FloorDiv(lowRow, kChunkSide); chunkRow <= FloorDiv(highRow, kChunkSide);
         ++chunkRow) {
        for (int chunkCol = FloorDiv(lowCol, kChunkSide); chunkCol <= FloorDiv(highCol, kChunkSide);
             ++chunkCol) {
            const int dr = chunkRow * kChunkSide + kChunkSide / 2 - area.CamRow;
            const int dc = chunkCol * kChunkSide + kChunkSide / 2 - area.CamCol;
            visitOrder_.push_back({dr * dr + dc * dc, chunkRow, chunkCol});
        }
    }
    std::sort(visitOrder_.begin(), visitOrder_.end());
    for (const auto& [distance, chunkRow, chunkCol] : visitOrder_) {
        const int storedRow = Modulo(chunkRow, kChunksPerSide);
        const int storedCol = Modulo(chunkCol, kChunksPerSide);
        const size_t chunk = static_cast<size_t>(storedRow * kChunksPerSide + storedCol);
        if (layer.Runs[chunk].empty()) {
            continue;
        }
        // The chunk's cells within the loop, and the one nearest to the camera cell.
        const int a0 = std::max(chunkCol * kChunkSide, lowCol);
        const int a1 = std::min(chunkCol * kChunkSide + kChunkSide - 1, highCol);
        const int b0 = std::max(chunkRow * kChunkSide, lowRow);
        const int b1 = std::min(chunkRow * kChunkSide + kChunkSide - 1, highRow);
        if (!area.Visits(std::clamp(area.CamCol, a0, a1), std::clamp(area.CamRow, b0, b1))) {
            continue;
        }
        const int rowShift = GridShift(chunkRow);
        const int columnShift = GridShift(chunkCol);
        const TBounds& bounds = layer.Bounds[chunk];
        const std::array<double, 3> offset{16.0 * rowShift, 0, 16.0 * columnShift};
        if (!frustum.MayShowBox(
                {bounds.Low[0] + offset[0], bounds.Low[1], bounds.Low[2] + offset[2]},
                {bounds.High[0] + offset[0], bounds.High[1], bounds.High[2] + offset[2]})) {
            continue;
        }
        // The visited cells of a chunk are a convex shape's lattice points, so all of them
        // pass when the corners do.
        const bool whole = a1 - a0 == kChunkSide - 1 && b1 - b0 == kChunkSide - 1 &&
                           area.Visits(a0, b0) && area.Visits(a1, b0) && area.Visits(a0, b1) &&
                           area.Visits(a1, b1);
        const int toVisitedCol = (chunkCol - storedCol) * kChunkSide;
        const int toVisitedRow = (chunkRow - storedRow) * kChunkSide;
        const size_t copy = static_cast<size_t>((rowShift + 1) * 3 + (columnShift + 1));
        for (const TQuadRun& run : layer.Runs[chunk]) {
            if ((setMask & (1u << run.Set)) == 0) {
                continue;
            }
            const auto index = static_cast<uint32_t>(copy * groups + run.Group);
            TRanges& ranges = ranges_[index];
            if (ranges.First.empty()) {
                filled_.push_back(index);
            }
            if (whole) {
                ranges.Add(static_cast<GLint>(run.FirstQuad * kVerticesPerQuad),
                           static_cast<GLsizei>(run.QuadCount * kVerticesPerQuad));
                continue;
            }
            for (uint32_t q = run.FirstQuad; q < run.FirstQuad + run.QuadCount; ++q) {
                const TStoredCell cell = layer.CellOfQuad[q];
                if (area.Visits(cell.Column + toVisitedCol, cell.Row + toVisitedRow)) {
                    ranges.Add(static_cast<GLint>(q * kVerticesPerQuad), kVerticesPerQuad);
                }
            }
        }
    }
}

void TPreparedTrack::DrawRanges(TGLState& gl) {
    std::sort(filled_.begin(), filled_.end());
    const size_t groups = groupTextures_.size();
    int currentCopy = -1;
    for (const uint32_t index : filled_) {
        TRanges& ranges = ranges_[index];
        if (!ranges.First.empty()) {
            const int copy = static_cast<int>(index / groups);
            if (copy != currentCopy) {
                if (currentCopy >= 0) {
                    glPopMatrix();
                }
                glPushMatrix();
                ShiftCopy(copy % 3 - 1, copy / 3 - 1);
                currentCopy = copy;
            }
            gl.Bind(static_cast<int32_t>(groupTextures_[index % groups]));
            glMultiDrawArrays(GL_TRIANGLES, ranges.First.data(), ranges.Count.data(),
                              static_cast<GLsizei>(ranges.First.size()));
        }
        ranges.First.clear();
        ranges.Count.clear();
    }
    if (currentCopy >= 0) {
        glPopMatrix();
    }
    filled_.clear();
}

void TPreparedTrack::Tint(const TColor3& tint) {
    if (tint.r == tintInBuffer_.r && tint.g == tintInBuffer_.g && tint.b == tintInBuffer_.b) {
        return;
    }
    WriteBuffer(terrainColors_, terrainLights_.size(), [&](float* colors) {
        for (size_t i = 0; i < terrainLights_.size(); i += 3) {
            colors[i] = tint.r * terrainLights_[i];
            colors[i + 1] = tint.g * terrainLights_[i + 1];
            colors[i + 2] = tint.b * terrainLights_[i + 2];
        }
    });
    const size_t boxFloats = groundBoxes_.CellOfQuad.size() * kVerticesPerQuad * 3;
    WriteBuffer(groundBoxColors_, boxFloats, [&](float* colors) {
        for (size_t i = 0; i < boxFloats; i += 3) {
            colors[i] = tint.r;
            colors[i + 1] = tint.g;
            colors[i + 2] = tint.b;
        }
    });
    tintInBuffer_ = tint;
}

namespace {

// Positions and texture coordinates of a layer's buffer as client arrays, for one pass.
class TLayerArrays {
public:
    TLayerArrays(GLuint vertexBuffer, GLuint colorBuffer) {
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnableClientState(GL_VERTEX_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, kVertexStride, nullptr);
        glVertexPointer(3, GL_FLOAT, kVertexStride,
                        reinterpret_cast<const void*>(2 * sizeof(float)));
        glBindBuffer(GL_ARRAY_BUFFER, colorBuffer);
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(3, GL_FLOAT, 0, nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    ~TLayerArrays() {
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    TLayerArrays(const TLayerArrays&) = delete;
    TLayerArrays& operator=(const TLayerArrays&) = delete;
};

} // namespace

void TPreparedTrack::DrawGroundBoxes(TGLState& gl, const TViewState& view, int camCol, int camRow) {
    gl.Forget();
    const int d = view.ViewDistance;
    const TPassArea area{camCol, camRow, d, d, false};
    ThrowForVisitedDamage(groundBoxes_, area, kOpenTerrain,
                          "TForm1.glDraw: Unsupported number of vertices (%d) at index (%d, %d)");
    Tint(view.Display.GlobalTint);
    CollectRanges(groundBoxes_, area, kOpenTerrain);
    const TLayerArrays arrays(groundBoxes_.VertexBuffer, groundBoxColors_);
    DrawRanges(gl);
}

void TPreparedTrack::DrawTerrain(TGLState& gl, const TViewState& view, int camCol, int camRow) {
    gl.Forget();
    const TPassArea area{camCol, camRow, view.MapView ? 128 : view.ViewDistance, view.ViewDistance,
                         view.Display.AreaShape == TAreaShape::Square};
    const unsigned sets =
        view.Display.ShowGroundBoxes ? kOpenTerrain : (kOpenTerrain | kBuriedTerrain);
    ThrowForVisitedDamage(terrain_, area, sets,
                          "TForm1.glDraw: Unsupported number of vertices %d at (%d, %d)");
    Tint(view.Display.GlobalTint);
    CollectRanges(terrain_, area, sets);
    const TLayerArrays arrays(terrain_.VertexBuffer, terrainColors_);
    DrawRanges(gl);
}
