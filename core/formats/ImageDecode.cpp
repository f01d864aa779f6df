#include "core/formats/ImageDecode.h"

#include "core/vfs/GameFile.h"

#include <cmath>
#include <utility>

namespace {

constexpr size_t kBmpHeaderBytes = 54;
constexpr size_t kTgaHeaderBytes = 18;

int32_t Int32At(const uint8_t* bytes) {
    return static_cast<int32_t>(
        static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
        (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24));
}

uint32_t UInt32At(const uint8_t* bytes) {
    return static_cast<uint32_t>(Int32At(bytes));
}

uint16_t UInt16At(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

TDecodedImage Refused(std::string text, std::string caption) {
    TDecodedImage image;
    image.ErrorText = std::move(text);
    image.ErrorCaption = std::move(caption);
    return image;
}

TDecodedImage Accepted(int width, int height, int channels, std::vector<uint8_t> pixels) {
    TDecodedImage image;
    image.Ok = true;
    image.Width = width;
    image.Height = height;
    image.Channels = channels;
    image.Pixels = std::move(pixels);
    return image;
}

void SwapRedBlue(std::vector<uint8_t>& pixels, size_t pixelBytes) {
    for (size_t i = 0; i + pixelBytes <= pixels.size(); i += pixelBytes) {
        std::swap(pixels[i], pixels[i + 2]);
    }
}

} // namespace

TDecodedImage DecodeBMP(TGameFile& file) {
    constexpr const char* kCaption = "BMP Unit";
    constexpr const char* kDataError = "Error reading bitmap data";
    uint8_t header[kBmpHeaderBytes];
    file.Read(header, sizeof header);
    const int32_t width = Int32At(header + 18);
    const int32_t height = Int32At(header + 22);
    const uint16_t bitsPerPixel = UInt16At(header + 28);
    const uint32_t imageSize = UInt32At(header + 34);
    const uint32_t skipBytes = UInt32At(header + 46);

    if (static_cast<int64_t>(skipBytes) > file.Remaining()) {
        return Refused("Error reading palette", kCaption);
    }
    file.Skip(skipBytes);

    if (width < 0 || height < 0 || width > kMaxImageSide || height > kMaxImageSide) {
        return Refused(kDataError, kCaption);
    }
    const auto w = static_cast<int64_t>(width);
    const auto h = static_cast<int64_t>(height);
    const int64_t dataSize = imageSize != 0 ? imageSize : w * h * bitsPerPixel / 8;
    const int64_t tightRow = w * 3;
    const int64_t paddedRow = (tightRow + 3) / 4 * 4;
    if (dataSize > file.Remaining() || dataSize < tightRow * h) {
        return Refused(kDataError, kCaption);
    }
    // Rows carry their padding only when the data is long enough to hold it; either way the
    // padding is dropped here, so every row swaps exactly its own pixels.
    const int64_t sourceRow = dataSize >= paddedRow * h ? paddedRow : tightRow;
    std::vector<uint8_t> pixels(static_cast<size_t>(tightRow * h));
    std::vector<uint8_t> row(static_cast<size_t>(sourceRow));
    for (int64_t y = 0; y < h; ++y) {
        file.Read(row.data(), row.size());
        std::copy(row.begin(), row.begin() + tightRow, pixels.begin() + y * tightRow);
    }
    SwapRedBlue(pixels, 3);
    return Accepted(width, height, 3, std::move(pixels));
}

TDecodedImage DecodeTGA(TGameFile& file, const std::string& path) {
    constexpr const char* kCaption = "TGA File Error";
    uint8_t header[kTgaHeaderBytes];
    file.Read(header, sizeof header);
    const uint8_t colorMapType = header[1];
    const uint8_t imageType = header[2];
    const uint16_t width = UInt16At(header + 12);
    const uint16_t height = UInt16At(header + 14);
    const uint8_t bitsPerPixel = header[16];

    const std::string quoted = "Couldn't load \"" + path;
    if (imageType != 2) {
        return Refused(quoted + "\". Compressed TGA files not supported.", kCaption);
    }
    if (colorMapType != 0) {
        return Refused(quoted + "\". Colormapped TGA files not supported.", kCaption);
    }
    // Depths between and beyond the two supported ones would be taken as 4-byte pixels that
    // the data does not hold.
    if (bitsPerPixel != 24 && bitsPerPixel != 32) {
        return Refused(quoted + "\". Only 24 bit TGA files supported.", kCaption);
    }
    const int channels = bitsPerPixel / 8;
    const int64_t dataSize = static_cast<int64_t>(width) * height * channels;
    if (dataSize > file.Remaining() || width > kMaxImageSide || height > kMaxImageSide) {
        return Refused("Couldn't read file \"" + path + "\".", kCaption);
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(dataSize));
    file.Read(pixels.data(), pixels.size());
    SwapRedBlue(pixels, static_cast<size_t>(channels));
    return Accepted(width, height, channels, std::move(pixels));
}

int RawSide(int64_t size) {
    if (size <= 0) {
        return 0;
    }
    return static_cast<int>(std::lround(std::sqrt(static_cast<double>(size))));
}

TDecodedImage DecodeRAW(TGameFile& file, int64_t size, const TPalette& palette,
                        const std::string& name) {
    TRawIndices raw;
    if (std::optional<TDecodedImage> refused = ReadRAWIndices(file, size, name, raw)) {
        return std::move(*refused);
    }
    return ColourRAW(raw, palette);
}

std::optional<TDecodedImage> ReadRAWIndices(TGameFile& file, int64_t size, const std::string& name,
                                            TRawIndices& raw) {
    const int side = RawSide(size);
    const int64_t count = static_cast<int64_t>(side) * side;
    if (side > kMaxImageSide || count > file.Remaining()) {
        return Refused("Couldn't read file \"" + name + "\".", "RAW File Error");
    }
    raw.Side = side;
    raw.Indices.resize(static_cast<size_t>(count));
    file.Read(raw.Indices.data(), raw.Indices.size());
    return std::nullopt;
}

TDecodedImage ColourRAW(const TRawIndices& raw, const TPalette& palette) {
    std::vector<uint8_t> pixels(raw.Indices.size() * 4);
    for (size_t i = 0; i < raw.Indices.size(); ++i) {
        const size_t entry = 4 * static_cast<size_t>(raw.Indices[i]);
        std::copy(palette.begin() + entry, palette.begin() + entry + 4, pixels.begin() + 4 * i);
    }
    return Accepted(raw.Side, raw.Side, 4, std::move(pixels));
}

TPalette LooseRawPalette(const std::vector<uint8_t>& actBytes) {
    TPalette palette{};
    for (size_t i = 0; i < 256; ++i) {
        for (size_t c = 0; c < 3; ++c) {
            const size_t at = 3 * i + c;
            palette[4 * i + c] =
                at < actBytes.size() && at < kActBytes ? actBytes[at] : static_cast<uint8_t>(i);
        }
        palette[4 * i + 3] = 255;
    }
    return palette;
}
