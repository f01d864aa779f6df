#include "render/GLState.h"

#include "tests/render/FrameFixture.h"

#include <cmath>

namespace {

GLint BoundInGL() {
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    return bound;
}

class GLStateTest : public FrameTest {};

TEST_F(GLStateTest, ARepeatedBindIsSkippedUntilTheCacheIsForgotten) {
    const GLuint first = SolidTexture(255, 0, 0);
    const GLuint second = SolidTexture(0, 255, 0);
    TGLState gl;
    EXPECT_EQ(gl.BoundTexture(), -1);
    gl.Bind(static_cast<int32_t>(first));
    EXPECT_EQ(BoundInGL(), static_cast<GLint>(first));

    // Bound behind the cache's back, as a display list does: the cache still names first.
    glBindTexture(GL_TEXTURE_2D, 0);
    gl.Bind(static_cast<int32_t>(first));
    EXPECT_EQ(BoundInGL(), 0);

    gl.Forget();
    EXPECT_EQ(gl.BoundTexture(), -1);
    gl.Bind(static_cast<int32_t>(first));
    EXPECT_EQ(BoundInGL(), static_cast<GLint>(first));
    gl.Bind(static_cast<int32_t>(second));
    EXPECT_EQ(BoundInGL(), static_cast<GLint>(second));
    EXPECT_EQ(gl.BoundTexture(), static_cast<int32_t>(second));
}

TEST_F(GLStateTest, APanelShrunkToNothingKeepsAFiniteProjection) {
    TGLState gl;
    Panel1Resize(gl, 0, 0, 60);
    EXPECT_EQ(gl.PanelWidth(), 1);
    EXPECT_EQ(gl.PanelHeight(), 1);
    SetProjection(gl, 30, 60);
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    for (const GLdouble value : projection) {
        EXPECT_TRUE(std::isfinite(value));
    }

    Panel1Resize(gl, 640, 480, 60);
    EXPECT_EQ(gl.PanelWidth(), 640);
    EXPECT_EQ(gl.PanelHeight(), 480);
    EXPECT_DOUBLE_EQ(gl.AspectRatio(), 640.0 / 480);
}

} // namespace
