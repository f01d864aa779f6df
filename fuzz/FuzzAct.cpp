// ACT palettes: read straight from a file, and chosen for a game texture from an archive that
// holds the input as the texture's own palette.
#include "core/formats/PalettePool.h"
#include "core/vfs/GameFiles.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "fuzz/FuzzSupport.h"
#include "tools/PodWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const TFuzzSession& session = TFuzzSession::Get();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string loose = session.WriteInput("FUZZ.ACT", bytes);
    RunReader([&] {
        TPalettePool pool;
        TGameFile file;
        Require(file.Open(loose), "the input file opens");
        const TPalette& palette = pool.Load(file, "FUZZ.ACT");
        Require(pool.Find("fuzz.act") == &palette, "a loaded palette is found by its name");
    });
    TPodWriter writer;
    writer.Add("ART\\FUZZ.ACT", bytes);
    const std::string archive = session.WriteInput("FUZZ.POD", writer.Bytes());
    RunReader([&] {
        const TPodFile pod(archive);
        TQRXFileFinder finder;
        TGameFiles files(&pod, finder);
        TPalettePool pool;
        ChooseGamePalette(pool, "ART\\FUZZ.RAW", files);
    });
    return 0;
}
