#include "render/RenderContext.h"

void TRenderContext::ReleaseTrack() {
    textures_.ClearTextures();
    models_.ClearBINModels();
    prepared_.Release();
    drawList_.Clear();
}

void TRenderContext::InheritFrom(const TRenderContext& shown) {
    textures_.ShareMissingTexture(shown.textures_);
    waterTexture_ = shown.waterTexture_;
    renderer_ = shown.renderer_;
}
