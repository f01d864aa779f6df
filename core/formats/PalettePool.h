// uPalettePool: the ACT palettes of the game's RAW textures, converted once and kept by the
// track session for its whole life (a palette loaded for one track serves every later track).
//
// ACT file, no header:
//   0    768 bytes  256 entries of red, green, blue (unsigned bytes), entry 0 first
//   768  any        ignored
//
// Converted palette: 1024 bytes, entry i at byte 4 * i as red, green, blue, alpha, so one entry
// is one GL_RGBA / GL_UNSIGNED_BYTE pixel. Alpha is 255 when any channel is 8 or more and 0 when
// all three are 7 or less: black and the near-blacks are the game's transparent colour.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TGameFile;
class TGameFiles;

constexpr size_t kActBytes = 768;
using TPalette = std::array<uint8_t, 1024>;

class TPalettePool {
public:
    // The palette stored under name (whole name, ASCII case ignored), or nullptr. Reads nothing.
    const TPalette* Find(const std::string& name) const;
    // Reads exactly 768 bytes at the file's position, converts and appends them under name.
    // Raises EInOutError on a short read, adding nothing. Does not look for an existing entry.
    const TPalette& Load(TGameFile& file, const std::string& name);

private:
    // Palettes are handed out by reference and never move once loaded. A name loaded twice keeps
    // its first palette for Find, as a walk in loading order would.
    std::vector<std::unique_ptr<TPalette>> palettes_;
    std::unordered_map<std::string, const TPalette*> byName_; // upper-cased name
};

TPalette ConvertPalette(const uint8_t (&rgb)[kActBytes]);

inline constexpr const char* kDefaultPaletteName = "DEFAULT_PALETTE";

// The palette of the game texture textureName: its own ACT (textureName with its last three
// characters replaced by "ACT") from the pool or from the game files, else the viewer's default
// palette ProgramFolder() + "data/metalcr2.act", which is read at most once. Writes the log lines
// of each step; I/O errors propagate.
const TPalette& ChooseGamePalette(TPalettePool& pool, const std::string& textureName,
                                  TGameFiles& files);

// textureName without its last three characters, followed by "ACT".
std::string SiblingPaletteName(const std::string& textureName);
