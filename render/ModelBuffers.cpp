#define GL_GLEXT_PROTOTYPES
#include "render/ModelBuffers.h"

#include "render/FrameRender.h"
#include "render/GLState.h"
#include "render/TexturePool.h"

#include <GL/glext.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <unordered_map>

namespace {

// s, t, x, y, z of one face corner.
constexpr int kFloatsPerVertex = 5;
constexpr GLsizei kVertexStride = kFloatsPerVertex * sizeof(float);

template <typename T> void Upload(GLenum target, GLuint& buffer, const std::vector<T>& data) {
    glGenBuffers(1, &buffer);
    glBindBuffer(target, buffer);
    glBufferData(target, static_cast<GLsizeiptr>(data.size() * sizeof(T)), data.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(target, 0);
}

// Corners that carry the very same five floats are one vertex: GL then transforms it once for all
// the faces around it, and since the vertex is the same bits, every face still draws the same
// pixels. On a model of quad strips this halves the vertices the frame transforms.
class TCornerTable {
public:
    GLuint Add(const std::array<GLfloat, kFloatsPerVertex>& corner) {
        const auto [at, added] = indexOf_.try_emplace(std::bit_cast<TBits>(corner),
                                                      static_cast<GLuint>(indexOf_.size()));
        if (added) {
            floats_.insert(floats_.end(), corner.begin(), corner.end());
        }
        return at->second;
    }
    const std::vector<float>& Floats() const { return floats_; }

private:
    // Keyed by bits, not by value, so that 0 and -0 stay apart and no two corners that GL could
    // tell apart share a vertex.
    using TBits = std::array<uint32_t, kFloatsPerVertex>;
    struct THashBits {
        size_t operator()(const TBits& bits) const {
            uint64_t hash = 1469598103934665603ULL;
            for (const uint32_t word : bits) {
                hash = (hash ^ word) * 1099511628211ULL;
            }
            return static_cast<size_t>(hash);
        }
    };
    std::unordered_map<TBits, GLuint, THashBits> indexOf_;
    std::vector<float> floats_;
};

} // namespace

std::span<const int> TriangleCorners(const TBINFace& face) {
    static constexpr int kTriangle[3] = {0, 1, 2};
    if (face.VertexCount == 4) {
        return kQuadTriangleCorners;
    }
    return kTriangle;
}

TModelBuffers::~TModelBuffers() {
    Release();
}

void TModelBuffers::Release() {
    for (GLuint* buffer : {&vertexBuffer_, &indexBuffer_}) {
        if (*buffer != 0) {
            glDeleteBuffers(1, buffer);
            *buffer = 0;
        }
    }
    runs_.clear();
    vertexCount_ = 0;
    built_ = false;
}

void TModelBuffers::Build(const std::vector<TBINFace>& faces,
                          const std::vector<TBINVertex>& vertices, const TTexturePool& textures,
                          bool forceBlend, double vertexScale) {
    Release();
    TCornerTable corners;
    std::vector<GLuint> indices;
    for (const TBINFace& face : faces) {
        if (!IsDrawableFace(face, vertices)) {
            continue;
        }
        const int32_t found = textures.FindTexture("ART\\" + face.TextureName);
        const GLuint texture = found == -1 ? 0 : static_cast<GLuint>(found);
        const bool blended = forceBlend || IsBlendedFace(face);
        if (runs_.empty() || runs_.back().Texture != texture || runs_.back().Blended != blended) {
            runs_.push_back(
                {texture, blended, static_cast<uint32_t>(indices.size()), 0, UINT32_MAX, 0});
        }
        GLuint corner[4] = {};
        for (int i = 0; i < face.VertexCount; ++i) {
            const TBINVertex& p = vertices[static_cast<size_t>(face.Indices[i])];
            // The very floats the list sends, so that both draw the same pixels.
            corner[i] = corners.Add(
                {static_cast<GLfloat>(face.U[i] / kBINTexelScale),
                 static_cast<GLfloat>(face.V[i] / kBINTexelScale),
                 static_cast<GLfloat>(p.X * vertexScale), static_cast<GLfloat>(p.Y * vertexScale),
                 static_cast<GLfloat>(-static_cast<double>(p.Z) * vertexScale)});
        }
        const std::span<const int> order = TriangleCorners(face);
        TRun& run = runs_.back();
        for (const int k : order) {
            indices.push_back(corner[k]);
            run.FirstVertex = std::min(run.FirstVertex, corner[k]);
            run.LastVertex = std::max(run.LastVertex, corner[k]);
        }
        run.IndexCount += static_cast<uint32_t>(order.size());
    }
    if (!indices.empty()) {
        Upload(GL_ARRAY_BUFFER, vertexBuffer_, corners.Floats());
        Upload(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_, indices);
    }
    vertexCount_ = corners.Floats().size() / kFloatsPerVertex;
    built_ = true;
}

TModelPass::TModelPass(TGLState& gl) : gl_(gl) {
    // What an earlier pass left bound or enabled is not known here.
    gl_.Forget();
    glDisable(GL_BLEND);
    glDisableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
}

TModelPass::~TModelPass() {
    glDisable(GL_BLEND);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void TModelPass::Draw(const TModelBuffers& model) {
    if (model.runs_.empty()) {
        return;
    }
    glBindBuffer(GL_ARRAY_BUFFER, model.vertexBuffer_);
    glTexCoordPointer(2, GL_FLOAT, kVertexStride, nullptr);
    glVertexPointer(3, GL_FLOAT, kVertexStride, reinterpret_cast<const void*>(2 * sizeof(float)));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, model.indexBuffer_);
    for (const TModelBuffers::TRun& run : model.runs_) {
        if (run.Blended != blending_) {
            if (run.Blended) {
                glEnable(GL_BLEND);
            } else {
                glDisable(GL_BLEND);
            }
            blending_ = run.Blended;
        }
        gl_.Bind(static_cast<int32_t>(run.Texture));
        glDrawRangeElements(GL_TRIANGLES, run.FirstVertex, run.LastVertex,
                            static_cast<GLsizei>(run.IndexCount), GL_UNSIGNED_INT,
                            reinterpret_cast<const void*>(run.FirstIndex * sizeof(GLuint)));
    }
}

void TModelPass::DrewOtherwise() {
    gl_.Forget();
    blending_ = false;
}
