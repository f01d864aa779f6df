// The level file and the grid files it names: the input is the level file of an archive whose
// grid entries (under the names the seeds' level files give) are the input repeated to their
// full sizes. The terrain in ground boxes is then marked, as a load does; the quads, which take
// far longer than the reading, are left to the whole-load target.
#include "core/formats/PalettePool.h"
#include "core/track/LevelFile.h"
#include "core/track/TrackData.h"
#include "core/vfs/PodFile.h"
#include "fuzz/FuzzSupport.h"
#include "tools/PodWriter.h"

#include <cmath>

namespace {

std::string Repeated(const std::string& bytes, size_t size) {
    if (bytes.empty()) {
        return std::string(size, '\0');
    }
    std::string result = bytes;
    while (result.size() < size) {
        result += result;
    }
    result.resize(size);
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string level(reinterpret_cast<const char*>(data), size);
    const std::string heights = Repeated(level, size_t{kGridSize} * kGridSize);
    TPodWriter writer;
    writer.Add("LEVELS\\FUZZ.LVL", level)
        .Add("DATA\\FUZZ.ALT", heights)
        .Add("DATA\\FUZZ.AL0", heights)
        .Add("DATA\\FUZZ.AL1", heights)
        .Add("DATA\\FUZZ.TEX", Repeated(level, sizeof TTrackData::TerrainTexIndex))
        .Add("DATA\\FUZZ.TE0", Repeated(level, sizeof TTrackData::GroundBoxTexIndex))
        .Add("DATA\\FUZZ.LIT", Repeated(level, sizeof TTrackData::LightMap));
    const std::string path = TFuzzSession::Get().WriteInput("FUZZ.POD", writer.Bytes());
    RunReader([&] {
        const TPodFile pod(path);
        TQuietProgress progress;
        const auto fresh = std::make_unique<TTrackData>();
        TTrackData& track = *fresh;
        ReadLevelFile(track, pod, "LEVELS\\FUZZ.LVL", progress);
        // Narrowing to a single hides an out-of-range height from the sanitizers.
        Require(std::isfinite(track.WaterHeight), "the water height is finite");
        ReadHeightFile(pod, track.AltitudeFileName, track.TerrainVertices, progress);
        ReadHeightFile(pod, GroundBoxBottomFileName(track.AltitudeFileName), track.GroundBoxBottom,
                       progress);
        ReadHeightFile(pod, GroundBoxTopFileName(track.AltitudeFileName), track.GroundBoxTop,
                       progress);
        TGameFile file;
        ReadLightMap(file, OpenTrackEntry(pod, file, track.LightMapFileName), track.LightMap);
        ReadTextureIndexes(track, pod, progress);
        MarkTerrainInGroundBoxes(track, progress);
    });
    return 0;
}
