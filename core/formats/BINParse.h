// The BIN model reader: the bytes of one model file in, its vertices and faces out. No GL; the
// textures a file names are reported through a callback as they are met, so they load in file
// order. Every block and step writes its log line.
//
// All numbers are little-endian int32 unless stated otherwise.
//
// Header, 20 bytes:
//   0   file kind: 32 marks an animation control file, any other value an ordinary model
//   4   12 bytes, not interpreted
//   16  vertex count V (ordinary model only)
//
// Animation control file: 500 more bytes; bytes 4..19 of them (file offsets 24..39) hold the
// name of the animation's first model, ended by a zero byte or by the end of the 16 bytes.
// Nothing else is read.
//
// Ordinary model: V vertex records of 12 bytes (X, Y, Z), then blocks, each an int32 id and its
// payload:
//   0x00  end of the model
//   0x03  vertex normals: 4 bytes not interpreted, count N, N records of 12 bytes; a later
//         block replaces an earlier one
//   0x0A  4 colour bytes, the current colour from now on
//   0x0D  texture: 4 bytes not interpreted, 16 bytes of name (zero-ended or whole); it becomes
//         the current texture and the colour becomes 255, 255, 255, 255
//   0x0E, 0x11, 0x18, 0x19, 0x29, 0x33, 0x34  one face: a head of 5 words (vertex count n,
//         then 4 words kept as they are), then n references: for 0x19 4 bytes each (vertex
//         index; U and V are 0), for the others 12 bytes each (vertex index, U, V)
//   0x17  8 bytes, skipped
//   0x1D  animated texture: a head of 6 words (word 1 is the frame count F), then F names of
//         32 bytes (zero-ended or whole); the first is used like a texture block's name
//   other ids end the reading; what was read so far is kept
//
// U and V are fixed point: 16711680 (255 * 65536) is 1.0.
//
// Damaged files are refused or contained rather than trusted: a count (V, N, F, n) that the
// rest of the file cannot hold raises the short-read error before anything is allocated, a frame
// count below 1 is read as 1, a face of more than 4 references keeps the first 4 (and consumes
// them all), and faces whose references leave Vertices stay in the data but are never drawn.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TGameFile;

struct TBINVertex {
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Z = 0;
};

// A vertex normal record, kept as read and never drawn.
struct TBINNormal {
    int32_t Words[3] = {};
};

struct TBINFace {
    int32_t BlockId = 0;
    int32_t VertexCount = 0; // n as read; only the first 4 references are kept
    int32_t HeadWords[4] = {};
    std::string TextureName; // the current texture when the face was read
    uint8_t Color[4] = {};   // the current colour when the face was read; not used in drawing
    int32_t Indices[4] = {};
    int32_t U[4] = {};
    int32_t V[4] = {};
};

struct TBINData {
    std::vector<TBINVertex> Vertices;
    std::vector<TBINNormal> Normals;
    std::vector<TBINFace> Faces;
    bool IsAnimationControl = false;
    std::string FirstModelName;
};

// Called with each texture name (without the "ART\" prefix) as its block is read.
using TBINTextureRequest = std::function<void(const std::string& name)>;

// file is positioned at the model's first byte and stays open. A read past the end of the file
// raises EInOutError "Versuch hinter dem Dateiende zu lesen".
TBINData ParseBINModel(TGameFile& file, const TBINTextureRequest& textureRequest);

// Faces of blocks 0x11 and 0x33 are drawn blended; the others are opaque.
bool IsBlendedFace(const TBINFace& face);

// A face is drawn when it is a triangle or a quad whose references all lie inside vertices.
bool IsDrawableFace(const TBINFace& face, const std::vector<TBINVertex>& vertices);

// Integer extents; all 0 for a model without vertices.
struct TBINExtents {
    int32_t MinX = 0;
    int32_t MaxX = 0;
    int32_t MinY = 0;
    int32_t MaxY = 0;
    int32_t MinZ = 0;
    int32_t MaxZ = 0;
};
TBINExtents MeasureExtents(const std::vector<TBINVertex>& vertices);

constexpr double kBINTexelScale = 16711680.0;
// 131072 model units are one world unit.
constexpr double kBINUnitsPerWorldUnit = 131072.0;
