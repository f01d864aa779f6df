#include "render/RenderContext.h"

void TRenderContext::ReleaseTrack() {
    textures_.ClearTextures();
    models_.ClearBINModels();
    prepared_.Release();
    drawList_.Clear();
}
