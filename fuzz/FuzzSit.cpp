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
        ResetTrackDescription();
        ReadLvlFileName(pod, "FUZZ.SIT", progress);
        ReadTrackDescription(pod, "FUZZ.SIT", progress, [](TQRXBox&) {});
    });
    ResetTrackDescription();
    return 0;
}
