// The headless GL context of a measuring program (640 x 480 unless it asks for another size), with
// the render context that belongs to it, set up as the viewer sets up its view.
#pragma once

#include "render/FrameRender.h"
#include "render/GLContext.h"
#include "render/RenderContext.h"

struct TBenchGL {
    explicit TBenchGL(int width = 640, int height = 480) : Context(width, height) {
        InitGLState();
        Render.Textures.LoadMissingTexture();
        Panel1Resize(Render, width, height, 60);
    }
    THeadlessGLContext Context;
    TRenderContext Render;
};
