// The stadium pass: the stadium model of a stadium track, an ordinary placed object whose model
// comes through the model store.
#pragma once

#include "core/view/ViewState.h"

class TModelPass;
class TRenderContext;

// The stadium where the load put it: on the terrain height at the corner of its rectangle. Draws
// in the current matrix, from the model's prepared buffers when given a pass (see DrawBox).
void DrawStadium(const TRenderContext& render, const TViewState& view, TModelPass* pass = nullptr);
