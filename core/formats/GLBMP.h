// TGLBMP: holds one picture of the 3D view and writes it as a Windows bitmap, Targa, PNG or JPEG
// file. The picture comes from the screen grab (render/ScreenGrab.h); the writers need no GL.
//
// Pixels: Width x Height x 4 bytes, rows from the bottom of the view to the top (as glReadPixels
// gives them), red-green-blue-alpha while IsRGBOrder, blue-green-red-alpha otherwise.
//
// Files written (little-endian, 32-bit pixels):
//   .bmp  0  2  "BM"                        .tga  0   1  0 (no image id)
//         2  4  file size W*H*4 + 54              1   1  0 (no colour map)
//         6  4  0                                 2   1  2 (uncompressed true colour)
//        10  4  54 (pixel offset)                 3   9  0
//        14  4  40 (info header size)            12   2  W
//        18  4  W      22  4  H (bottom-up)      14   2  H
//        26  2  1      28  2  32 bits            16   1  32 bits
//        30  4  0      34  4  W*H*4              17   1  0
//        38 16  0                                18      pixels B,G,R,A bottom row first
//        54     pixels B,G,R,A bottom row first
//   .png  8-bit RGBA (colour type 6), not interlaced, top row first
//   .jpg  baseline RGB at JPEGQuality, top row first, alpha dropped
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A whole PNG file (8-bit RGBA, not interlaced) of width x height pixels of 4 bytes, red first;
// the rows of rgba run from the top of the picture when topRowFirst, else from the bottom.
// Empty when libpng refuses.
std::vector<uint8_t> EncodePNG(const uint8_t* rgba, int32_t width, int32_t height,
                               bool topRowFirst);

// True when the extension of fileName names one of the writers (.bmp .jpg .png .tga, any case).
bool IsImageFileName(const std::string& fileName);

class TGLBMP {
public:
    TGLBMP();

    // Limits the quality to 1..100.
    void SetJPEGQuality(int quality);

    // Chooses the writer by the extension (.bmp .jpg .png .tga, any case); false for others.
    bool SaveImage(const std::string& fileName);

    // Each writes nothing and returns false while Pixels does not hold a Width x Height image.
    // SaveBMP and SaveTGA raise EInOutError when the file cannot be created or written.
    bool SaveBMP(const std::string& fileName);
    bool SaveTGA(const std::string& fileName);
    // PNG and JPEG report every failure, including an unwritable file, by returning false.
    bool SavePNG(const std::string& fileName);
    bool SaveJPG(const std::string& fileName);

    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Pixels;
    int32_t JPEGQuality = 75;
    bool PNGAvailable = false;
    bool IsRGBOrder = true;

private:
    bool HasImage() const;
    bool WriteRawImage(const std::string& fileName, const std::string& header);
};
