#include "render/TrackLoader.h"

#include "core/base/Errors.h"
#include "core/base/Logging.h"
#include "core/track/CheckpointMarkers.h"
#include "core/track/LevelFile.h"
#include "core/track/QuadBuilder.h"
#include "core/track/SitReader.h"
#include "core/track/SkyBoxes.h"
#include "core/track/TrackData.h"
#include "core/vfs/AssetLog.h"
#include "core/vfs/GameFiles.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "render/BoxModel.h"
#include "render/RenderContext.h"
#include "render/WaterPass.h"

namespace {

// The description is read step by step, each step's models loaded before the next is read.
void ReadTrackDescriptionWithModels(TTrackData& track, TRenderContext& render, TGameLoad& load,
                                    const TPodFile& pod, const std::string& sitEntryName,
                                    TLoadProgress& progress) {
    TTrackDescriptionScan scan(track, pod, sitEntryName, progress);
    for (auto made = scan.NextObjects(); !made.empty(); made = scan.NextObjects()) {
        LoadModels(render, made, load);
    }
}

void LoadTextures(TTrackData& track, TRenderContext& render, TGameLoad& load,
                  TLoadProgress& progress) {
    progress.SetAction("Loading textures");
    progress.SetSubAction("");
    progress.SetPosition(0);
    track.TextureNames = ReadTextureList(load.Files, track.TextureListFileName);
    const int count = static_cast<int>(track.TextureNames.size());
    TTrackTextures& textures = render.TrackTexturesForLoad();
    textures.Assign(static_cast<size_t>(count));
    progress.SetRange(0, count);
    const std::vector<int32_t> names =
        render.TexturesForLoad().GetTextureList(track.TextureNames, load, progress);
    for (size_t k = 0; k < names.size(); ++k) {
        textures.Set(k, names[k]);
    }
}

// Puts the stadium on the terrain however the load ends: a load that fails part-way still leaves
// a track that may be drawn, its stadium standing on what terrain was read.
class TStadiumPlacement {
public:
    explicit TStadiumPlacement(TTrackData& track) : track_(track) {}
    TStadiumPlacement(const TStadiumPlacement&) = delete;
    TStadiumPlacement& operator=(const TStadiumPlacement&) = delete;
    ~TStadiumPlacement() {
        if (track_.Stadium) {
            // A rectangle reaching past the grid sits on the nearest edge point instead.
            track_.Stadium->Y = StadiumGroundHeight(track_);
        }
    }

private:
    TTrackData& track_;
};

} // namespace

void LoadTrack(TRenderContext& render, TTrackData& track, TPalettePool& palettes,
               const TPodFile& pod, const std::string& sitEntryName, TLoadProgress& progress,
               TStringList& warnings, TQRXFileFinder& finder, TAssetLog* assets) try {
    const TFinderLoadScope listFoldersOnce(finder, warnings);
    TGameFiles files(&pod, finder);
    files.RecordInto(assets);
    TGameLoad load{files, warnings, palettes};
    const TStadiumPlacement stadium(track);
    // Archive-only files raise when absent, so each is recorded right after it has been read.
    const auto recordEntry = [&](const std::string& name) {
        if (assets != nullptr) {
            RecordArchiveEntry(*assets, pod, name);
        }
    };
    LoadWaterTexture(render);
    WriteLog("Opening track SIT " + sitEntryName);
    progress.SetStep(1);

    render.ReleaseTrack();
    ResetTrackDescription(track);

    ReadLvlFileName(track, pod, sitEntryName, progress);
    recordEntry(sitEntryName);
    ReadLevelFile(track, pod, track.LvlFileName, progress);
    recordEntry(track.LvlFileName);
    ReadTrackDescriptionWithModels(track, render, load, pod, sitEntryName, progress);
    LoadModels(render, MakeCheckpointMarkers(track), load);

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
    ReadLightMapOrWarn(track, load, progress);
    ReadTextureIndexes(track, pod, progress);
    recordEntry(track.TexIndexFileName);
    recordEntry(GroundBoxTexIndexFileName(track.TexIndexFileName));
    LoadTextures(track, render, load, progress);

    BuildDisplayList(track, progress);
    render.DrawListForLoad().Assign(track);
    LoadModels(render, MakeSkyBoxes(track), load);
    for (const auto& sky : track.SkyBoxes) {
        PrepareScaledDrawing(render, sky.get());
    }
    for (const auto& backdrop : track.Backdrops) {
        PrepareScaledDrawing(render, backdrop.get());
    }

    progress.SetSubAction("Marking terrain in ground boxes");
    progress.SetPosition(0);
    MarkTerrainInGroundBoxes(track, progress);
    render.PreparedForLoad().Prepare(track, render.TrackTextures(),
                                     render.Textures().MissingTexture());
    if (assets != nullptr) {
        RecordViewerFiles(*assets);
    }
    track.TrackLoaded = true;
} catch (EViewerError& error) {
    // Most readers know only the bytes they read; the track is what the user asked for.
    error.SetPlace(pod.ArchivePath(), sitEntryName);
    throw;
} catch (const std::bad_alloc&) {
    // A damaged count can ask for more than the machine has; the user learns which file.
    throw EDunmereError(pod.ArchivePath() + ": " + sitEntryName +
                        ": not enough memory to load the track");
}

void TRenderTrackLoader::Load(TTrackData& track, TPalettePool& palettes, const TPodFile& pod,
                              const std::string& sitEntry, TLoadProgress& progress,
                              TStringList& warnings, TQRXFileFinder& finder, TAssetLog& assets) {
    LoadTrack(render_, track, palettes, pod, sitEntry, progress, warnings, finder, &assets);
}
