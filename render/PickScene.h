// What the picker and the track statistics need to know of the frame and of the GL side: the
// objects each wrap-around copy of the object pass draws (taken from the object pass itself, so
// both leave out the same ones), the models' geometry in the model store, the sizes of the
// uploaded textures and the bytes of the prepared buffers. Needs the track's GL context current
// for the sizes.
#pragma once

#include "core/view/TrackStatistics.h"

class TRenderContext;

// A frame of view (of the track view.Track names) as drawn once the objects show (FullFrame).
// Re-sorts render's object draw list, as every frame does.
TPickScene FramePickScene(TRenderContext& render, const TViewState& view);

std::vector<TTextureSize> UploadedTextureSizes(const TRenderContext& render);

TTrackStatistics FrameTrackStatistics(TRenderContext& render, const TViewState& view,
                                      std::vector<TStepTime> loadSteps);
