#include "core/formats/PalettePool.h"
#include "core/vfs/FileTools.h"

#include "core/base/Errors.h"
#include "core/base/Logging.h"
#include "core/base/ProgramFolder.h"
#include "core/base/TextUtils.h"
#include "core/vfs/GameFile.h"
#include "core/vfs/GameFiles.h"

namespace {

constexpr uint8_t kFirstOpaqueLevel = 8;

// An entry that is too short would otherwise be completed with the bytes of whatever follows it
// in the archive, so it is refused like a file that ends early.
void RequirePaletteBytes(const TGameFile& file, int64_t available) {
    if (available < static_cast<int64_t>(kActBytes)) {
        file.RaisePastEnd();
    }
}

} // namespace

TPalette ConvertPalette(const uint8_t (&rgb)[kActBytes]) {
    TPalette palette{};
    for (size_t i = 0; i < 256; ++i) {
        const uint8_t r = rgb[3 * i];
        const uint8_t g = rgb[3 * i + 1];
        const uint8_t b = rgb[3 * i + 2];
        palette[4 * i] = r;
        palette[4 * i + 1] = g;
        palette[4 * i + 2] = b;
        const bool opaque =
            r >= kFirstOpaqueLevel || g >= kFirstOpaqueLevel || b >= kFirstOpaqueLevel;
        palette[4 * i + 3] = opaque ? 255 : 0;
    }
    return palette;
}

const TPalette* TPalettePool::Find(const std::string& name) const {
    const auto found = byName_.find(UpperCase(name));
    return found == byName_.end() ? nullptr : found->second;
}

const TPalette& TPalettePool::Load(TGameFile& file, const std::string& name) {
    uint8_t rgb[kActBytes];
    file.Read(rgb, sizeof rgb);
    palettes_.push_back(std::make_unique<TPalette>(ConvertPalette(rgb)));
    byName_.emplace(UpperCase(name), palettes_.back().get());
    return *palettes_.back();
}

std::string SiblingPaletteName(const std::string& textureName) {
    const size_t keep = textureName.size() >= 3 ? textureName.size() - 3 : 0;
    return textureName.substr(0, keep) + "ACT";
}

const TPalette& ChooseGamePalette(TPalettePool& pool, const std::string& textureName,
                                  TGameFiles& files) {
    const std::string paletteName = SiblingPaletteName(textureName);
    if (const TPalette* known = pool.Find(paletteName)) {
        files.RecordCached(paletteName);
        return *known;
    }

    TOpenedGameFile found = files.Open(paletteName);
    if (found.Size >= 0) {
        WriteLog("Loading new palette " + paletteName);
        RequirePaletteBytes(found.File, found.Size);
        const TPalette& palette = pool.Load(found.File, paletteName);
        found.File.Close();
        WriteLog("Done.");
        return palette;
    }
    found.File.Close();

    WriteLog("Using default palette.");
    TGameFile file;
    if (const TPalette* known = pool.Find(kDefaultPaletteName)) {
        return *known;
    }
    WriteLog("Loading default palette.");
    const std::string path = ProgramFolder() + "data/metalcr2.act";
    if (!file.Open(path)) {
        // A file that is there but refused (its rights, a folder of that name) is not missing.
        throw EInOutError(FileExists(path) || DirectoryExists(path)
                              ? "cannot read " + path
                              : "Datei nicht gefunden: " + path);
    }
    const TPalette& palette = pool.Load(file, kDefaultPaletteName);
    file.Close();
    WriteLog("Done.");
    return palette;
}
