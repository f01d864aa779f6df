// Drawing one frame of the loaded track: the fixed GL state, the viewport and projection, and the
// passes of a frame (sky and backdrops around the eye, then stadium, ground boxes, terrain, water
// and track objects around the camera's grid cell). The sky, backdrop, stadium and water passes
// have units of their own; every pass that binds textures is given the frame's TGLState.
// Everything is immediate mode from the prepared quads of the track data; the grid is drawn as if
// it repeated endlessly, so near an edge the opposite edge shows up beyond it (a stored cell is
// drawn shifted by a whole grid, 16 units).
//
// Camera cell: camCol = (8 - TransZ) * 255 / 16 and camRow = (8 - TransX) * 255 / 16. The grid
// passes use them rounded to the nearest integer (halves to even), the object pass unrounded.
#pragma once

#include "core/view/ViewState.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class TFrustum;
class TGLState;
class TModelPass;
class TQRXBox;
class TRenderContext;

// The window side of a frame. The main window shows an hourglass and the status texts and lets its
// pending events run; the command-line tool and the tests have no window.
class TFrameHost {
public:
    virtual ~TFrameHost() = default;
    virtual void SetHourglassCursor(bool on) = 0;
    virtual void SetDrawStatus(const std::string& text) = 0; // status panel 1
    virtual void ProcessPendingEvents() = 0;
};

class TQuietFrameHost : public TFrameHost {
public:
    void SetHourglassCursor(bool) override {}
    void SetDrawStatus(const std::string&) override {}
    void ProcessPendingEvents() override {}
};

inline constexpr const char* kDrawingStatus = "DRAWING";
inline constexpr const char* kReadyStatus = "READY";

struct TFrameContext {
    TRenderContext& Render;
    TGLState& GL;
    TViewState& View;
    bool ArchiveOpen; // a track's POD archive is open
    TFrameHost& Host;
};

// The corners of a prepared quad in the order they are drawn: the triangles 0-1-2 and 0-2-3.
inline constexpr int kQuadTriangleCorners[6] = {0, 1, 2, 0, 2, 3};

// Fixed GL state, once, right after the context has been made current.
void InitGLState();
// Returns once every drawing command sent so far is done, so that a timing covers the drawing and
// not only its queueing.
void WaitForDrawing();
// Limits drawing to the bottom-left pixel (on) or lifts the limit: what a frame costs when almost
// no pixel is filled.
void ClipToOnePixel(bool on);
// Viewport and default projection for a view panel of that size, which gl keeps.
void Panel1Resize(TGLState& gl, int width, int height, float fov);
// Perspective projection over the panel size of the last Panel1Resize, near plane 0.01.
void SetProjection(const TGLState& gl, double farPlane, float fov);
// The camera of a frame in the current (model-view) matrix, in two halves because the sky and the
// backdrops are drawn between them: first its turn alone, around the eye, then the move to where
// it stands, on the ground below it while it follows the terrain.
void TurnToCamera(const TCameraPos& camera);
void MoveToCamera(const TViewState& view);

// One frame, unless the view is Busy, no archive is open or no track is loaded. Busy is set while
// the frame is drawn (after the host let pending events run once) and cleared, with the cursor and
// status restored, also when a pass raises.
void RenderFrame(const TFrameContext& frame);

// A camera cell rounded for the grid passes: nearest integer, halves to even.
int RoundCell(double cell);

// Ground boxes within the round area of ViewDistance, whatever the area shape. Raises
// EDunmereError for a face that is not a quad.
void DrawGroundBoxes(const TRenderContext& render, TGLState& gl, const TViewState& view, int camCol,
                     int camRow);
// Terrain within the view area (128 cells each way are visited in map view); cells buried in
// shown ground boxes are left out. Raises EDunmereError for a quad of another vertex count.
void DrawTerrain(const TRenderContext& render, TGLState& gl, const TViewState& view, int camCol,
                 int camRow);
bool InViewArea(const TViewState& view, int camRow, int camCol, int row, int column);

// The object pass: one copy around the camera and one more beyond every grid edge that the view
// distance reaches.
void DrawObjects(TRenderContext& render, TGLState& gl, const TViewState& view);
// The copies of the object pass, as (offset along z, offset along x) in world units, in order.
std::vector<std::pair<double, double>> ObjectCopyOffsets(const TViewState& view, double camCol,
                                                         double camRow);
// The objects of one copy in the order render's draw list gives them. With cullBy, object copies
// wholly outside that view are left out; with pass, models are drawn from their prepared buffers.
void DrawObjectCopy(TRenderContext& render, const TViewState& view, double offZ, double offX,
                    double camCol, double camRow, const TFrustum* cullBy = nullptr,
                    TModelPass* pass = nullptr);
