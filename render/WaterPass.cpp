#include "render/WaterPass.h"

#include "core/base/ProgramFolder.h"
#include "core/track/DMConvert.h"
#include "core/track/TrackData.h"
#include "render/GLState.h"
#include "render/RenderContext.h"
#include "render/Textures.h"

#include <GL/gl.h>

#include <cmath>
#include <numbers>

void DrawWater(const TRenderContext& render, TGLState& gl, const TViewState& view, int camCol,
               int camRow) {
    const TTrackData& track = *view.Track;
    const double y =
        view.Display.HighTide ? track.WaterHeight + kTideOffset : track.WaterHeight - kTideOffset;
    const double xc = GridToWorld(camRow + 0.5);
    const double zc = GridToWorld(camCol + 0.5);
    const double d = view.ViewDistance;
    const double s0 = camCol + 0.5;
    const double t0 = camRow + 0.5;
    const TColor3& tint = view.Display.GlobalTint;
    const TColor4& water = view.WaterColor;
    const auto setColor = [&] {
        glColor4f(tint.r * water.r, tint.g * water.g, tint.b * water.b, water.a);
    };

    glEnable(GL_BLEND);
    // Like every pass, it starts without trusting the bind cache.
    gl.Forget();
    gl.Bind(render.WaterTexture());
    setColor();
    if (view.Display.AreaShape == TAreaShape::Circle) {
        glBegin(GL_TRIANGLE_FAN);
        glTexCoord2d(s0, t0);
        glVertex3d(xc, y, zc);
        for (int n = 12; n >= 0; --n) {
            const double a = n * std::numbers::pi / 6;
            setColor();
            glTexCoord2d(s0 + d * std::sin(a), t0 + d * std::cos(a));
            glVertex3d(xc + d / 16 * std::sin(a), y, zc + d / 16 * std::cos(a));
        }
    } else {
        constexpr int kCorners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        glBegin(GL_QUADS);
        for (const auto& [p, q] : kCorners) {
            glTexCoord2d(s0 + p * d, t0 + q * d);
            glVertex3d(xc + p * d / 16, y, zc + q * d / 16);
        }
    }
    glEnd();
    glDisable(GL_BLEND);
}

void LoadWaterTexture(TRenderContext& render) {
    // Once for the render context, as long as its GL context keeps the texture (0 is never one).
    int32_t& texture = render.WaterTextureForLoad();
    if (glIsTexture(static_cast<GLuint>(texture))) {
        return;
    }
    LoadTextureFile(ProgramFolder() + "data/RIPPL100.RAW", texture);
}
