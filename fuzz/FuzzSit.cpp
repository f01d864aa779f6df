// The track description reader, both passes: the input is the SIT entry of an archive that holds
// nothing else, so models are only named, never loaded.
#include "core/track/SitReader.h"
#include "core/track/TrackData.h"
#include "core/vfs/PodFile.h"
#include "fuzz/FuzzSupport.h"
#include "tools/PodWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TPodWriter writer;
    writer.Add("FUZZ.SIT", std::string(reinterpret_cast<const char*>(data), size));
    const std::string path = TFuzzSession::Get().WriteInput("FUZZ.POD", writer.Bytes());
    RunReader([&] {
        const TPodFile pod(path);
        TQuietProgress progress;
        const auto track = std::make_unique<TTrackData>();
        ReadLvlFileName(*track, pod, "FUZZ.SIT", progress);
        TTrackDescriptionScan scan(*track, pod, "FUZZ.SIT", progress);
        while (!scan.NextObjects().empty()) {
        }
    });
    return 0;
}
