#include "render/SkyPass.h"

#include "core/track/SkyBoxes.h"
#include "render/BoxModel.h"

void DrawSky(const TRenderContext& render, const TViewState& view, TModelPass* pass) {
    if (const TQRXBox* sky = SkyBoxFor(*view.Track, view.Display.SkyType)) {
        DrawBox(render, *sky, false, 0, 0, 25 * kModelScale, pass);
    }
}
