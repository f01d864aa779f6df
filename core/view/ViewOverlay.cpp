#include "core/view/ViewOverlay.h"

#include "core/track/DMConvert.h"
#include "core/track/TrackData.h"
#include "core/view/Camera.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kMinimapMargin = 8;
constexpr int kSmallestMinimap = 64;
constexpr int kLargestMinimap = 200;
constexpr double kPi = 3.14159265358979323846;

struct TRgb {
    double r;
    double g;
    double b;
};

TRgb Mix(TRgb a, TRgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

uint8_t Channel(double value) {
    return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

double Height(const TTrackData& track, int row, int column) {
    return track.TerrainVertices[(row + kGridSize) % kGridSize][(column + kGridSize) % kGridSize].y;
}

} // namespace

TMinimapPicture MakeMinimapPicture(const TTrackData& track) {
    TMinimapPicture picture;
    picture.Size = kMinimapPictureSize;
    picture.Rgba.resize(static_cast<size_t>(kGridSize) * kGridSize * 4);
    constexpr TRgb kLow{70, 115, 55};
    constexpr TRgb kHigh{205, 190, 150};
    constexpr TRgb kWater{45, 85, 165};
    constexpr TRgb kBox{150, 150, 155};
    for (int row = 0; row < kGridSize; ++row) {
        for (int column = 0; column < kGridSize; ++column) {
            const double h = Height(track, row, column);
            // Light from the top left of the picture: high rows and low columns.
            const double slope = (Height(track, row + 1, column) - Height(track, row - 1, column)) -
                                 (Height(track, row, column + 1) - Height(track, row, column - 1));
            const double shade = std::clamp(1.0 + 6.0 * slope, 0.6, 1.35);
            TRgb colour = Mix(kLow, kHigh, std::clamp(h, 0.0, 1.0));
            colour = {colour.r * shade, colour.g * shade, colour.b * shade};
            if (track.GroundBoxCells[row][column].HasBox) {
                colour = Mix(colour, kBox, 0.75);
            } else if (track.WaterHeight > h) {
                // Deeper water is darker.
                colour = Mix(kWater, TRgb{20, 40, 90},
                             std::clamp((track.WaterHeight - h) * 8, 0.0, 1.0));
            }
            const size_t at = (static_cast<size_t>(kGridSize - 1 - row) * kGridSize + column) * 4;
            picture.Rgba[at + 0] = Channel(colour.r);
            picture.Rgba[at + 1] = Channel(colour.g);
            picture.Rgba[at + 2] = Channel(colour.b);
            picture.Rgba[at + 3] = 255;
        }
    }
    return picture;
}

TViewRect MinimapRect(int viewWidth, int viewHeight) {
    const int side =
        std::clamp(std::min(viewWidth, viewHeight) / 3, kSmallestMinimap, kLargestMinimap);
    return {viewWidth - kMinimapMargin - side, kMinimapMargin, side, side};
}

TGridCell MinimapCellAt(double x, double y, int minimapSize) {
    const double scale = static_cast<double>(kGridSize) / std::max(minimapSize, 1);
    const int column = std::clamp(static_cast<int>(std::floor(x * scale)), 0, kGridSize - 1);
    const int fromTop = std::clamp(static_cast<int>(std::floor(y * scale)), 0, kGridSize - 1);
    return {kGridSize - 1 - fromTop, column};
}

TMinimapMarker MinimapMarker(const TCameraPos& camera, int minimapSize) {
    const double scale = std::max(minimapSize, 1) / static_cast<double>(kGridSize);
    const double row = static_cast<double>(WorldToMapUnits(camera.TransX));
    const double column = static_cast<double>(WorldToMapUnits(camera.TransZ));
    const double heading = camera.Heading * kPi / 180.0;
    // The eye looks along world (sin h, -cos h) in x and z; the minimap's up is +x, its right +z.
    return {(column + 0.5) * scale, (kGridSize - 1 - row + 0.5) * scale, -std::cos(heading),
            -std::sin(heading)};
}

TGridCell CameraCell(const TCameraPos& camera) {
    return {NearestGridIndex(camera.TransX), NearestGridIndex(camera.TransZ)};
}

TViewResult MoveFreeCameraToCell(TViewState& state, TGridCell cell) {
    TCameraPos& free = state.MapView ? state.SavedCamera : state.Camera;
    free.TransX = static_cast<float>(MapUnitsToWorld(std::clamp(cell.Row, 0, kGridSize - 1)));
    free.TransZ = static_cast<float>(MapUnitsToWorld(std::clamp(cell.Column, 0, kGridSize - 1)));
    if (state.FollowTerrain) {
        free.TransY = static_cast<float>(-GroundHeightAt(state, free.TransX, free.TransZ) -
                                         state.HeightAboveGround);
    }
    TViewResult result;
    result.Redraw = TRedraw::Full;
    return result;
}

std::vector<std::string> OverlayLines(double framesPerSecond, double frameMilliseconds,
                                      const TCameraPos& camera, int viewDistance) {
    char fps[64];
    if (framesPerSecond > 0 && std::isfinite(framesPerSecond)) {
        std::snprintf(fps, sizeof fps, "FPS %.1f (%.1f ms)", framesPerSecond, frameMilliseconds);
    } else {
        std::snprintf(fps, sizeof fps, "FPS -");
    }
    const TGridCell cell = CameraCell(camera);
    return {fps, "Cell " + std::to_string(cell.Row) + ", " + std::to_string(cell.Column),
            "View " + std::to_string(viewDistance)};
}
