#include "render/MapPicture.h"

#include "core/track/DMConvert.h"
#include "core/track/QRXBox.h"
#include "core/track/TrackData.h"
#include "core/view/ViewState.h"
#include "render/BINModel.h"
#include "render/BoxModel.h"
#include "render/FrameRender.h"
#include "render/GLState.h"
#include "render/RenderContext.h"
#include "render/StadiumPass.h"
#include "render/WaterPass.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace {

constexpr double kHalfGrid = 8.0; // world units from the centre to an edge
constexpr double kCellsPerWorldUnit = 16.0;
// The ground-box pass visits a round area; this radius reaches the grid's corners from its
// centre cell.
constexpr int kWholeGridDistance = 182;
constexpr int kCentreCell = 128;

// Digits of 3 x 5 font pixels, top row first, bit 2 the left column.
constexpr unsigned char kDigits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 2, 2}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

// A stadium picture keeps this many cells around the stadium's rectangle.
constexpr int kStadiumMargin = 4;

// Overlays are drawn in eye space, where the map shows world z to the right and world x up.
struct TMapPoint {
    double Right = 0;
    double Up = 0;
};

// The eye-space rectangle of the picture.
struct TMapBounds {
    double Left = 0;
    double Right = 0;
    double Bottom = 0;
    double Top = 0;
};

double CellToWorld(int cell) {
    return static_cast<double>(GridToWorld(cell));
}

TMapBounds BoundsOf(const TMapArea& area) {
    return {CellToWorld(area.FirstColumn), CellToWorld(area.FirstColumn + area.Cells),
            CellToWorld(area.FirstRow), CellToWorld(area.FirstRow + area.Cells)};
}

TMapPoint GamePositionOnMap(double gameX, double gameZ) {
    // The game stores x and z swapped against the world: world x = gameZ / 512 - 8.
    return {gameX / 512 - kHalfGrid, gameZ / 512 - kHalfGrid};
}

void FilledRectangle(double left, double bottom, double right, double top) {
    glBegin(GL_QUADS);
    glVertex2d(left, bottom);
    glVertex2d(right, bottom);
    glVertex2d(right, top);
    glVertex2d(left, top);
    glEnd();
}

void FilledCircle(const TMapPoint& centre, double radius) {
    glBegin(GL_TRIANGLE_FAN);
    glVertex2d(centre.Right, centre.Up);
    for (int step = 0; step <= 24; ++step) {
        const double angle = step * std::numbers::pi / 12;
        glVertex2d(centre.Right + radius * std::cos(angle), centre.Up + radius * std::sin(angle));
    }
    glEnd();
}

// A number in a dark box beside at (to the right, or to the left near the right edge); font
// pixels of size dot.
void NumberLabel(const std::string& text, const TMapPoint& at, double dot,
                 const TMapBounds& bounds) {
    const double width = (4 * static_cast<double>(text.size()) + 1) * dot;
    TMapPoint corner{at.Right + 4 * dot, at.Up + 2 * dot};
    if (corner.Right + width > bounds.Right) {
        corner.Right = at.Right - 4 * dot - width;
    }
    if (corner.Up + 7 * dot > bounds.Top) {
        corner.Up = at.Up - 2 * dot - 7 * dot;
    }
    glColor4d(0.05, 0.05, 0.08, 0.85);
    FilledRectangle(corner.Right, corner.Up, corner.Right + width, corner.Up + 7 * dot);
    glColor4d(1, 1, 1, 1);
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char* rows = kDigits[text[i] - '0'];
        const double left = corner.Right + (1 + 4 * static_cast<double>(i)) * dot;
        for (int row = 0; row < 5; ++row) {
            for (int column = 0; column < 3; ++column) {
                if ((rows[row] >> (2 - column)) & 1) {
                    const double x = left + column * dot;
                    const double y = corner.Up + (5 - row) * dot;
                    FilledRectangle(x, y, x + dot, y + dot);
                }
            }
        }
    }
}

// Lines on every 16th row and column; those on the picture's edge are moved in by half a pixel
// so that they show.
void DrawCellGrid(const TMapArea& area, double pixel) {
    const TMapBounds bounds = BoundsOf(area);
    glColor4d(1, 1, 1, 0.35);
    glLineWidth(1);
    glBegin(GL_LINES);
    for (int cell = 0; cell <= kGridSize; cell += 16) {
        if (cell >= area.FirstColumn && cell <= area.FirstColumn + area.Cells) {
            const double right =
                std::clamp(CellToWorld(cell), bounds.Left + pixel / 2, bounds.Right - pixel / 2);
            glVertex2d(right, bounds.Bottom);
            glVertex2d(right, bounds.Top);
        }
        if (cell >= area.FirstRow && cell <= area.FirstRow + area.Cells) {
            const double up =
                std::clamp(CellToWorld(cell), bounds.Bottom + pixel / 2, bounds.Top - pixel / 2);
            glVertex2d(bounds.Left, up);
            glVertex2d(bounds.Right, up);
        }
    }
    glEnd();
}

// The checkpoints among the track's own boxes, in their order, as a dot with a number beside it.
void DrawCheckpoints(const TTrackData& track, double dot, const TMapBounds& bounds) {
    const size_t boxes =
        std::min(static_cast<size_t>(std::max(track.BoxCount, 0)), track.TrackObjects.size());
    int number = 0;
    for (size_t i = 0; i < boxes; ++i) {
        const TQRXBox& box = *track.TrackObjects[i];
        if (!box.IsCheckpoint()) {
            continue;
        }
        const TMapPoint at = GamePositionOnMap(box.X, box.Z);
        glColor4d(0.05, 0.05, 0.08, 0.9);
        FilledCircle(at, 4 * dot);
        glColor4d(1.0, 0.35, 0.1, 1);
        FilledCircle(at, 3 * dot);
        NumberLabel(std::to_string(++number), at, dot, bounds);
    }
}

