// What the view draws over the track in its corners: the minimap, a small top-down map of the
// whole level grid with a marker for the camera, and the overlay text with the frame rate, the
// camera cell and the view distance.
//
// The minimap is oriented like the map view at its reset heading: grid row 255 at the top, row 0
// at the bottom, column 0 at the left and column 255 at the right. Its picture is made once per
// track, when the track has been loaded; a frame only draws it scaled into its corner.
#pragma once

#include "core/view/ViewState.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TTrackData;

inline constexpr int kMinimapPictureSize = 256; // one pixel per grid cell

// RGBA, rows from the top of the minimap down.
struct TMinimapPicture {
    int Size = 0;
    std::vector<uint8_t> Rgba;
};

// Terrain shaded by height and slope, ground boxes in grey, water in blue where it covers the
// terrain.
TMinimapPicture MakeMinimapPicture(const TTrackData& track);

struct TGridCell {
    int Row = 0;
    int Column = 0;
    bool operator==(const TGridCell&) const = default;
};

// Where the minimap lies in a view of that size: a square in the top right corner, a third of the
// view's shorter side, within 64 and 200 pixels, 8 pixels from the edges.
struct TViewRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool Contains(int x, int y) const {
        return x >= Left && x < Left + Width && y >= Top && y < Top + Height;
    }
};
TViewRect MinimapRect(int viewWidth, int viewHeight);

// The grid cell shown at a pixel of the minimap (pixels counted from its top left corner); pixels
// outside it give the nearest cell on its edge.
TGridCell MinimapCellAt(double x, double y, int minimapSize);

// The camera's place on the minimap, in pixels from its top left corner, and the direction the
// camera looks as a unit vector in pixels (x to the right, y downwards).
struct TMinimapMarker {
    double X = 0;
    double Y = 0;
    double DirX = 0;
    double DirY = 0;
};
TMinimapMarker MinimapMarker(const TCameraPos& camera, int minimapSize);

// The cell under a camera translation, in the grid coordinates the frame drawing uses (rounded
// to the nearest cell, halves to even, wrapping like the world).
TGridCell CameraCell(const TCameraPos& camera);

// Moves the free camera (the saved one while the map view is on) over the middle of a grid cell.
// While the camera follows the terrain it keeps its height above the ground there; otherwise it
// keeps its height. Asks for a full redraw.
TViewResult MoveFreeCameraToCell(TViewState& state, TGridCell cell);

// The overlay's lines: "FPS 59.8 (12.5 ms)" with the last frame's drawing time, "Cell 127, 130"
// (row, column), "View 50". A frame rate of 0 or less (no frame in the last second) shows
// "FPS -".
std::vector<std::string> OverlayLines(double framesPerSecond, double frameMilliseconds,
                                      const TCameraPos& camera, int viewDistance);
