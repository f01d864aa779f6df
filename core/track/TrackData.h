// The one in-memory track: fixed 256 x 256 grid tables (allocated once for the run), the prepared
// quads of terrain and ground boxes, and the fields of the track description. Plain data without
// any GL object: written only by the loading pipeline; read by rendering, camera and objects. About
// 80 MB of fixed tables, so it lives on the heap (the track session owns one).
//
// Coordinates: row r and column c map to world x = (r - 128) / 16 and z = (c - 128) / 16; heights
// are level bytes / 255. Game units: 32 per cell, 8192 across the grid, 512 per world unit.
#pragma once

#include "core/base/TextUtils.h"
#include "core/track/QRXBox.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

constexpr int kGridSize = 256;

struct TVertex3f {
    float x = 0;
    float y = 0;
    float z = 0;
};

// Texture entry of a terrain cell or a ground-box face (2 bytes on disk).
//   byte 0       texture number bits 0..7
//   byte 1 bit 0 texture number bit 8
//   byte 1 bit 4 mirror t, bit 5 mirror s, bits 6..7 rotation in quarter turns
struct TTexEntry {
    uint8_t b0 = 0;
    uint8_t b1 = 0;

    int Number() const { return b0 + 256 * (b1 & 1); }
    int MirrorS() const { return (b1 >> 5) & 1; }  // U
    int MirrorT() const { return (b1 >> 4) & 1; }  // V
    int Rotation() const { return (b1 >> 6) & 3; } // W
};

// TDrawQuad::Texture of a quad whose texture number lies past the track's texture list: the
// renderer draws it with the viewer's fallback texture.
inline constexpr int32_t kFallbackTexture = -1;

// One prepared quad; VertexCount 0 means nothing to draw.
struct TDrawQuad {
    int32_t VertexCount = 0;
    float Colors[4][4] = {};
    // A number of the track's texture list (TextureNames), or kFallbackTexture. The renderer
    // keeps the GL texture of each number.
    int32_t Texture = 0;
    float TexCoords[4][2] = {};
    float Positions[4][3] = {};
};

struct TGroundBoxCell {
    bool HasBox = false;
    TDrawQuad Faces[6];
};

struct TTrackData {
    // Grid tables, indexed [row][column].
    TVertex3f TerrainVertices[kGridSize][kGridSize];
    TVertex3f GroundBoxBottom[kGridSize][kGridSize];
    TVertex3f GroundBoxTop[kGridSize][kGridSize];
    uint8_t LightMap[kGridSize][kGridSize][7];
    TTexEntry TerrainTexIndex[kGridSize][kGridSize];
    TTexEntry GroundBoxTexIndex[kGridSize][kGridSize][6];
    bool TerrainInGroundBox[kGridSize][kGridSize];

    // Prepared quads.
    TDrawQuad TerrainQuads[kGridSize][kGridSize];
    TGroundBoxCell GroundBoxCells[kGridSize][kGridSize];

    // The texture list of the level file, texture number -> name below "ART\".
    TStringList TextureNames;
    float WaterHeight = 0;

    // Level file.
    std::string LvlFileName;
    std::string AltitudeFileName;
    std::string TexIndexFileName;
    std::string TextureListFileName;
    std::string LightMapFileName;

    // Track description.
    std::string TrackName = "<unnamed track>";
    int32_t BackdropType = 0;
    int32_t BackdropCount = 0;
    std::string BackdropModelNames[3];
    int32_t StadiumFlag = 0;
    int32_t StadiumX = 0;
    int32_t StadiumZ = 0;
    int32_t StadiumSX = 0;
    int32_t StadiumSZ = 0;
    std::string StadiumModelName;
    TVertex3f FirstGridPos; // game units
    TVertex3f FirstGridRot; // radians
    int32_t BoxCount = 0;
    int32_t TopCrushCount = 0;

    // Objects: the track's boxes, then two per top-crush record, then the checkpoint markers.
    std::vector<std::unique_ptr<TQRXBox>> TrackObjects;
    int32_t CheckpointMarkerCount = 0;
    std::unique_ptr<TQRXBox> Backdrops[3];
    std::unique_ptr<TQRXBox> Stadium;
    std::unique_ptr<TQRXBox> SkyBoxes[4]; // index SkyType - 1

    bool TrackLoaded = false;
};

// Releases the backdrops, the stadium and every track object
// and sets every field the track description or the level file fills back to its initial value.
// TrackLoaded, the grid tables and the prepared quads are left as they are.
void ResetTrackDescription(TTrackData& track);
// The height in game units the stadium stands at: the terrain at the corner of its rectangle
// (row StadiumZ - StadiumSZ div 2, column StadiumX - StadiumSX div 2, kept inside the grid).
double StadiumGroundHeight(const TTrackData& track);
