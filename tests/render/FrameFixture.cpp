#include "tests/render/FrameFixture.h"

#include "render/BINModel.h"
#include "tools/PodWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

std::unique_ptr<THeadlessGLContext> FrameTest::context_;

namespace {

std::vector<GLuint> createdTextures;

float GridToWorldF(int index) {
    return (index - 128) / 16.0f;
}

void SetVertex(TDrawQuad& quad, int k, int row, int column, float y, float light) {
    quad.Positions[k][0] = GridToWorldF(row);
    quad.Positions[k][1] = y;
    quad.Positions[k][2] = GridToWorldF(column);
    quad.Colors[k][0] = light;
    quad.Colors[k][1] = light;
    quad.Colors[k][2] = light;
    quad.Colors[k][3] = 1;
    quad.TexCoords[k][0] = 0.5f;
    quad.TexCoords[k][1] = 0.5f;
}

} // namespace

void FrameTest::SetUpTestSuite() {
    if (!context_) {
        context_ = std::make_unique<THeadlessGLContext>(kViewSize, kViewSize);
        InitGLState();
    }
}

void FrameTest::TearDownTestSuite() {}

void FrameTest::SetUp() {
    Track().TrackLoaded = true;
    view_.Track = &Track();
    view_.Display.GlobalTint = {1, 1, 1};
    view_.FullFrame = true;
    // Water covers everything around the camera; the tests about it switch it on.
    view_.Display.ShowWater = false;
}

void FrameTest::TearDown() {
    if (!createdTextures.empty()) {
        glDeleteTextures(static_cast<GLsizei>(createdTextures.size()), createdTextures.data());
        createdTextures.clear();
    }
}

int32_t FrameTest::TextureNumberOf(GLuint texture) {
    auto known = std::find(trackTextures_.begin(), trackTextures_.end(), texture);
    if (known == trackTextures_.end()) {
        trackTextures_.push_back(texture);
        render_.TrackTexturesForLoad().Assign(trackTextures_.size());
        for (size_t k = 0; k < trackTextures_.size(); ++k) {
            render_.TrackTexturesForLoad().Set(k, static_cast<int32_t>(trackTextures_[k]));
        }
        known = trackTextures_.end() - 1;
    }
    return static_cast<int32_t>(known - trackTextures_.begin());
}

void FrameTest::LookDown(double height, float fov) {
    lookHeight_ = height;
    view_.Camera.TransX = 0;
    view_.Camera.TransY = static_cast<float>(-height);
    view_.Camera.TransZ = 0;
    view_.Camera.Tilt = 90;
    view_.Camera.Heading = 90;
    view_.Camera.Roll = 0;
    view_.Camera.FOV = fov;
}

GLuint FrameTest::SolidTexture(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const uint8_t pixel[4] = {r, g, b, a};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    createdTextures.push_back(texture);
    return texture;
}

void FrameTest::FillTerrainCell(int row, int column, float y, float light, GLuint texture) {
    TDrawQuad& quad = Track().TerrainQuads[row][column];
    quad.VertexCount = 4;
    quad.Texture = TextureNumberOf(texture);
    SetVertex(quad, 0, row, column, y, light);
    SetVertex(quad, 1, row + 1, column, y, light);
    SetVertex(quad, 2, row + 1, column + 1, y, light);
    SetVertex(quad, 3, row, column + 1, y, light);
}

void FrameTest::FillGroundBox(int row, int column, float bottom, float top, GLuint texture) {
    TGroundBoxCell& cell = Track().GroundBoxCells[row][column];
    cell.HasBox = true;
    struct TCorner {
        int dr;
        int dc;
        bool top;
    };
    // Corners A (r, c), B (r + 1, c), C (r + 1, c + 1), D (r, c + 1) of the six faces.
    const TCorner A{0, 0, false}, B{1, 0, false}, C{1, 1, false}, D{0, 1, false};
    const auto up = [](TCorner corner) {
        corner.top = true;
        return corner;
    };
    const TCorner faces[6][4] = {
        {A, up(A), up(D), D}, {C, up(C), up(B), B},         {D, up(D), up(C), C},
        {B, up(B), up(A), A}, {up(A), up(B), up(C), up(D)}, {D, C, B, A},
    };
    for (int f = 0; f < 6; ++f) {
        TDrawQuad& face = cell.Faces[f];
        face.VertexCount = 4;
        face.Texture = TextureNumberOf(texture);
        for (int k = 0; k < 4; ++k) {
            const TCorner& corner = faces[f][k];
            SetVertex(face, k, row + corner.dr, column + corner.dc, corner.top ? top : bottom, 1);
        }
    }
}

