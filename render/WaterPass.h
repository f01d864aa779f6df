// The water pass: the translucent water surface around the camera, in the viewer's own ripple
// texture "data/RIPPL100.RAW" (palette: the ACT file of the same name beside it), loaded once for
// the render context.
#pragma once

#include "core/view/ViewState.h"

class TGLState;
class TRenderContext;

// Half the distance the high-tide mark moves the water surface.
inline constexpr double kTideOffset = 0.00078125;

// Water around the camera cell: a 13-point fan for the round area, a quad for the square one.
void DrawWater(const TRenderContext& render, TGLState& gl, const TViewState& view, int camCol,
               int camRow);

// Loads the ripple texture into render's WaterTexture on the first call; later calls do nothing
// while the texture lives in the current GL context.
void LoadWaterTexture(TRenderContext& render);
