// TRenderContext: the render resources of one OpenGL context: the texture pool with its fallback
// texture, the model store, the GL textures of the track's texture list, the water ripple
// texture, the prepared terrain and ground boxes of the loaded track with the choice of renderer,
// and the object draw list. The GL state a pass changes (bind cache, viewport) is not here but in
// the TGLState each pass is given.
//
// Who writes what:
// - The owner (the main window's view, the command-line tool) creates one per GL context and
//   keeps it while the context lives. It loads the fallback texture once the context is current,
//   picks the renderer, and destroys it, or calls ReleaseTrack, while the context is current, since
//   that frees GL objects.
// - A track load (LoadTrack and the model loads it makes) writes everything else through the
//   ...ForLoad accessors; tests that assemble a track by hand stand in for it.
// - A frame, the picker and the statistics read through the const accessors. What a frame changes
//   besides the GL state goes through the ...ForFrame accessors: every copy of the object pass
//   re-sorts the draw list (the next copy starts from the order it left), and the prepared track
//   re-tints its colour buffers when the tint changed and gathers its ranges.
// The parsed track itself holds no GL object.
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

    const TTexturePool& Textures() const { return textures_; }
    const TBINStore& Models() const { return models_; }
    const TTrackTextures& TrackTextures() const { return trackTextures_; }
    const TPreparedTrack& Prepared() const { return prepared_; }
    const TObjectDrawList& DrawList() const { return drawList_; }
    // 0 until the first track load has loaded it (LoadWaterTexture).
    int32_t WaterTexture() const { return waterTexture_; }
    TRendererKind Renderer() const { return renderer_; }
    // The reference renderer draws every quad on its own; the prepared one draws the same
    // triangles from buffers, but only once a load has prepared them.
    bool DrawsPrepared() const { return renderer_ == TRendererKind::Prepared && prepared_.Ready(); }

    TObjectDrawList& DrawListForFrame() { return drawList_; }
    TPreparedTrack& PreparedForFrame() { return prepared_; }

    // Once the context is current.
    void LoadMissingTexture() { textures_.LoadMissingTexture(); }
    void SelectRenderer(TRendererKind renderer) { renderer_ = renderer; }
    // For a context that is to replace shown once a load into it has succeeded: it draws with
    // shown's fallback and ripple textures, loaded once a run and freed by neither, and with its
    // choice of renderer.
    void InheritFrom(const TRenderContext& shown);
    // Frees the loaded track's textures (the fallback stays), models and prepared buffers and
    // empties the draw list, which names the track's objects.
    void ReleaseTrack();

    TTexturePool& TexturesForLoad() { return textures_; }
    TBINStore& ModelsForLoad() { return models_; }
    TTrackTextures& TrackTexturesForLoad() { return trackTextures_; }
    TPreparedTrack& PreparedForLoad() { return prepared_; }
    TObjectDrawList& DrawListForLoad() { return drawList_; }
    int32_t& WaterTextureForLoad() { return waterTexture_; }

private:
    TTexturePool textures_;
    TBINStore models_;
    TTrackTextures trackTextures_;
    TPreparedTrack prepared_;
    TRendererKind renderer_ = TRendererKind::Prepared;
    TObjectDrawList drawList_;
    int32_t waterTexture_ = 0;
};
