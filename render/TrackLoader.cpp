#include "render/TrackLoader.h"

#include "core/base/Logging.h"
#include "core/track/LevelFile.h"
#include "core/track/QuadBuilder.h"
#include "core/track/SitReader.h"
#include "core/track/TrackData.h"
#include "core/vfs/AssetLog.h"
#include "core/vfs/GameFiles.h"
#include "core/vfs/PodFile.h"
#include "render/BoxModel.h"
#include "render/RenderContext.h"
#include "render/SkyWater.h"

namespace {

void LoadTextures(TRenderContext& render, TGameLoad& load, TLoadProgress& progress) {
    TTrackData& track = TrackData();
    progress.SetAction("Loading textures");
    progress.SetSubAction("");
    progress.SetPosition(0);
    track.TextureNames = ReadTextureList(load.Files, track.TextureListFileName);
    const int count = static_cast<int>(track.TextureNames.size());
    TTrackTextures& textures = render.TrackTextures;
    textures.Assign(static_cast<size_t>(count));
    progress.SetRange(0, count);
    const std::vector<int32_t> names =
        render.Textures.GetTextureList(track.TextureNames, load, progress);
    for (size_t k = 0; k < names.size(); ++k) {
        textures.Set(k, names[k]);
    }
}

} // namespace

void LoadTrack(TRenderContext& render, const TPodFile& pod, const std::string& sitEntryName,
               TLoadProgress& progress, TStringList& warnings, TQRXFileFinder& finder,
               TAssetLog* assets) {
    TTrackData& track = TrackData();
    TGameFiles files(&pod, finder);
    files.RecordInto(assets);
    TGameLoad load{files, warnings};
    // Archive-only files raise when absent, so each is recorded right after it has been read.
    const auto recordEntry = [&](const std::string& name) {
        if (assets != nullptr) {
            RecordArchiveEntry(*assets, pod, name);
        }
    };
    LoadWaterTexture(render);
    WriteLog("Opening track SIT " + sitEntryName);
    progress.SetStep(1);

    render.Textures.ClearTextures();
    render.Models.ClearBINModels();
    render.Prepared.Release();
    ResetTrackDescription();

    ReadLvlFileName(pod, sitEntryName, progress);
    recordEntry(sitEntryName);
    ReadLevelFile(pod, track.LvlFileName, progress);
    recordEntry(track.LvlFileName);
    ReadTrackDescription(pod, sitEntryName, progress,
                         [&](TQRXBox& box) { LoadModel(render, box, load); });
    MakeCheckpointMarkers(render, load);

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
    recordEntry(track.AltitudeFileName);
    recordEntry(GroundBoxBottomFileName(track.AltitudeFileName));
    recordEntry(GroundBoxTopFileName(track.AltitudeFileName));
    ReadLightMapOrWarn(load, progress);
    ReadTextureIndexes(pod, progress);
    recordEntry(track.TexIndexFileName);
    recordEntry(GroundBoxTexIndexFileName(track.TexIndexFileName));
    LoadTextures(render, load, progress);

    BuildDisplayList(progress);
    track.ObjectDrawList.clear();
    for (const auto& object : track.TrackObjects) {
        track.ObjectDrawList.push_back(object.get());
    }
    MakeSkyBoxes(render, load);

    progress.SetSubAction("Marking terrain in ground boxes");
    progress.SetPosition(0);
    MarkTerrainInGroundBoxes(progress);
    render.Prepared.Prepare(render.TrackTextures, render.Textures.MissingTexture());
    if (assets != nullptr) {
        RecordViewerFiles(*assets);
    }
    track.TrackLoaded = true;
}
