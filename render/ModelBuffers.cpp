#define GL_GLEXT_PROTOTYPES
#include "render/ModelBuffers.h"

#include "render/FrameRender.h"
#include "render/GLState.h"
#include "render/TexturePool.h"

#include <GL/glext.h>

#include <cstddef>

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
    built_ = false;
}

void TModelBuffers::Build(const std::vector<TBINFace>& faces,
                          const std::vector<TBINVertex>& vertices, const TTexturePool& textures,
                          bool forceBlend, double vertexScale) {
    Release();
    std::vector<float> corners;
    std::vector<GLuint> indices;
    for (const TBINFace& face : faces) {
        if (!IsDrawableFace(face, vertices)) {
            continue;
        }
        const int32_t found = textures.FindTexture("ART\\" + face.TextureName);
        const GLuint texture = found == -1 ? 0 : static_cast<GLuint>(found);
        const bool blended = forceBlend || IsBlendedFace(face);
        if (runs_.empty() || runs_.back().Texture != texture || runs_.back().Blended != blended) {
            runs_.push_back({texture, blended, static_cast<uint32_t>(indices.size()), 0});
        }
        const auto first = static_cast<GLuint>(corners.size() / kFloatsPerVertex);
        for (int i = 0; i < face.VertexCount; ++i) {
            const TBINVertex& p = vertices[static_cast<size_t>(face.Indices[i])];
            // The very floats the list sends, so that both draw the same pixels.
            corners.insert(corners.end(),
                           {static_cast<GLfloat>(face.U[i] / kBINTexelScale),
                            static_cast<GLfloat>(face.V[i] / kBINTexelScale),
                            static_cast<GLfloat>(p.X * vertexScale),
                            static_cast<GLfloat>(p.Y * vertexScale),
                            static_cast<GLfloat>(-static_cast<double>(p.Z) * vertexScale)});
        }
        const std::span<const int> order = TriangleCorners(face);
        for (const int k : order) {
            indices.push_back(first + static_cast<GLuint>(k));
        }
        runs_.back().IndexCount += static_cast<uint32_t>(order.size());
    }
    if (!indices.empty()) {
        Upload(GL_ARRAY_BUFFER, vertexBuffer_, corners);
        Upload(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_, indices);
    }
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
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(run.IndexCount), GL_UNSIGNED_INT,
                       reinterpret_cast<const void*>(run.FirstIndex * sizeof(GLuint)));
    }
}

void TModelPass::DrewOtherwise() {
    gl_.Forget();
    blending_ = false;
}
