#include "render/BackdropPass.h"

#include "core/track/QRXBox.h"
#include "core/track/TrackData.h"
#include "render/BINModel.h"
#include "render/BoxModel.h"
#include "render/RenderContext.h"

namespace {

constexpr double kBackdropFactors[3] = {0.7, 0.6, 0.5};

} // namespace

std::optional<double> BackdropScale(const TRenderContext& render, const TTrackData& track,
                                    int index) {
    if (index < 0 || index > 2) {
        return std::nullopt;
    }
    const TQRXBox* backdrop = track.Backdrops[index].get();
    if (backdrop == nullptr) {
        return std::nullopt;
    }
    const TBINModel* model = render.Models().FindBINModel(backdrop->ModelName);
    // Without a model or an extent the scale that evens out the backdrops' sizes is undefined.
    if (model == nullptr || model->LargestExtent() <= 0) {
        return std::nullopt;
    }
    return (100500.0 / model->LargestExtent()) * (kModelScale * kBackdropFactors[index]);
}

void DrawBackdrops(const TRenderContext& render, const TViewState& view, TModelPass* pass) {
    const TTrackData& track = *view.Track;
    for (int i = 0; i < 3; ++i) {
        if (const std::optional<double> scale = BackdropScale(render, track, i)) {
            DrawBox(render, *track.Backdrops[i], false, 0, 0, *scale, pass);
        }
    }
}
