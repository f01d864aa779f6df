// The textures and palettes the generators ship, all drawn procedurally. Game textures become a
// RAW image with its own ACT palette; the fallback texture is a true-colour Targa image.
//
// Terrain and model textures tile seamlessly. Sky textures are 256 x 256 panoramas: the column
// runs once round the horizon, row 0 is the zenith, the middle row the horizon and the last row
// the nadir.
#pragma once

#include "tools/GameWriters.h"

#include <string>
#include <vector>

struct TTextureAsset {
    std::string Name; // file name, e.g. GRASS.RAW; its palette is the same name ending in ACT
    TIndexedImage Image;
    TRgbPalette Palette;
};

// The palette's file name for a texture name: the last three characters replaced by "ACT".
std::string PaletteNameFor(const std::string& textureName);

// Every texture the demo tracks and their models name.
std::vector<std::string> DemoTextureNames();
// Raises std::invalid_argument for a name that is not in DemoTextureNames.
TTextureAsset MakeDemoTexture(const std::string& name);

TTextureAsset MarkerTexture(); // DMGLCHK.RAW
TTextureAsset RippleTexture(); // RIPPL100.RAW
TRgbPalette DefaultPalette();  // a general-purpose palette, entry 0 black
TRgbImage MissingTextureImage();

// Texture number n of the stress track: 256 x 256, a colour of its own and its number.
TTextureAsset StressTexture(int number);
std::string StressTextureName(int number);
