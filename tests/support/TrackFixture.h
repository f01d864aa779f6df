// A complete small track in the game's formats, for tests that load whole tracks: a track
// description, its level file, the six grid files, a texture list with palettised textures and
// box objects with their BIN models. Every part can be left out or changed to make a fault.
#pragma once

#include "tools/PodWriter.h"

#include <cstdint>
#include <string>
#include <vector>

// A BIN model: one textured square of side size model units in the x-y plane, then end of file;
// faceBlock is the square's face block id (0x0E opaque, 0x11 blended).
std::string MakeBinQuad(const std::string& textureName, int32_t size = 65536,
                        int32_t faceBlock = 0x0E);
// side x side palette indices, all index.
std::string MakeRaw(int side, uint8_t index);
// A 768-byte palette whose entry index is (r, g, b) and every other entry black.
std::string MakeAct(uint8_t index, uint8_t r, uint8_t g, uint8_t b);

// The viewer's own files below folder/data: default palette, fallback texture, water ripples and
// the checkpoint marker model.
void WriteViewerData(const TTempDir& dir, const std::string& folder = "");

// Where a box object of the fixture stands: the values of its "IPOS", "THETA,PHI,PSI" and
// "!TYPE,FLAGS" lines.
struct TFixtureBox {
    std::string Position;
    std::string Angles = "0,0,0";
    std::string Type = "7,0";
};

// A ground box on one cell: its bottom and top as level bytes.
struct TFixtureGroundBox {
    int Row = 0;
    int Column = 0;
    uint8_t Bottom = 0;
    uint8_t Top = 0;
};

struct TTrackFixture {
    std::string SitEntry = "TEST.SIT";
    std::string TrackName = "Test Track";
    std::string LevelName = "TEST.LVL";
    std::string GridName = "TEST"; // every DATA\ file is this name with its own ending
    uint8_t TerrainHeight = 10;
    uint8_t Light = 200;
    std::vector<std::string> Textures = {"GRASS.RAW"};  // the texture list, each with an .ACT
    std::vector<std::string> MissingTextures;           // listed but not in the archive
    std::vector<std::string> BoxModels = {"CRATE.BIN"}; // one box object per model name
    std::vector<std::string> MissingModels;             // box objects whose model is absent
    // Placements of the boxes in order (BoxModels, then MissingModels); the others stand in a
    // row from the grid's centre.
    std::vector<TFixtureBox> BoxPlacements;
    std::vector<TFixtureGroundBox> GroundBoxes;
    bool WithLightMap = true;
    bool WithTextureList = true;
    bool WithAltitude = true;
    bool WithSkyBoxes = true;
    std::string WaterLine = "512"; // value after !WATERHEIGHT; empty: no water key
    std::string ExtraSitLines;     // appended to the description (CR LF lines)

    // Adds every entry of the track to pod.
    void AddTo(TPodWriter& pod) const;
    TPodWriter Pod() const {
        TPodWriter pod;
        AddTo(pod);
        return pod;
    }
    std::string LightMapBytes() const;
};

// Two tracks in one archive, VALLEY.SIT and HILLS.SIT, with grids of their own: both use
// ART\GRASS.RAW (each adds a copy, so the second copy is read by neither), and HILLS.SIT also
// lists MUD.RAW, which the archive does not hold.
TPodWriter TwoTrackArchive();