void FrameTest::UseRenderer() {
    render_.SelectRenderer(renderer_);
    if (renderer_ == TRendererKind::Prepared) {
        render_.PreparedForLoad().Prepare(Track(), render_.TrackTextures(),
                                          render_.Textures().MissingTexture());
    }
}

std::string RendererName(const ::testing::TestParamInfo<TRendererKind>& info) {
    return info.param == TRendererKind::Prepared ? "Prepared" : "Reference";
}

void FrameTest::Render() {
    UseRenderer();
    Panel1Resize(gl_, kViewSize, kViewSize, view_.Camera.FOV);
    RenderFrame({render_, gl_, view_, true, host_});
}

TRgb FrameTest::PixelAt(int x, int y) {
    uint8_t pixel[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return {pixel[0], pixel[1], pixel[2]};
}

TRgb FrameTest::PixelOverWorld(double x, double z) const {
    const double half = kViewSize / 2.0;
    const double px = ((z + view_.Camera.TransZ) / lookHeight_ + 1) * half;
    const double py = ((x + view_.Camera.TransX) / lookHeight_ + 1) * half;
    return PixelAt(static_cast<int>(std::floor(px)), static_cast<int>(std::floor(py)));
}

void ExpectColorNear(const TRgb& actual, const TRgb& expected, int tolerance) {
    EXPECT_NEAR(actual.r, expected.r, tolerance) << "red";
    EXPECT_NEAR(actual.g, expected.g, tolerance) << "green";
    EXPECT_NEAR(actual.b, expected.b, tolerance) << "blue";
}

std::vector<TFeedbackPolygon> CapturePolygons(const std::function<void()>& draw) {
    // World x and z within +-kSpan, y within +-1, map into the clip volume unchanged in shape.
    constexpr float kSpan = 10;
    const GLfloat toWindow[16] = {1 / kSpan, 0, 0, 0, 0, 0, 1, 0, 0, 1 / kSpan, 0, 0, 0, 0, 0, 1};
    std::vector<GLfloat> buffer(1 << 16);
    glViewport(0, 0, kViewSize, kViewSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(toWindow);
    glDisable(GL_CULL_FACE);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_4D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    glEnable(GL_CULL_FACE);

    std::vector<TFeedbackPolygon> polygons;
    const double half = kViewSize / 2.0;
    GLint i = 0;
    while (i < count) {
        const auto token = static_cast<GLint>(buffer[i++]);
        if (token != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        const auto n = static_cast<GLint>(buffer[i++]);
        TFeedbackPolygon polygon;
        for (GLint v = 0; v < n; ++v, i += 12) {
            TFeedbackVertex vertex;
            vertex.x = (buffer[i] / half - 1) * kSpan;
            vertex.z = (buffer[i + 1] / half - 1) * kSpan;
            vertex.y = 2.0 * buffer[i + 2] - 1;
            std::copy(&buffer[i + 4], &buffer[i + 8], vertex.color.begin());
            std::copy(&buffer[i + 8], &buffer[i + 10], vertex.texCoord.begin());
            polygon.vertices.push_back(vertex);
        }
        polygons.push_back(std::move(polygon));
    }
    return polygons;
}

namespace {

constexpr int kQuadCorners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
constexpr int kQuadFaces[2][4] = {{0, 1, 2, 3}, {3, 2, 1, 0}};

} // namespace

std::string QuadModelBytes(int32_t half, int32_t y) {
    TByteWriter bytes;
    bytes.I32(0).I32(0).I32(0).I32(0).I32(4);
    for (const auto& [p, q] : kQuadCorners) {
        bytes.I32(p * half).I32(y).I32(q * half);
    }
    for (const auto& face : kQuadFaces) {
        bytes.I32(0x0E).I32(4).I32(0).I32(0).I32(0).I32(0);
        for (const int index : face) {
            bytes.I32(index).I32(0).I32(0);
        }
    }
    bytes.I32(0x00);
    return bytes.Bytes();
}

void FrameTest::StoreQuadModel(const std::string& name, int32_t half, int32_t y) {
    auto model = std::make_unique<TBINModel>();
    for (const auto& [p, q] : kQuadCorners) {
        model->Vertices.push_back({p * half, y, q * half});
    }
    for (const auto& indices : kQuadFaces) {
        TBINFace face;
        face.BlockId = 0x0E;
        face.VertexCount = 4;
        std::copy(std::begin(indices), std::end(indices), face.Indices);
        model->Faces.push_back(face);
    }
    model->BuildList(render_.Textures(), false, 1.0);
    render_.ModelsForLoad().StoreBINModel(std::move(model), name);
}
