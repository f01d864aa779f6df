// Textures: image files to mipmapped OpenGL textures. Loose files (the viewer's own images and
// model textures when no archive is open) are chosen by extension; textures of the game data
// are always RAW, looked for in the track's archive and then through the file finder, and
// coloured by the palette pool. Needs a current GL context.
//
// Every loader stores the new GL texture name in texture and returns true, or returns false
// leaving texture untouched after showing its message through Messages(). Game file names keep
// their backslashes ("ART\ROAD.RAW"); loose paths use "/".
#pragma once

#include "core/base/TextUtils.h"
#include "core/formats/ImageDecode.h"
#include "core/formats/PalettePool.h"

#include <GL/gl.h>
#include <cstdint>
#include <string>

struct TGameLoad;

// A new texture of pixels (format GL_RGB or GL_RGBA, tightly packed rows), GL_MODULATE,
// trilinear minification, all mipmap levels; it stays bound.
int32_t UploadTexture(uint16_t width, uint16_t height, GLenum format, const void* pixels);

bool LoadBMPFile(const std::string& path, int32_t& texture);
// A file shorter than its 18-byte header raises EInOutError.
bool LoadTGAFile(const std::string& path, int32_t& texture);
// The ACT file beside path gives the colours, all opaque. A missing RAW file still succeeds
// with an empty 0 x 0 texture, which draws untextured.
bool LoadRAWFile(const std::string& path, int32_t& texture);
// A texture found nowhere in the load's game files adds one warning per name and fails quietly;
// I/O errors of the palette propagate.
bool LoadRAWFromGame(const std::string& name, TGameLoad& load, int32_t& texture);

// ".BMP", ".TGA" or ".RAW", ignoring case; any other ending fails without a message.
bool LoadTextureFile(const std::string& path, int32_t& texture);
// Only ".RAW" names; a failure is logged.
bool LoadGameTexture(const std::string& name, TGameLoad& load, int32_t& texture);

// A game texture read but not yet coloured and uploaded.
struct TPendingTexture {
    TRawIndices Raw;
    const TPalette* Palette = nullptr; // the palette pool's, which never moves
    TDecodedImage Image;
};
// LoadGameTexture up to the colouring, with all its log lines, warnings and messages: false when
// the texture cannot be loaded.
bool ReadGameTexture(const std::string& name, TGameLoad& load, TPendingTexture& pending);
// The colours of pending.Image; touches nothing shared, so any thread may do it.
void ColourPendingTexture(TPendingTexture& pending);
// Uploads the coloured image; the new GL texture name.
int32_t UploadPendingTexture(const TPendingTexture& pending);
