#include "render/Frustum.h"

#include "tests/render/FrameFixture.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

// The eye at the origin looking down -z with a 90 degree field of view, near 1 and far 10, in the
// frame tests' GL context.
class FrustumTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(90, 1, 1, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
};

TEST_F(FrustumTest, BoxesAreLeftOutOnlyWhenWhollyBeyondOnePlane) {
    const TFrustum frustum = TFrustum::FromCurrentMatrices();
    EXPECT_TRUE(frustum.MayShowBox({-1, -1, -6}, {1, 1, -4}));     // straight ahead
    EXPECT_TRUE(frustum.MayShowBox({-100, -1, -6}, {100, 1, -4})); // corners outside, middle in
    EXPECT_TRUE(frustum.MayShowBox({-1, -1, -20}, {1, 1, -9.5}));  // reaching over the far plane
    EXPECT_FALSE(frustum.MayShowBox({-1, -1, 2}, {1, 1, 5}));      // behind the eye
    EXPECT_FALSE(frustum.MayShowBox({-1, -1, -12}, {1, 1, -11}));  // beyond the far plane
    EXPECT_FALSE(frustum.MayShowBox({6, -1, -5}, {7, 1, -4}));     // right of the view
    EXPECT_FALSE(frustum.MayShowBox({-1, 4.5, -4}, {1, 5, -3.9})); // above it
}

TEST_F(FrustumTest, ATranslationMovesWhatIsSeenAndSpheresReachInByTheirRadius) {
    const TFrustum frustum = TFrustum::FromCurrentMatrices();
    EXPECT_FALSE(frustum.MayShowSphere({8, 0, -5}, 1));
    EXPECT_TRUE(frustum.MayShowSphere({8, 0, -5}, 2.5)); // 3 / sqrt 2 from the right plane
    EXPECT_FALSE(frustum.MayShowSphere({8, 0, -5}, 2));
    const TFrustum moved = frustum.Translated(-8, 0, 0);
    EXPECT_TRUE(moved.MayShowSphere({8, 0, -5}, 0.1));
    EXPECT_FALSE(moved.MayShowSphere({0, 0, -5}, 0.1));
    EXPECT_TRUE(moved.MayShowBox({7, -1, -6}, {9, 1, -4}));
}

} // namespace
