// The prepared renderer's form of one BIN model: its drawable faces in file order as triangles (a
// quad as 0-1-2 and 0-2-3, the very triangles its display list holds) in one static vertex buffer
// (s, t, x, y, z per distinct face corner) and one index buffer, cut into runs of consecutive faces
// that share a texture and a blend state. Drawing a model then costs one draw per run instead of a
// bind, a blend switch and a primitive per face.
//
// Blending cannot stay on for opaque faces: their texels' alpha (0 for the palette's dark entries)
// reaches the framebuffer unblended, and no blend factor can keep that alpha and cancel the colour
// behind at once. So a run ends where the blend state changes, and the pass switches blending only
// there, and only when the state differs from the one the last run left.
//
// Built once per model and load, in the GL context the model's list lives in, and freed with the
// model while that context is current.
#pragma once

#include "core/formats/BINParse.h"

#include <GL/gl.h>

#include <cstdint>
#include <span>
#include <vector>

class TGLState;
class TTexturePool;

// The corners of a drawable face in drawing order, as triangles: a quad as 0-1-2 and 0-2-3 (GL
// leaves the split of a GL_QUADS quad to the implementation, and llvmpipe changes it with clipping
// and with how it groups a draw, so both renderers send the same two triangles instead).
std::span<const int> TriangleCorners(const TBINFace& face);

class TModelBuffers {
public:
    TModelBuffers() = default;
    ~TModelBuffers();
    TModelBuffers(const TModelBuffers&) = delete;
    TModelBuffers& operator=(const TModelBuffers&) = delete;

    // Textures are resolved now, as the list resolves them (a name not in the pool binds 0).
    // vertexScale multiplies every coordinate as the list's does; a scale of 1 leaves the scale to
    // the matrix, as direct drawing does.
    void Build(const std::vector<TBINFace>& faces, const std::vector<TBINVertex>& vertices,
               const TTexturePool& textures, bool forceBlend, double vertexScale);
    bool Built() const { return built_; }

    struct TRun {
        GLuint Texture = 0;
        bool Blended = false;
        uint32_t FirstIndex = 0;
        uint32_t IndexCount = 0;
        // The vertices the run's indices reach, handed to GL so it need not scan the indices.
        uint32_t FirstVertex = 0;
        uint32_t LastVertex = 0;
    };
    const std::vector<TRun>& Runs() const { return runs_; }
    size_t VertexCount() const { return vertexCount_; }

private:
    friend class TModelPass;
    void Release();

    bool built_ = false;
    GLuint vertexBuffer_ = 0;
    GLuint indexBuffer_ = 0;
    size_t vertexCount_ = 0;
    std::vector<TRun> runs_;
};

// The state of one stretch of model drawing from buffers: vertex and texture coordinate arrays on,
// the colour array off (the current colour is the tint, as for the lists), the texture and blend
// state each run leaves. The destructor turns blending off, as every list ends, and puts the
// client arrays and buffer bindings back as it found them (none).
class TModelPass {
public:
    // Binds through the bind cache of gl.
    explicit TModelPass(TGLState& gl);
    ~TModelPass();
    TModelPass(const TModelPass&) = delete;
    TModelPass& operator=(const TModelPass&) = delete;

    void Draw(const TModelBuffers& model);
    // After a model was drawn otherwise (its list or its faces), which binds what it needs and
    // ends with blending off.
    void DrewOtherwise();

private:
    TGLState& gl_;
    bool blending_ = false;
};
