#include "render/TrackLoader.h"

#include "core/base/Errors.h"
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

#include <algorithm>

namespace {

constexpr int kGridSteps = 256;

void StartGridStep(TLoadProgress& progress, const std::string& subAction) {
    progress.SetSubAction(subAction);
    progress.SetPosition(0);
    progress.SetRange(0, kGridSteps);
}

void ReadLightMapOrWarn(TGameLoad& load, TLoadProgress& progress) {
    TTrackData& track = TrackData();
    StartGridStep(progress, "Terrain lighting");
    TOpenedGameFile found = load.Files.Open(track.LightMapFileName);
    if (found.End < 0) {
        load.Warnings.push_back("Could not load LightMap \"" + track.LightMapFileName +
                                "\"; using uniform terrain lighting.");
        std::fill_n(&track.LightMap[0][0][0], sizeof track.LightMap, uint8_t{255});
        return;
    }
    ReadLightMap(found.File, found.End - found.File.Position(), track.LightMap);
}

void ReadTextureIndexes(const TPodFile& pod, TLoadProgress& progress) {
    TTrackData& track = TrackData();
    TGameFile file;
    StartGridStep(progress, "Terrain texture index");
    ReadTerrainTexIndex(file, OpenTrackEntry(pod, file, track.TexIndexFileName),
                        track.TerrainTexIndex);
    file.Close();
    StartGridStep(progress, "Ground box texture index");
    const std::string boxIndexName = GroundBoxTexIndexFileName(track.TexIndexFileName);
    ReadGroundBoxTexIndex(file, OpenTrackEntry(pod, file, boxIndexName), track.GroundBoxTexIndex);
}

void LoadTextureList(TGameLoad& load, TLoadProgress& progress) {
    TTrackData& track = TrackData();
    progress.SetAction("Loading textures");
    progress.SetSubAction("");
    progress.SetPosition(0);
    TOpenedGameFile found = load.Files.Open(track.TextureListFileName);
    TGameFile& file = found.File;
    const int64_t end = found.End;
    if (end < 0) {
        throw EDunmereError("LoadTrack: Unable to find file \"" + track.TextureListFileName + "\"");
    }
    // Every listed name takes at least one byte, so a count beyond what the file still holds
    // cannot be honest; it must not drive the allocation.
    const int32_t listed = TryStrToInt(ReadLineUntil(file, end)).value_or(0);
    const int64_t available = std::max<int64_t>(0, std::min(end, file.Size()) - file.Position());
    const int count = static_cast<int>(std::clamp<int64_t>(listed, 0, available));
    track.TrackTextures.assign(static_cast<size_t>(count), 0);
    progress.SetRange(0, count);
    for (int k = 0; k < count; ++k) {
        const std::string name = ReadLineUntil(file, end);
        progress.SetSubAction(name);
        try {
            track.TrackTextures[static_cast<size_t>(k)] = GetGameTexture("ART\\" + name, load);
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
    LoadTextureList(load, progress);

    BuildDisplayList(progress, MissingTexture());
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
