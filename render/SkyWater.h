// The parts of a frame besides terrain, ground boxes and track objects: the sky box of the chosen
// sky type, up to three distant backdrops, the stadium model and the translucent water surface
// around the camera.
//
// Sky boxes, backdrops and the stadium are ordinary placed objects whose models come through the
// model store; the water uses the viewer's own ripple texture "data/RIPPL100.RAW"
// (palette: the ACT file of the same name beside it), loaded once for the render context.
#pragma once

#include "core/view/ViewState.h"

#include <cstdint>
#include <optional>

class TGLState;
class TModelPass;
class TRenderContext;
struct TTrackData;

// The model scale constant of the sky and backdrop scales.
inline constexpr double kModelScale = 1000.0;
// Half the distance the high-tide mark moves the water surface.
inline constexpr double kTideOffset = 0.00078125;

// Draws in the current matrix (camera rotation and background shift only). The draws below take
// models from their prepared buffers when given a pass (see DrawBox).
void DrawSky(const TRenderContext& render, const TViewState& view, TModelPass* pass = nullptr);
// The scale backdrop 0..2 is drawn with; nullopt when it does not exist, its model is not in the
// model store or the model has no extent.
std::optional<double> BackdropScale(const TRenderContext& render, const TTrackData& track,
                                    int index);
void DrawBackdrops(const TRenderContext& render, const TViewState& view,
                   TModelPass* pass = nullptr);
// The stadium where the load put it: on the terrain height at the corner of its rectangle.
void DrawStadium(const TRenderContext& render, const TViewState& view, TModelPass* pass = nullptr);
// Water around the camera cell: a 13-point fan for the round area, a quad for the square one.
void DrawWater(const TRenderContext& render, TGLState& gl, const TViewState& view, int camCol,
               int camRow);

// Loads the ripple texture into render's WaterTexture on the first call; later calls do nothing
// while the texture lives in the current GL context.
void LoadWaterTexture(TRenderContext& render);
