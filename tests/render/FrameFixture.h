// Shared set-up of the frame-drawing tests: one headless GL context for the whole test program, a
// view that looks straight down on the grid, and helpers that put known quads into the track data
// and read back what was drawn.
#pragma once

#include "core/track/TrackData.h"
#include "core/view/ViewState.h"
#include "render/FrameRender.h"
#include "render/GLContext.h"
#include "render/GLState.h"
#include "render/RenderContext.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

inline constexpr int kViewSize = 64;

struct TRgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

// Records what the frame asks of its window, in order.
class TRecordingHost : public TFrameHost {
public:
    explicit TRecordingHost(const TViewState& view) : view_(view) {}
    void SetHourglassCursor(bool on) override { Calls.push_back(on ? "cursor on" : "cursor off"); }
    void SetDrawStatus(const std::string& text) override { Calls.push_back("status " + text); }
    void ProcessPendingEvents() override {
        Calls.push_back(view_.Busy ? "events while busy" : "events");
        if (OnEvents) {
            auto handler = std::move(OnEvents);
            handler();
        }
    }

    std::vector<std::string> Calls;
    std::function<void()> OnEvents;

private:
    const TViewState& view_;
};

class FrameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Eye `height` above the grid origin, looking straight down; the screen's right is +z and its
    // top is +x, so with FOV 90 the 64 x 64 view shows height units each way.
    void LookDown(double height, float fov = 90);
    // A 1 x 1 texture of one colour, sampled without mipmaps.
    static GLuint SolidTexture(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);
    // A flat terrain quad over cell (row, column) at height y, corners in the order the quad
    // builder uses for cells with an odd row + column (seen from above it faces up). The quad
    // gets a texture number that the track's texture table maps to texture.
    void FillTerrainCell(int row, int column, float y, float light, GLuint texture);
    // A flat-topped ground box over cell (row, column) between bottom and top.
    void FillGroundBox(int row, int column, float bottom, float top, GLuint texture);
    // The square of QuadModelBytes put straight into the model store under name.
    void StoreQuadModel(const std::string& name, int32_t half, int32_t y);
    // Selects renderer_ for the next frames; the prepared renderer is prepared from the track data
    // as it is now, as a track load would leave it.
    void UseRenderer();
    void Render();
    static TRgb PixelAt(int x, int y);
    // The pixel over world point (x, z) for the view of LookDown(height) centred on the origin
    // shifted by the camera translation.
    TRgb PixelOverWorld(double x, double z) const;

    // The track of this test, fresh and marked loaded; view_ looks at it.
    TTrackData& Track() { return *track_; }

    static std::unique_ptr<THeadlessGLContext> context_;
    std::unique_ptr<TTrackData> track_ = std::make_unique<TTrackData>();
    TRenderContext render_;
    TGLState gl_;
    TViewState view_;
    TQuietFrameHost host_;
    double lookHeight_ = 1;
    TRendererKind renderer_ = TRendererKind::Prepared;

private:
    // Quads carry texture numbers: a GL name gets the next number the first time a quad uses it.
    int32_t TextureNumberOf(GLuint texture);

    std::vector<GLuint> trackTextures_; // by texture number
};

// A frame test run once with each renderer.
class BothRenderersFrameTest : public FrameTest,
                               public ::testing::WithParamInterface<TRendererKind> {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        renderer_ = GetParam();
    }
};

std::string RendererName(const ::testing::TestParamInfo<TRendererKind>& info);

// Gives every pixel colour channel some room for rounding.
void ExpectColorNear(const TRgb& actual, const TRgb& expected, int tolerance = 3);

// The vertices GL feedback mode reports for what draw() sends, with the model-view set so that
// feedback positions come out in world units: world (x, y, z) is recovered exactly from the window
// coordinates. Face culling is off while recording so both windings are seen.
struct TFeedbackVertex {
    double x = 0;
    double y = 0;
    double z = 0;
    std::array<float, 4> color{};
    std::array<float, 2> texCoord{};
};
struct TFeedbackPolygon {
    std::vector<TFeedbackVertex> vertices;
};
std::vector<TFeedbackPolygon> CapturePolygons(const std::function<void()>& draw);

// The bytes of a BIN model file: a flat square from -half to +half in x and z at height y (model
// units), as two untextured faces, one of each winding, so it shows from above and below.
std::string QuadModelBytes(int32_t half, int32_t y);
