#include "render/TrackLoader.h"

#include "core/base/Logging.h"
#include "core/track/LevelFile.h"
#include "core/track/QuadBuilder.h"
#include "core/track/SitReader.h"
#include "core/track/TrackData.h"
#include "core/vfs/GameFiles.h"
#include "core/vfs/PodFile.h"
#include "render/BINStore.h"
#include "render/BoxModel.h"
#include "render/SkyWater.h"
#include "render/TexturePool.h"

namespace {

void LoadTextures(TGameLoad& load, TLoadProgress& progress) {
    TTrackData& track = TrackData();
    progress.SetAction("Loading textures");
    progress.SetSubAction("");
    progress.SetPosition(0);
    track.TextureNames = ReadTextureList(load.Files, track.TextureListFileName);
    const int count = static_cast<int>(track.TextureNames.size());
    TTrackTextures& textures = TrackTextures();
    textures.Assign(static_cast<size_t>(count));
    progress.SetRange(0, count);
    for (int k = 0; k < count; ++k) {
        const std::string& name = track.TextureNames[static_cast<size_t>(k)];
        progress.SetSubAction(name);
        try {
            textures.Set(static_cast<size_t>(k), GetGameTexture("ART\\" + name, load));
        } catch (const std::exception&) {
            // A texture that cannot be read keeps entry 0; the rest of the track still loads.
        }
        progress.StepIt();
    }
}

} // namespace

void LoadTrack(const TPodFile& pod, const std::string& sitEntryName, TLoadProgress& progress,
               TStringList& warnings, TQRXFileFinder& finder) {
    TTrackData& track = TrackData();
    TGameFiles files(&pod, finder);
    TGameLoad load{files, warnings};
    LoadWaterTexture();
    WriteLog("Opening track SIT " + sitEntryName);
    progress.SetStep(1);

    ClearTextures();
    ClearBINModels();
    ResetTrackDescription();

    ReadLvlFileName(pod, sitEntryName, progress);
    ReadLevelFile(pod, track.LvlFileName, progress);
    ReadTrackDescription(pod, sitEntryName, progress, [&](TQRXBox& box) { LoadModel(box, load); });
    MakeCheckpointMarkers(load);

    progress.SetAction("Reading track data");
    progress.SetSubAction("Terrain altitude");
    progress.SetPosition(0);
    ReadHeightFile(pod, track.AltitudeFileName, track.TerrainVertices, progress);
    progress.SetSubAction("Ground box altitude (bottom)");
    progress.SetPosition(0);
    ReadHeightFile(pod, GroundBoxBottomFileName(track.AltitudeFileName), track.GroundBoxBottom,
                   progress);
    progress.SetSubAction("Ground box altitude (top)");
    progress.SetPosition(0);
    ReadHeightFile(pod, GroundBoxTopFileName(track.AltitudeFileName), track.GroundBoxTop, progress);
    ReadLightMapOrWarn(load, progress);
    ReadTextureIndexes(pod, progress);
    LoadTextures(load, progress);

    BuildDisplayList(progress);
    track.ObjectDrawList.clear();
    for (const auto& object : track.TrackObjects) {
        track.ObjectDrawList.push_back(object.get());
    }
    MakeSkyBoxes(load);

    progress.SetSubAction("Marking terrain in ground boxes");
    progress.SetPosition(0);
    MarkTerrainInGroundBoxes(progress);
    track.TrackLoaded = true;
}
