#include "tools/DataFiles.h"

#include "tools/GameWriters.h"
#include "tools/PodWriter.h"
#include "tools/ProcModels.h"
#include "tools/ProcTextures.h"

#include <filesystem>

std::vector<std::string> WriteViewerDataFiles(const std::string& programFolder) {
    std::vector<std::string> written;
    auto write = [&](const std::string& relative, const std::string& bytes) {
        const std::string path = programFolder + relative;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        WriteFileBytes(path, bytes);
        written.push_back(path);
    };
    write("data/metalcr2.act", ActBytes(DefaultPalette()));
    write("data/missing.tga", Tga24Bytes(MissingTextureImage()));
    const TTextureAsset ripple = RippleTexture();
    write("data/" + ripple.Name, RawBytes(ripple.Image));
    write("data/" + PaletteNameFor(ripple.Name), ActBytes(ripple.Palette));
    write("data/DMGLCHK.BIN", MarkerModel().Bytes);
    const TTextureAsset marker = MarkerTexture();
    for (const std::string folder : {"data/", "ART/"}) {
        write(folder + marker.Name, RawBytes(marker.Image));
        write(folder + PaletteNameFor(marker.Name), ActBytes(marker.Palette));
    }
    return written;
}
