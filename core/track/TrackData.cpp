#include "core/track/TrackData.h"

#include <algorithm>

void ResetTrackDescription(TTrackData& td) {
    td.TrackObjects.clear();
    td.CheckpointMarkerCount = 0;
    for (auto& backdrop : td.Backdrops) {
        backdrop.reset();
    }
    td.Stadium.reset();

    td.WaterHeight = 0;
    td.LvlFileName.clear();
    td.AltitudeFileName.clear();
    td.TexIndexFileName.clear();
    td.TextureListFileName.clear();
    td.LightMapFileName.clear();

    td.TrackName = "<unnamed track>";
    td.BackdropType = 0;
    td.BackdropCount = 0;
    for (auto& name : td.BackdropModelNames) {
        name.clear();
    }
    td.StadiumFlag = 0;
    td.StadiumX = 0;
    td.StadiumZ = 0;
    td.StadiumSX = 0;
    td.StadiumSZ = 0;
    td.StadiumModelName.clear();
    td.FirstGridPos = TVertex3f{};
    td.FirstGridRot = TVertex3f{};
    td.BoxCount = 0;
    td.TopCrushCount = 0;
}

double StadiumGroundHeight(const TTrackData& track) {
    const int row = std::clamp(track.StadiumZ - track.StadiumSZ / 2, 0, kGridSize - 1);
    const int column = std::clamp(track.StadiumX - track.StadiumSX / 2, 0, kGridSize - 1);
    return track.TerrainVertices[row][column].y * 512.0;
}
