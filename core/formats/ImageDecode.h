// Image decoders of the texture loaders: bytes of an open file in, a plain image out. They make
// no GL calls; the loaders (render/Textures.h) upload what they return and show a refusal's
// text and caption in a message box.
//
// Every image comes out with tightly packed rows (no padding), the first row of the file first;
// nothing is flipped. Pixels are red, green, blue (3 channels) or red, green, blue, alpha (4).
//
// BMP, little-endian, only 24-bit data is meant:
//   0   14 bytes  file header, ignored (signature, size and data offset are not used)
//   14  int32     header size, ignored
//   18  int32     width (signed)
//   22  int32     height (signed); negative (top-down) images are refused
//   26  uint16    planes, ignored
//   28  uint16    bits per pixel, only used when the image size is 0
//   30  uint32    compression, ignored
//   34  uint32    image size in bytes; 0 means width * height * bits / 8
//   38  8 bytes   resolution, ignored
//   46  uint32    colours used: the number of BYTES skipped after the header
//   50  uint32    important colours, ignored
//   54  ...       skipped bytes, then the pixel data: blue, green, red, bottom row first, rows
//                 padded to 4 bytes when the data holds the padding
//
// TGA:
//   0   uint8     ID length, ignored: an ID field is taken as pixel data
//   1   uint8     colour-map type, must be 0
//   2   uint8     image type, must be 2 (uncompressed true colour)
//   3   9 bytes   colour-map layout and image origin, ignored
//   12  uint16    width
//   14  uint16    height
//   16  uint8     bits per pixel, 24 or 32
//   17  uint8     image descriptor, ignored (the origin bit is not honoured)
//   18  ...       width * height pixels of blue, green, red (and alpha)
//
// RAW: no header; side = round(sqrt(size)); side * side palette indices, first row first; bytes
// beyond side * side are not read.
#pragma once

#include "core/formats/PalettePool.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TGameFile;

struct TDecodedImage {
    bool Ok = false;
    int Width = 0;
    int Height = 0;
    int Channels = 0; // 3 or 4
    std::vector<uint8_t> Pixels;
    // Set when Ok is false: what the loader shows, and the message box caption.
    std::string ErrorText;
    std::string ErrorCaption;
};

// The largest side GL implementations commonly take, which also bounds what one picture can make
// a load allocate (8192 x 8192 x 4 bytes); a larger picture is refused as a damaged file.
constexpr int kMaxImageSide = 8192;

// file is positioned at the start of the BMP. A file shorter than its 54-byte header raises
// EInOutError.
TDecodedImage DecodeBMP(TGameFile& file);
// file is positioned at the start of the TGA. A file shorter than its 18-byte header raises
// EInOutError; path is only used in messages.
TDecodedImage DecodeTGA(TGameFile& file, const std::string& path);
// file is positioned at the first index byte and size is the RAW's size; each index becomes its
// palette entry. name is only used in messages.
TDecodedImage DecodeRAW(TGameFile& file, int64_t size, const TPalette& palette,
                        const std::string& name);

// The two halves of DecodeRAW, so that the colouring can run away from the file reading: the
// indices of a side x side image, and then their palette entries.
struct TRawIndices {
    int Side = 0;
    std::vector<uint8_t> Indices;
};
// Reads the indices into raw; returns the refusal DecodeRAW would give (Ok false), or nullopt.
std::optional<TDecodedImage> ReadRAWIndices(TGameFile& file, int64_t size, const std::string& name,
                                            TRawIndices& raw);
// Touches nothing shared: safe on any thread.
TDecodedImage ColourRAW(const TRawIndices& raw, const TPalette& palette);

int RawSide(int64_t size); // round(sqrt(size))

// The palette of a loose RAW file: up to 768 bytes of red, green, blue triplets, every entry
// opaque. Entries the bytes do not reach (all of them for an empty list) keep a grey ramp, so a
// RAW without its ACT file still shows its shapes.
TPalette LooseRawPalette(const std::vector<uint8_t>& actBytes);
