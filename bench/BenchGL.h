// The headless 640 x 480 GL context of a measuring program, with the render context that belongs
// to it, set up as the viewer sets up its view.
#pragma once

#include "render/FrameRender.h"
#include "render/GLContext.h"
#include "render/RenderContext.h"

struct TBenchGL {
    TBenchGL() {
        InitGLState();
        Render.Textures.LoadMissingTexture();
        Panel1Resize(Render, 640, 480, 60);
    }
    THeadlessGLContext Context{640, 480};
    TRenderContext Render;
};
