#include "render/Textures.h"

#include "core/base/Errors.h"
#include "core/base/Feedback.h"
#include "core/base/Logging.h"
#include "core/formats/ImageDecode.h"
#include "core/formats/PalettePool.h"
#include "core/vfs/FileTools.h"
#include "core/vfs/GameFile.h"
#include "core/vfs/GameFiles.h"

#include <GL/glu.h>

namespace {

bool Upload(const TDecodedImage& image, int32_t& texture) {
    texture = UploadTexture(static_cast<uint16_t>(image.Width), static_cast<uint16_t>(image.Height),
                            image.Channels == 4 ? GL_RGBA : GL_RGB, image.Pixels.data());
    return true;
}

// Game data is made on a file system that ignores letter case, so ROAD.RAW may sit beside
// road.act and a model may name ROAD.RAW for road.raw. The exact name wins when it exists.
std::string LoosePath(const std::string& path) {
    if (FileExists(path)) {
        return path;
    }
    const size_t cut = path.rfind('/');
    const std::string folder = cut == std::string::npos ? "" : path.substr(0, cut + 1);
    const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    if (name.find_first_of("*?") != std::string::npos) {
        return path;
    }
    TStringList matches;
    FindFilesRecursive(folder, name, matches, true, false);
    for (const std::string& match : matches) {
        if (FileExists(match)) {
            return match;
        }
    }
    return path;
}

bool Report(const TDecodedImage& image) {
    Messages().ShowMessage(image.ErrorText, image.ErrorCaption);
    return false;
}

std::string LastFourUpper(const std::string& name) {
    return name.size() >= 4 ? UpperCase(name.substr(name.size() - 4)) : std::string();
}

} // namespace

int32_t UploadTexture(uint16_t width, uint16_t height, GLenum format, const void* pixels) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // The decoders hand over unpadded rows; GL's default alignment of 4 would read 3-byte rows
    // of odd widths past their end.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (format == GL_RGBA) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    } else {
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return static_cast<int32_t>(name);
}

bool LoadBMPFile(const std::string& path, int32_t& texture) {
    TGameFile file;
    if (!file.Open(LoosePath(path))) {
        Messages().ShowMessage("Error opening " + path, "BMP Unit");
        return false;
    }
    const TDecodedImage image = DecodeBMP(file);
    file.Close();
    return image.Ok ? Upload(image, texture) : Report(image);
}

bool LoadTGAFile(const std::string& path, int32_t& texture) {
    TGameFile file;
    if (!file.Open(LoosePath(path))) {
        const bool present = FileExists(LoosePath(path)) || DirectoryExists(path);
        Messages().ShowMessage((present ? "cannot read  - " : "File not found  - ") + path,
                               "TGA Texture");
        return false;
    }
    const TDecodedImage image = DecodeTGA(file, path);
    file.Close();
    return image.Ok ? Upload(image, texture) : Report(image);
}

bool LoadRAWFile(const std::string& path, int32_t& texture) {
    TGameFile file;
    if (!file.Open(LoosePath(path))) {
        texture = UploadTexture(0, 0, GL_RGBA, nullptr);
        return true;
    }
    std::vector<uint8_t> actBytes;
    TGameFile act;
    if (act.Open(LoosePath(SiblingPaletteName(file.Path())))) {
        actBytes.resize(kActBytes);
        actBytes.resize(act.ReadSome(actBytes.data(), actBytes.size()));
        act.Close();
    }
    const TDecodedImage image = DecodeRAW(file, file.Size(), LooseRawPalette(actBytes), path);
    file.Close();
    return image.Ok ? Upload(image, texture) : Report(image);
}

namespace {

bool ReadRAWFromGame(const std::string& name, TGameLoad& load, TPendingTexture& pending) {
    WriteLog("Loading RAW texture " + name);
    pending.Palette = &ChooseGamePalette(load.Palettes, name, load.Files);

    TOpenedGameFile found;
    try {
        found = load.Files.Open(name);
    } catch (const EInOutError& error) {
        // A loose file that is there but cannot be read draws as if it were missing.
        load.WarnOnce("Error: Texture \"" + name + "\" not found: " + error.what());
        WriteLog("Error: " + name + " not found in POD");
        return false;
    }
    if (found.Size < 0) {
        load.WarnOnce("Error: Texture \"" + name + "\" not found");
        WriteLog("Error: " + name + " not found in POD");
        return false;
    }
    std::optional<TDecodedImage> refused =
        ReadRAWIndices(found.File, found.Size, name, pending.Raw);
    found.File.Close();
    return refused ? Report(*refused) : true;
}

int32_t ColourAndUpload(TPendingTexture& pending) {
    ColourPendingTexture(pending);
    return UploadPendingTexture(pending);
}

} // namespace

bool LoadRAWFromGame(const std::string& name, TGameLoad& load, int32_t& texture) {
    TPendingTexture pending;
    if (!ReadRAWFromGame(name, load, pending)) {
        return false;
    }
    texture = ColourAndUpload(pending);
    return true;
}

bool ReadGameTexture(const std::string& name, TGameLoad& load, TPendingTexture& pending) {
    const bool read = LastFourUpper(name) == ".RAW" && ReadRAWFromGame(name, load, pending);
    if (!read) {
        WriteLog("Error: Could not load Texture " + name);
    }
    return read;
}

void ColourPendingTexture(TPendingTexture& pending) {
    pending.Image = ColourRAW(pending.Raw, *pending.Palette);
    pending.Raw.Indices = {};
}

int32_t UploadPendingTexture(const TPendingTexture& pending) {
    int32_t texture = 0;
    Upload(pending.Image, texture);
    return texture;
}

bool LoadTextureFile(const std::string& path, int32_t& texture) {
    const std::string ending = LastFourUpper(path);
    if (ending == ".BMP") {
        return LoadBMPFile(path, texture);
    }
    if (ending == ".TGA") {
        return LoadTGAFile(path, texture);
    }
    if (ending == ".RAW") {
        return LoadRAWFile(path, texture);
    }
    return false;
}

bool LoadGameTexture(const std::string& name, TGameLoad& load, int32_t& texture) {
    TPendingTexture pending;
    if (!ReadGameTexture(name, load, pending)) {
        return false;
    }
    texture = ColourAndUpload(pending);
    return true;
}
