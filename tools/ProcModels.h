// The BIN models the generators ship, built from simple solids.
//
// Models are authored in world units (the unit of the level grid: 16 across the grid, a cell is
// 1/16) with y up, the model's base at y = 0 and its front along +x, and stored in model units
// (131072 per world unit). The viewer mirrors a model's z axis and culls the faces that end up
// wound counter-clockwise on screen, so a face is visible from the side its right-hand normal
// points to in file coordinates; every face is wound towards the side it is to be seen from.
#pragma once

#include <string>
#include <vector>

struct TModelAsset {
    std::string Name; // file name: MODELS\ entries without the prefix, sky boxes as they are
    std::string Bytes;
    std::vector<std::string> Textures; // every texture file the model names
};

// Lengths the track layouts need, in world units.
constexpr double kTrailerLength = 0.16;
constexpr double kCabLength = 0.045;
constexpr double kCrateSide = 0.045;
constexpr double kGateHalfSpan = 0.17;

// The checkpoint marker DMGLCHK.BIN: a striped pole with a chequered flag and an orange arrow,
// coloured by DMGLCHK.RAW.
TModelAsset MarkerModel();

// Every model the demo tracks place: boxes, top-crush bodies and cabs, gates, backdrops, the
// stadium and an animated flag (an animation control file and its first model).
std::vector<TModelAsset> DemoModels();

// SKYBOX_CLOUDY2.BIN, SKYBOX_CCLOUDS.BIN, SKYBOX_DUSKSKY.BIN and SKYBOX_NITESKY.BIN: domes seen
// from inside, drawn by the viewer at 25000 / 131072 world units per model unit.
std::vector<TModelAsset> SkyBoxModels();

// Towers of the dense test track, one per face count: rings of quads under a cap of triangles,
// textured in bands that change every 128 faces, some of them blended lattice.
inline constexpr int kDenseModelFaces[] = {2000, 1200, 640, 320, 160};
std::vector<TModelAsset> DenseModels();
std::string DenseModelName(int faces);
