// Builders of BIN model files and capture of what a draw call sends to GL, shared by the model
// tests.
#pragma once

#include "tests/render/TextureTestSupport.h"

#include <GL/gl.h>

#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

struct TBINRef {
    int32_t Index = 0;
    int32_t U = 0;
    int32_t V = 0;
};

// The bytes of a BIN file, block by block.
class TBINBuilder {
public:
    TBINBuilder& Header(int32_t vertexCount, int32_t kind = 0) {
        out_.I32(kind).I32(11).I32(12).I32(13).I32(vertexCount);
        return *this;
    }
    TBINBuilder& Vertex(int32_t x, int32_t y, int32_t z) {
        out_.I32(x).I32(y).I32(z);
        return *this;
    }
    TBINBuilder& Texture(const std::string& name) {
        out_.I32(0x0D).I32(99).FixedText(name, 16);
        return *this;
    }
    TBINBuilder& Color(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
        out_.I32(0x0A).U8(r).U8(g).U8(b).U8(a);
        return *this;
    }
    // count overrides the number of references written into the face head.
    static constexpr int32_t kCountOfRefs = INT32_MIN;
    TBINBuilder& Face(int32_t id, const std::vector<TBINRef>& refs, int32_t count = kCountOfRefs) {
        out_.I32(id).I32(count != kCountOfRefs ? count : static_cast<int32_t>(refs.size()));
        out_.I32(1).I32(2).I32(3).I32(4);
        for (const TBINRef& ref : refs) {
            out_.I32(ref.Index);
            if (id != 0x19) {
                out_.I32(ref.U).I32(ref.V);
            }
        }
        return *this;
    }
    TBINBuilder& Triangle(int32_t id = 0x0E) { return Face(id, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}); }
    TBINBuilder& Animated(int32_t frames, const std::vector<std::string>& names) {
        out_.I32(0x1D).I32(7).I32(frames).I32(0).I32(0).I32(0).I32(0);
        for (const std::string& name : names) {
            out_.FixedText(name, 32);
        }
        return *this;
    }
    TBINBuilder& Normals(const std::vector<int32_t>& words, int32_t count) {
        out_.I32(0x03).I32(0).I32(count);
        for (int32_t word : words) {
            out_.I32(word);
        }
        return *this;
    }
    TBINBuilder& Word(int32_t value) {
        out_.I32(value);
        return *this;
    }
    TBINBuilder& End() { return Word(0); }
    const std::string& Bytes() const { return out_.Bytes(); }

private:
    TByteWriter out_;
};

// A model of three vertices in the x/y plane, one unit (131072) wide and high, around the origin.
inline TBINBuilder UnitTriangleModel() {
    TBINBuilder bin;
    bin.Header(3).Vertex(-131072, -131072, 0).Vertex(131072, -131072, 0).Vertex(0, 131072, 0);
    return bin;
}

struct TFedVertex {
    double X = 0;
    double Y = 0;
    double Z = 0;
    double S = 0;
    double T = 0;
};

// The eye-space vertices of the polygons draw sends, divided by zoom (which magnifies small
// models so the captured values keep their precision). Visible range: +-10 / zoom.
inline std::vector<std::vector<TFedVertex>> CapturePolygons(const std::function<void()>& draw,
                                                            double zoom = 1) {
    std::vector<GLfloat> buffer(1 << 16);
    glPushAttrib(GL_VIEWPORT_BIT | GL_ENABLE_BIT);
    glDisable(GL_CULL_FACE);
    glViewport(0, 0, 20, 20);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-10, 10, -10, 10, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glScaled(zoom, zoom, zoom);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();

    std::vector<std::vector<TFedVertex>> polygons;
    for (GLint at = 0; at < used;) {
        const auto token = static_cast<GLint>(buffer[at++]);
        if (token != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        const auto count = static_cast<GLint>(buffer[at++]);
        std::vector<TFedVertex> polygon;
        for (GLint i = 0; i < count; ++i, at += 11) {
            TFedVertex v;
            v.X = (buffer[at] - 10.0) / zoom;
            v.Y = (buffer[at + 1] - 10.0) / zoom;
            v.Z = -(2.0 * buffer[at + 2] - 1.0) * 10.0 / zoom;
            v.S = buffer[at + 7];
            v.T = buffer[at + 8];
            polygon.push_back(v);
        }
        polygons.push_back(polygon);
    }
    return polygons;
}

inline std::vector<TFedVertex> AllVertices(const std::vector<std::vector<TFedVertex>>& polygons) {
    std::vector<TFedVertex> all;
    for (const auto& polygon : polygons) {
        all.insert(all.end(), polygon.begin(), polygon.end());
    }
    return all;
}

inline bool HasVertexNear(const std::vector<TFedVertex>& vertices, double x, double y, double z,
                          double tolerance = 1e-4) {
    for (const TFedVertex& v : vertices) {
        if (std::fabs(v.X - x) < tolerance && std::fabs(v.Y - y) < tolerance &&
            std::fabs(v.Z - z) < tolerance) {
            return true;
        }
    }
    return false;
}
