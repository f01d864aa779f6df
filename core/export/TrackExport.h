// A loaded track as one glTF 2.0 file, for other 3D programs: binary for a name ending in
// ".glb", JSON with its buffers and images embedded for one ending in ".gltf".
//
// Scale and axes: one grid cell is one unit, Y up; the grid's centre is the origin, so x and z
// run from -128 to 128. Heights keep the viewer's proportions (a level byte of 255 is 16 units).
// The viewer's world units are therefore multiplied by 16 everywhere.
//
// Contents: the terrain (every prepared cell, the light map as vertex colours, each texture
// entry's mirrors and rotation in the texture coordinates), the ground boxes, the water as a
// translucent plane at the water height over the grid (a stadium track's over the built stadium
// floor alone, as nothing else of it is built), and the placed objects: one mesh per BIN
// model, one node per placement (track objects, checkpoint markers, the stadium and the
// backdrops) carrying the placement's position and angles. Backdrops, which the viewer draws
// around the camera at any distance, stand around the grid's centre, the first twice as wide as
// the grid. Colours are written linear, as glTF requires, from the sRGB values the viewer puts
// on screen. Every texture is one PNG image, shared by all that use it, with one material for
// opaque and one for blended drawing as the surfaces need them; the materials are unlit, as the
// viewer lights nothing, and the blended ones mask out the pixels the palette makes transparent.
#pragma once

#include "core/view/ViewState.h"

#include <string>

class TGameFiles;
class TPalettePool;
struct TTrackData;

struct TTrackExportOptions {
    bool Boxes = true;
    bool Water = true;
    // As the viewer shows it (the INI's "Water Color"), in the screen's sRGB values.
    TColor4 WaterColor{100 / 255.0f, 120 / 255.0f, 150 / 255.0f, 220 / 255.0f};
    // Track objects, checkpoint markers, the stadium and the backdrops.
    bool Objects = true;
};

// ".glb" or ".gltf", ignoring case.
bool IsGltfFileName(const std::string& path);

// Models and textures are read through files (the track's archive, then the finder), the same
// readers the track load uses, their palettes through palettes; their Windows-1252 names become
// UTF-8, as glTF requires. Raises EDunmereError naming path when the name is not a glTF name or
// the file cannot be written, and when no track is loaded.
void ExportTrackGlb(const std::string& path, const TTrackData& track, TGameFiles& files,
                    TPalettePool& palettes, const TTrackExportOptions& options);
