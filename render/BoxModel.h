// The GL side of a placed object: loading its model into the model store and drawing it with the
// model-to-world transform. Needs a current GL context.
#pragma once

#include <vector>

class TModelPass;
class TQRXBox;
class TRenderContext;
struct TGameLoad;

// Makes sure box.ModelName is in the model store of render, read from the load's game files. A
// missing model adds one warning per distinct name.
void LoadModel(TRenderContext& render, const TQRXBox& box, TGameLoad& load);
// LoadModel for every object, in order.
void LoadModels(TRenderContext& render, const std::vector<const TQRXBox*>& objects,
                TGameLoad& load);

// The unit of the scales the sky boxes and backdrops are drawn with.
inline constexpr double kModelScale = 1000.0;

// Draws in the current matrix. viewerX/viewerZ are the viewer's position in cells, used only by
// objects that turn to face the viewer ("8,0", "9,0"). With a pass, the model is drawn from its
// prepared buffers where it has them (the same pixels as its list or direct drawing).
void DrawBox(const TRenderContext& render, const TQRXBox& box, bool forceBlend, double viewerX,
             double viewerZ, double scale, TModelPass* pass = nullptr);
// Prepares the model of box for drawing scaled from buffers; nothing when it has none.
void PrepareScaledDrawing(TRenderContext& render, const TQRXBox* box);
