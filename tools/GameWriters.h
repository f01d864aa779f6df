// Writers of the game's file formats, shared by the viewer's data-file generator and the demo
// track generator. Each turns a plain description into the exact bytes the viewer reads.
//
// ACT palette   768 bytes: 256 x (red, green, blue), entry 0 first.
// RAW texture   side x side palette indices, first row first; no header.
// TGA image     18-byte header (type 2, 24 bits, origin bits 0), then blue, green, red per pixel,
//               the image's first row first.
// BIN model     20-byte header (word 0 kind, words 1-3 zero, word 4 vertex count), the vertices
//               (3 x int32 model units each), then blocks, each an int32 id and its payload, ended
//               by block 0x00. 131072 model units are one world unit; texture coordinates are
//               fixed point with 16711680 = 1.0.
// Texture entry 2 bytes: number bits 0-7; number bit 8, mirror t (bit 4), mirror s (bit 5) and
//               the quarter turns (bits 6-7).
// LVL, SIT and texture lists are CR LF text without blank lines (blank lines do not count).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

struct TRgb {
    uint8_t R = 0;
    uint8_t G = 0;
    uint8_t B = 0;
    bool operator==(const TRgb&) const = default;
};

using TRgbPalette = std::array<TRgb, 256>;

std::string ActBytes(const TRgbPalette& palette);

// A square image of palette indices, row 0 first.
struct TIndexedImage {
    int Side = 0;
    std::vector<uint8_t> Pixels;
};

std::string RawBytes(const TIndexedImage& image);

struct TRgbImage {
    TRgbImage() = default;
    TRgbImage(int width, int height) : Width(width), Height(height), Pixels(width * height) {}
    TRgb& At(int x, int y) { return Pixels[static_cast<size_t>(y) * Width + x]; }
    const TRgb& At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }

    int Width = 0;
    int Height = 0;
    std::vector<TRgb> Pixels;
};

std::string Tga24Bytes(const TRgbImage& image);

// number 0..511, rotation 0..3 quarter turns.
std::array<uint8_t, 2> TexEntryBytes(int number, bool mirrorS, bool mirrorT, int rotation);

// Face block ids: opaque faces with texture coordinates, blended ones, and opaque faces whose
// vertex references carry no texture coordinates.
constexpr int32_t kFaceOpaque = 0x0E;
constexpr int32_t kFaceOpaqueAlt = 0x29;
constexpr int32_t kFaceBlended = 0x11;
constexpr int32_t kFaceNoCoords = 0x19;

struct TFaceRef {
    int32_t Index = 0;
    int32_t U = 0;
    int32_t V = 0;
};

// Collects vertices (shared when equal) and blocks in the order they are added.
class TBinWriter {
public:
    int32_t Vertex(int32_t x, int32_t y, int32_t z);
    int32_t VertexCount() const { return static_cast<int32_t>(vertices_.size()); }

    void Texture(const std::string& name);                            // at most 16 characters
    void AnimatedTexture(const std::vector<std::string>& frameNames); // each at most 32
    void Color(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
    void Face(int32_t blockId, const std::vector<TFaceRef>& refs); // 3 or 4 references
    void Normals(const std::vector<std::array<int32_t, 3>>& normals);

    std::string Bytes() const;
    // Every name of a texture or animation block, in file order.
    const std::vector<std::string>& TextureNames() const { return textureNames_; }

private:
    std::vector<std::array<int32_t, 3>> vertices_;
    std::vector<std::string> textureNames_;
    std::map<std::tuple<int32_t, int32_t, int32_t>, int32_t> vertexIndex_;
    std::string blocks_;
};

// A model file that only names the first model of an animation.
std::string AnimationControlBytes(const std::string& firstModelName);

// The level file: names relative to the game's DATA folder.
struct TLevelDescription {
    std::string AltitudeFile;
    std::string TexIndexFile;
    std::string TextureListFile;
    std::string LightMapFile;
    bool HasWater = false;
    double WaterValue = 0; // written after !WATERHEIGHT; the viewer divides it by 1024
};

std::string LvlText(const TLevelDescription& level);
// The name with its last character replaced, as the viewer derives the ground-box files.
std::string DerivedName(const std::string& name, char last);

std::string TextureListText(const std::vector<std::string>& names);

struct TBoxRecord {
    std::string Label;
    double X = 0, Y = 0, Z = 0; // game units
    double Theta = 0, Phi = 0, Psi = 0;
    std::string Model; // relative to MODELS
    std::string TypeFlags = "7,0";
};

struct TTopCrushRecord {
    std::string Label;
    double X = 0, Y = 0, Z = 0;    // body
    double X2 = 0, Y2 = 0, Z2 = 0; // cab
    double Theta = 0, Phi = 0, Psi = 0;
    std::string BodyModel;
    std::string CabModel;
    std::string TypeFlags = "7,0";
};

struct TTrackDescription {
    std::string LevelFile; // relative to LEVELS
    std::string TrackName;
    int BackdropType = 0;
    std::vector<std::string> Backdrops;
    int StadiumFlag = 0;
    int StadiumX = 0, StadiumZ = 0, StadiumSX = 0, StadiumSZ = 0; // cells
    std::string StadiumModel;
    std::array<double, 3> GridPos{}; // game units
    std::array<double, 3> GridRot{}; // radians, as the file holds them
    std::vector<TBoxRecord> Boxes;
    std::vector<TTopCrushRecord> TopCrush;
};

// Box records are 21 lines and top-crush records 17, as the viewer counts them.
std::string SitText(const TTrackDescription& track);
std::vector<std::string> BoxRecordLines(const TBoxRecord& box);
std::vector<std::string> TopCrushRecordLines(const TTopCrushRecord& record);

// The viewer turns file angles into degrees with 180 / 3.14; this gives the file value that
// turns by exactly the wanted angle.
double FileAngle(double radians);
