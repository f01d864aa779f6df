// The headless GL context of a measuring program (640 x 480 unless it asks for another size), with
// the render context and GL state that belong to it, set up as the viewer sets up its view.
#pragma once

#include "render/FrameRender.h"
#include "render/GLContext.h"
#include "render/GLState.h"
#include "render/RenderContext.h"

struct TBenchGL {
    explicit TBenchGL(int width = 640, int height = 480) : Context(width, height) {
        InitGLState();
        Render.LoadMissingTexture();
        Panel1Resize(GL, width, height, 60);
    }
    THeadlessGLContext Context;
    TRenderContext Render;
    TGLState GL;
};
