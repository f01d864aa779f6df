#include "render/StadiumPass.h"

#include "core/track/QRXBox.h"
#include "core/track/TrackData.h"
#include "render/BoxModel.h"

void DrawStadium(const TRenderContext& render, const TViewState& view, TModelPass* pass) {
    const TTrackData& track = *view.Track;
    if (!track.Stadium) {
        return;
    }
    DrawBox(render, *track.Stadium, false, 0, 0, 1, pass);
}
