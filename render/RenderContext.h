// TRenderContext: what drawing and track loading keep for one OpenGL context: the texture pool
// with its fallback texture, the model store, the GL textures of the track's texture list, the
// water ripple texture, the prepared terrain and ground boxes of the loaded track with the choice
// of renderer, the bind cache of the current pass and the view panel's size. The main
// window and the command-line tool each create one for their context and keep it as long as the
// context lives; its GL objects are freed when it is destroyed, so that happens while its GL
// context is current. The parsed track itself holds no GL object.
#pragma once

#include "render/BINStore.h"
#include "render/ObjectDrawList.h"
#include "render/PreparedTrack.h"
#include "render/TexturePool.h"

#include <cstdint>

class TRenderContext {
public:
    TRenderContext() = default;
    TRenderContext(const TRenderContext&) = delete;
    TRenderContext& operator=(const TRenderContext&) = delete;

    TTexturePool Textures;
    TBINStore Models;
    TTrackTextures TrackTextures;
    // Built at the end of a track load. The reference renderer draws every quad on its own; the
    // prepared one draws the same triangles from buffers, and also whenever nothing is prepared.
    TPreparedTrack Prepared;
    TRendererKind Renderer = TRendererKind::Prepared;
    // The order of the loaded track's objects for the object pass, made at the end of a load.
    TObjectDrawList DrawList;

    // The ripple texture, loaded on the first track load (LoadWaterTexture); 0 until then.
    int32_t WaterTexture = 0;
    bool WaterTextureLoaded = false;

    // The texture bound last within the current pass; -1 for none. Every pass that skips repeated
    // binds resets it when it starts.
    int32_t LastBoundTexture = -1;

    // The view panel's size at the last Panel1Resize, never below 1, for the frame's projections.
    int PanelWidth = 1;
    int PanelHeight = 1;
};
