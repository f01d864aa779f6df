// Texture loading into GL through the texture pool. The first input byte picks the way in (a
// loose BMP, TGA or RAW file, or a game RAW in the track's archive, coloured by the default
// palette); the rest is the file.
#include "core/base/ProgramFolder.h"
#include "core/formats/PalettePool.h"
#include "core/track/TrackData.h"
#include "core/vfs/GameFiles.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "fuzz/FuzzSupport.h"
#include "render/GLContext.h"
#include "render/RenderContext.h"
#include "tools/PodWriter.h"

namespace {

// The GL context and the pool live as long as the process, as the viewer's do.
struct TTextureTarget {
    TTextureTarget() : Context(16, 16) { Render.LoadMissingTexture(); }
    THeadlessGLContext Context;
    TRenderContext Render;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const TFuzzSession& session = TFuzzSession::Get();
    static TTextureTarget target;
    if (size == 0) {
        return 0;
    }
    const std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
    TTexturePool& pool = target.Render.TexturesForLoad();
    RunReader([&] {
        switch (data[0] % 4) {
        case 0:
            pool.GetFileTexture(session.WriteInput("FUZZ.BMP", file), "ART\\FUZZ.BMP");
            break;
        case 1:
            pool.GetFileTexture(session.WriteInput("FUZZ.TGA", file), "ART\\FUZZ.TGA");
            break;
        case 2:
            pool.GetFileTexture(session.WriteInput("FUZZ.RAW", file), "ART\\FUZZ.RAW");
            break;
        default: {
            TPodWriter writer;
            writer.Add("ART\\FUZZ.RAW", file);
            const TPodFile pod(session.WriteInput("FUZZ.POD", writer.Bytes()));
            TQRXFileFinder finder;
            BuildSearchFolders(finder, TStringList(5));
            TGameFiles files(&pod, finder);
            TStringList warnings;
            TPalettePool palettes;
            TGameLoad load{files, warnings, palettes};
            pool.GetGameTexture("ART\\FUZZ.RAW", load);
        }
        }
    });
    pool.ClearTextures();
    return 0;
}
