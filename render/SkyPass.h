// The sky pass: the sky box of the chosen sky type around the eye. Sky boxes are ordinary placed
// objects whose models come through the model store (see MakeSkyBoxes).
#pragma once

#include "core/view/ViewState.h"

class TModelPass;
class TRenderContext;

// Draws in the current matrix (camera rotation and background shift only), from the models'
// prepared buffers when given a pass (see DrawBox).
void DrawSky(const TRenderContext& render, const TViewState& view, TModelPass* pass = nullptr);