// An arrow from the first grid position the way the camera looks from it on "Start grid".
void DrawStartGrid(const TTrackData& track, double dot) {
    const TMapPoint at = GamePositionOnMap(track.FirstGridPos.x, track.FirstGridPos.z);
    const double heading =
        (track.FirstGridRot.z * kGameDegreesPerRadian + 90) * std::numbers::pi / 180;
    // The camera's heading h looks along world (sin h, -cos h) in (x, z); on the map x is up.
    const double up = std::sin(heading);
    const double right = -std::cos(heading);
    const double length = 12 * dot;
    const double width = 5 * dot;
    const TMapPoint tip{at.Right + right * length, at.Up + up * length};
    const TMapPoint left{at.Right - up * width - right * length * 0.4,
                         at.Up + right * width - up * length * 0.4};
    const TMapPoint rightCorner{at.Right + up * width - right * length * 0.4,
                                at.Up - right * width - up * length * 0.4};
    for (const double grow : {1.6 * dot, 0.0}) {
        if (grow > 0) {
            glColor4d(0.05, 0.05, 0.08, 0.9);
        } else {
            glColor4d(1.0, 0.9, 0.1, 1);
        }
        glBegin(GL_TRIANGLES);
        glVertex2d(tip.Right + right * grow, tip.Up + up * grow);
        glVertex2d(left.Right - up * grow - right * grow, left.Up + right * grow - up * grow);
        glVertex2d(rightCorner.Right + up * grow - right * grow,
                   rightCorner.Up - right * grow - up * grow);
        glEnd();
    }
    glColor4d(1.0, 0.9, 0.1, 1);
    FilledCircle(at, 2 * dot);
}

} // namespace

TMapArea MapPictureArea(const TRenderContext& render, const TTrackData& track) {
    TMapArea area;
    if (track.StadiumFlag != 1) {
        return area;
    }
    // The model stands on the rectangle's centre and its walls may reach past the rectangle.
    int modelCells = 0;
    const TBINModel* model =
        track.Stadium ? render.Models().FindBINModel(track.Stadium->ModelName) : nullptr;
    if (model != nullptr) {
        const int reach = std::max({std::abs(model->MinX()), std::abs(model->MaxX()),
                                    std::abs(model->MinZ()), std::abs(model->MaxZ())});
        modelCells =
            static_cast<int>(std::ceil(2 * reach * kCellsPerWorldUnit / kBINUnitsPerWorldUnit));
    }
    const int covered = std::max({track.StadiumSX + 1, track.StadiumSZ + 1, modelCells});
    area.Cells = std::clamp(covered + 2 * kStadiumMargin, 1, kGridSize);
    // Centred on the rectangle, moved back onto the grid where it would reach past an edge.
    area.FirstRow = std::clamp(track.StadiumZ - area.Cells / 2, 0, kGridSize - area.Cells);
    area.FirstColumn = std::clamp(track.StadiumX - area.Cells / 2, 0, kGridSize - area.Cells);
    return area;
}

int MapPictureSide(const TRenderContext& render, const TTrackData& track,
                   const TMapPictureOptions& options) {
    return MapPictureArea(render, track).Cells *
           std::clamp(options.PixelsPerCell, 1, kMaxMapPixelsPerCell);
}

void DrawMapPicture(const TRenderContext& render, TGLState& gl, const TViewState& view,
                    const TMapPictureOptions& options) {
    const TTrackData& track = *view.Track;
    const TMapArea area = MapPictureArea(render, track);
    const TMapBounds bounds = BoundsOf(area);
    const int side = MapPictureSide(render, track, options);
    const double pixel = (bounds.Right - bounds.Left) / side;
    // Marks grow with the picture but stay readable on the smallest one.
    const double dot = pixel * std::max(1.0, options.PixelsPerCell * 0.75);

    TViewState whole;
    whole.Track = &track;
    whole.MapView = true;
    whole.ViewDistance = kWholeGridDistance;
    whole.Display.AreaShape = TAreaShape::Square;
    whole.WaterColor = view.WaterColor;

    glViewport(0, 0, side, side);
    glClearColor(0.09f, 0.1f, 0.12f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(bounds.Left, bounds.Right, bounds.Bottom, bounds.Top, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The viewer's map camera: looking straight down, world z to the right.
    glRotatef(90, 1, 0, 0);
    glRotatef(90, 0, 1, 0);
    // Seen from above, the quads' winding says nothing about which side faces up.
    glDisable(GL_CULL_FACE);
    glColor3f(1, 1, 1);

    if (track.StadiumFlag == 1) {
        DrawStadium(render, whole);
    }
    DrawGroundBoxes(render, gl, whole, kCentreCell, kCentreCell);
    DrawTerrain(render, gl, whole, kCentreCell, kCentreCell);
    DrawWater(render, gl, whole, kCentreCell, kCentreCell);
    if (options.Objects) {
        glColor3f(1, 1, 1);
        for (const auto& box : track.TrackObjects) {
            if (!box->IsCheckpointMarker) {
                DrawBox(render, *box, false, 0, 0, 1);
            }
        }
    }

    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    if (options.Grid) {
        DrawCellGrid(area, pixel);
    }
    DrawCheckpoints(track, dot, bounds);
    DrawStartGrid(track, dot);

    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glClearColor(0, 0, 0, 0);
    glColor3f(1, 1, 1);
    gl.Forget();
}
