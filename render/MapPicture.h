// The map picture: the whole loaded track seen straight from above with an orthographic
// projection, for a track listing or a web page. A stadium track shows its stadium's rectangle
// and model with a small margin around them (the viewer builds nothing else of such a track);
// any other track the whole grid. Terrain, ground boxes, the stadium and water are
// drawn as the frame draws them; on top come the checkpoints, numbered in the order of the track's
// objects, and the start grid as an arrow pointing the way the cars start. Placed objects and a
// grid of lines every 16 cells are optional.
//
// Orientation as in the viewer's map view: columns run to the right, rows upwards (row 0 at the
// bottom); one cell is PixelsPerCell pixels.
#pragma once

class TGLState;
class TRenderContext;
struct TTrackData;
struct TViewState;

inline constexpr int kDefaultMapPixelsPerCell = 4;
inline constexpr int kMaxMapPixelsPerCell = 16;

struct TMapPictureOptions {
    int PixelsPerCell = kDefaultMapPixelsPerCell;
    bool Objects = false;
    bool Grid = false;
};

// The square of grid cells a picture shows: rows FirstRow .. FirstRow + Cells - 1 from the bottom
// up, columns FirstColumn .. FirstColumn + Cells - 1 from left to right.
struct TMapArea {
    int FirstRow = 0;
    int FirstColumn = 0;
    int Cells = 256;
};
// The stadium's model is looked up in render's model store.
TMapArea MapPictureArea(const TRenderContext& render, const TTrackData& track);

// The side of the square picture of the loaded track in pixels.
int MapPictureSide(const TRenderContext& render, const TTrackData& track,
                   const TMapPictureOptions& options);

// Draws the track of view into the current viewport, which the caller has made MapPictureSide
// pixels square. The water colour comes from view; the GL state of InitGLState is restored
// afterwards, and gl's bind cache forgotten.
void DrawMapPicture(const TRenderContext& render, TGLState& gl, const TViewState& view,
                    const TMapPictureOptions& options);
