// The backdrop pass: up to three distant backdrops around the eye, each scaled so that they show
// at one size whatever their models measure. Backdrops are ordinary placed objects whose models
// come through the model store.
#pragma once

#include "core/view/ViewState.h"

#include <optional>

class TModelPass;
class TRenderContext;
struct TTrackData;

// The scale backdrop 0..2 is drawn with; nullopt when it does not exist, its model is not in the
// model store or the model has no extent.
std::optional<double> BackdropScale(const TRenderContext& render, const TTrackData& track,
                                    int index);
// Draws in the current matrix (camera rotation and background shift only), from the models'
// prepared buffers when given a pass (see DrawBox).
void DrawBackdrops(const TRenderContext& render, const TViewState& view,
                   TModelPass* pass = nullptr);
