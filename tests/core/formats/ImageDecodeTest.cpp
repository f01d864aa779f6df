#include "core/formats/ImageDecode.h"
#include "core/base/Errors.h"
#include "core/vfs/GameFile.h"
#include "tests/render/TextureTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Opens bytes written to a fresh file; the folder lives as long as the object.
class TFileOf {
public:
    explicit TFileOf(const std::string& bytes, const std::string& name = "image.bin")
        : path_(dir_.WriteFile(name, bytes)) {
        EXPECT_TRUE(file.Open(path_));
    }
    const std::string& Path() const { return path_; }
    TGameFile file;

private:
    TTempDir dir_;
    std::string path_;
};

TPalette NumberedPalette() {
    TPalette palette{};
    for (int i = 0; i < 256; ++i) {
        palette[4 * i] = static_cast<uint8_t>(i);
        palette[4 * i + 1] = static_cast<uint8_t>(i / 2);
        palette[4 * i + 2] = 7;
        palette[4 * i + 3] = static_cast<uint8_t>(255 - i);
    }
    return palette;
}

TEST(DecodeRAW, SideIsTheRoundedSquareRootOfTheSize) {
    EXPECT_EQ(RawSide(4096), 64);
    EXPECT_EQ(RawSide(4100), 64);
    EXPECT_EQ(RawSide(4000), 63);
    EXPECT_EQ(RawSide(0), 0);
    EXPECT_EQ(RawSide(-5), 0);
}

TEST(DecodeRAW, ReadsSideBySideIndicesAndLeavesTheRestUnread) {
    for (const auto& [size, side] : {std::pair{4096, 64}, {4100, 64}, {4000, 63}}) {
        std::string bytes(size, '\0');
        for (int i = 0; i < size; ++i) {
            bytes[i] = static_cast<char>(i % 251);
        }
        TFileOf raw(bytes);
        const TDecodedImage image = DecodeRAW(raw.file, size, NumberedPalette(), "ART\\X.RAW");
        ASSERT_TRUE(image.Ok) << size;
        EXPECT_EQ(image.Width, side);
        EXPECT_EQ(image.Height, side);
        EXPECT_EQ(image.Channels, 4);
        ASSERT_EQ(image.Pixels.size(), static_cast<size_t>(side * side * 4));
        EXPECT_EQ(raw.file.Position(), side * side);
        const int last = side * side - 1;
        EXPECT_EQ(image.Pixels[4 * last], last % 251);
        EXPECT_EQ(image.Pixels[4 * last + 1], (last % 251) / 2);
        EXPECT_EQ(image.Pixels[4 * last + 2], 7);
        EXPECT_EQ(image.Pixels[4 * last + 3], 255 - last % 251);
    }
}

TEST(DecodeRAW, SizeThatRoundsUpPastTheFileIsRefusedWithReadError) {
    TFileOf raw(std::string(4094, '\1'));
    // 4094 rounds to 64, which needs two bytes more than the file holds.
    const TDecodedImage image = DecodeRAW(raw.file, 4094, NumberedPalette(), "ART\\SHORT.RAW");
    EXPECT_FALSE(image.Ok);
    EXPECT_EQ(image.ErrorText, "Couldn't read file \"ART\\SHORT.RAW\".");
    EXPECT_EQ(image.ErrorCaption, "RAW File Error");
    EXPECT_TRUE(image.Pixels.empty());
}

TEST(DecodeRAW, SizeThatRoundsUpReadsOnIntoWhatFollows) {
    // An archive entry of 3 bytes rounds to a 2 x 2 square: the fourth byte is the next entry's.
    TFileOf raw(std::string("\1\2\3\4", 4));
    const TDecodedImage image = DecodeRAW(raw.file, 3, NumberedPalette(), "N");
    ASSERT_TRUE(image.Ok);
    EXPECT_EQ(image.Width, 2);
    EXPECT_EQ(image.Pixels[12], 4);
}

TEST(LooseRawPalette, ActBytesAreOpaqueAndMissingEntriesFormAGreyRamp) {
    std::vector<uint8_t> act = {0, 0, 0, 10, 20, 30, 40};
    const TPalette palette = LooseRawPalette(act);
    EXPECT_EQ((std::array<int, 4>{palette[0], palette[1], palette[2], palette[3]}),
              (std::array<int, 4>{0, 0, 0, 255}));
    EXPECT_EQ((std::array<int, 4>{palette[4], palette[5], palette[6], palette[7]}),
              (std::array<int, 4>{10, 20, 30, 255}));
    // Entry 2 has only its red byte in the file.
    EXPECT_EQ((std::array<int, 4>{palette[8], palette[9], palette[10], palette[11]}),
              (std::array<int, 4>{40, 2, 2, 255}));
    EXPECT_EQ(palette[4 * 200], 200);
    EXPECT_EQ(palette[4 * 200 + 3], 255);

    const TPalette grey = LooseRawPalette({});
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(grey[4 * i], i);
        ASSERT_EQ(grey[4 * i + 1], i);
        ASSERT_EQ(grey[4 * i + 2], i);
        ASSERT_EQ(grey[4 * i + 3], 255);
    }
}

TEST(DecodeTGA, TwentyFourBitPixelsComeOutAsRgb) {
    TByteWriter tga = TgaHeader(0, 0, 2, 3, 1, 24);
    tga.U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).U8(7).U8(8).U8(9);
    TFileOf file(tga.Bytes());
    const TDecodedImage image = DecodeTGA(file.file, "a.tga");
    ASSERT_TRUE(image.Ok);
    EXPECT_EQ(image.Width, 3);
    EXPECT_EQ(image.Height, 1);
    EXPECT_EQ(image.Channels, 3);
    EXPECT_EQ(image.Pixels, (std::vector<uint8_t>{3, 2, 1, 6, 5, 4, 9, 8, 7}));
}

TEST(DecodeTGA, ThirtyTwoBitPixelsKeepTheirAlpha) {
    TByteWriter tga = TgaHeader(0, 0, 2, 2, 1, 32);
    tga.U8(10).U8(20).U8(30).U8(0).U8(40).U8(50).U8(60).U8(128);
    TFileOf file(tga.Bytes());
    const TDecodedImage image = DecodeTGA(file.file, "a.tga");
    ASSERT_TRUE(image.Ok);
    EXPECT_EQ(image.Channels, 4);
    EXPECT_EQ(image.Pixels, (std::vector<uint8_t>{30, 20, 10, 0, 60, 50, 40, 128}));
}

TEST(DecodeTGA, IdFieldIsTakenAsPixelData) {
    TByteWriter tga = TgaHeader(2, 0, 2, 2, 1, 24);
    tga.U8(0xAA).U8(0xBB).U8(1).U8(2).U8(3).U8(4).U8(5).U8(6);
    TFileOf file(tga.Bytes());
    const TDecodedImage image = DecodeTGA(file.file, "id.tga");
    ASSERT_TRUE(image.Ok);
    // The first pixel is the two ID bytes and the first data byte.
    EXPECT_EQ(image.Pixels, (std::vector<uint8_t>{1, 0xBB, 0xAA, 4, 3, 2}));
}

TEST(DecodeTGA, ChecksImageTypeBeforeColourMapAndDepth) {
    struct TCase {
        uint8_t colorMapType;
        uint8_t imageType;
        uint8_t bits;
        const char* ending;
    };
    const TCase cases[] = {
        {1, 1, 8, "\". Compressed TGA files not supported."},
        {0, 10, 24, "\". Compressed TGA files not supported."},
        {1, 9, 24, "\". Compressed TGA files not supported."},
        {1, 2, 24, "\". Colormapped TGA files not supported."},
        {1, 2, 16, "\". Colormapped TGA files not supported."},
        {0, 2, 16, "\". Only 24 bit TGA files supported."},
        {0, 2, 8, "\". Only 24 bit TGA files supported."},
        {0, 2, 28, "\". Only 24 bit TGA files supported."},
    };
    for (const TCase& c : cases) {
        TByteWriter tga = TgaHeader(0, c.colorMapType, c.imageType, 1, 1, c.bits);
        tga.Raw(std::string(8, '\x7f'));
        TFileOf file(tga.Bytes());
        const TDecodedImage image = DecodeTGA(file.file, "dir/t.tga");
        EXPECT_FALSE(image.Ok);
        EXPECT_EQ(image.ErrorText, std::string("Couldn't load \"dir/t.tga") + c.ending)
            << int(c.imageType) << " " << int(c.colorMapType) << " " << int(c.bits);
        EXPECT_EQ(image.ErrorCaption, "TGA File Error");
    }
}

TEST(DecodeTGA, PixelDataShorterThanTheImageIsRefusedBeforeAllocating) {
    // 65535 x 65535 x 4 bytes would be 17 GB.
    for (const auto& [width, height] : {std::pair<uint16_t, uint16_t>{2, 2}, {65535, 65535}}) {
        TByteWriter tga = TgaHeader(0, 0, 2, width, height, 32);
        tga.Raw(std::string(15, '\1'));
        TFileOf file(tga.Bytes());
        const TDecodedImage image = DecodeTGA(file.file, "s.tga");
        EXPECT_FALSE(image.Ok);
        EXPECT_EQ(image.ErrorText, "Couldn't read file \"s.tga\".");
        EXPECT_EQ(image.ErrorCaption, "TGA File Error");
    }
}

TEST(DecodeTGA, FileShorterThanItsHeaderRaisesReadPastEnd) {
    TFileOf file(std::string(17, '\0'));
    try {
        DecodeTGA(file.file, "h.tga");
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), kReadPastEndText);
    }
}

TEST(DecodeImages, SidesPastTheGLLimitAreRefusedEvenWhenTheFileHoldsThem) {
    TTempDir dir;
    // A sparse file holds a picture of 8193 x 8193 indices without taking the disk space.
    const std::string path = dir.WriteFile("BIG.RAW", "");
    const int64_t side = kMaxImageSide + 1;
    std::filesystem::resize_file(path, static_cast<uintmax_t>(side * side));
    TGameFile raw;
    ASSERT_TRUE(raw.Open(path));
    const TDecodedImage big = DecodeRAW(raw, side * side, NumberedPalette(), "ART\\BIG.RAW");
    EXPECT_FALSE(big.Ok);
    EXPECT_EQ(big.ErrorText, "Couldn't read file \"ART\\BIG.RAW\".");
    EXPECT_TRUE(big.Pixels.empty());

    for (const bool atTheLimit : {true, false}) {
        const uint16_t width = atTheLimit ? kMaxImageSide : kMaxImageSide + 1;
        TByteWriter tga = TgaHeader(0, 0, 2, width, 1, 24);
        tga.Raw(std::string(3 * static_cast<size_t>(width), '\1'));
        TFileOf file(tga.Bytes());
        EXPECT_EQ(DecodeTGA(file.file, "wide.tga").Ok, atTheLimit) << width;
    }
}

TEST(DecodeBMP, SwapsRedAndBlueAndKeepsTheBottomRowFirst) {
    TByteWriter bmp = BmpHeader(2, 2, 24, 16, 0);
    // Rows of 6 bytes padded to 8.
    bmp.U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).U8(0xEE).U8(0xEE);
    bmp.U8(7).U8(8).U8(9).U8(10).U8(11).U8(12).U8(0xEE).U8(0xEE);
    TFileOf file(bmp.Bytes());
    const TDecodedImage image = DecodeBMP(file.file);
    ASSERT_TRUE(image.Ok);
    EXPECT_EQ(image.Width, 2);
    EXPECT_EQ(image.Height, 2);
    EXPECT_EQ(image.Channels, 3);
    EXPECT_EQ(image.Pixels, (std::vector<uint8_t>{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}));
}

TEST(DecodeBMP, ImageSizeZeroComesFromWidthHeightAndDepth) {
    TByteWriter bmp = BmpHeader(4, 1, 24, 0, 0);
    for (int i = 0; i < 12; ++i) {
        bmp.U8(static_cast<uint8_t>(i));
    }
    TFileOf file(bmp.Bytes());
    const TDecodedImage image = DecodeBMP(file.file);
    ASSERT_TRUE(image.Ok);
    EXPECT_EQ(image.Pixels, (std::vector<uint8_t>{2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9}));

    // Computed from 4 x 2 x 24 / 8 = 24 bytes, which this file does not hold.
    TByteWriter shortBmp = BmpHeader(4, 2, 24, 0, 0);
    shortBmp.Raw(std::string(23, '\0'));
    TFileOf shortFile(shortBmp.Bytes());
    EXPECT_EQ(DecodeBMP(shortFile.file).ErrorText, "Error reading bitmap data");
}

TEST(DecodeBMP, ColoursUsedCountsBytesSkippedAfterTheHeader) {
    TByteWriter bmp = BmpHeader(1, 1, 24, 3, 5);
    bmp.Raw("\x10\x11\x12\x13\x14").U8(1).U8(2).U8(3);
    TFileOf file(bmp.Bytes());
    const TDecodedImage image = DecodeBMP(file.file);
    ASSERT_TRUE(image.Ok);
    EXPECT_EQ(image.Pixels, (std::vector<uint8_t>{3, 2, 1}));

    TByteWriter cut = BmpHeader(1, 1, 24, 3, 5);
    cut.Raw("\x10\x11\x12");
    TFileOf cutFile(cut.Bytes());
    const TDecodedImage refused = DecodeBMP(cutFile.file);
    EXPECT_FALSE(refused.Ok);
    EXPECT_EQ(refused.ErrorText, "Error reading palette");
    EXPECT_EQ(refused.ErrorCaption, "BMP Unit");
}

TEST(DecodeBMP, UnpaddedDataOfOddWidthIsReadRowAfterRow) {
    // An image size of exactly 3 x 2 x 3 bytes: the rows carry no padding.
    TByteWriter bmp = BmpHeader(3, 2, 24, 18, 0);
    for (int i = 0; i < 18; ++i) {
        bmp.U8(static_cast<uint8_t>(i));
    }
    TFileOf file(bmp.Bytes());
    const TDecodedImage image = DecodeBMP(file.file);
    ASSERT_TRUE(image.Ok);
    ASSERT_EQ(image.Pixels.size(), 18u);
    EXPECT_EQ(image.Pixels[9], 11);
    EXPECT_EQ(image.Pixels[11], 9);
    EXPECT_EQ(image.Pixels[17], 15);
}

TEST(DecodeBMP, PaddedRowsSwapOnlyTheirOwnPixels) {
    // 1 pixel per row, padded to 4 bytes: a straight swap over the data would mix the padding
    // into the second row.
    TByteWriter bmp = BmpHeader(1, 3, 24, 12, 0);
    bmp.U8(1).U8(2).U8(3).U8(0xEE).U8(4).U8(5).U8(6).U8(0xEE).U8(7).U8(8).U8(9).U8(0xEE);
    TFileOf file(bmp.Bytes());
    const TDecodedImage image = DecodeBMP(file.file);
    ASSERT_TRUE(image.Ok);
    EXPECT_EQ(image.Pixels, (std::vector<uint8_t>{3, 2, 1, 6, 5, 4, 9, 8, 7}));
}

TEST(DecodeBMP, ShortNegativeOrAbsurdImagesAreRefusedAsReadErrors) {
    struct TCase {
        int32_t width;
        int32_t height;
        uint32_t imageSize;
        size_t dataBytes;
    };
    const TCase cases[] = {
        {2, 2, 16, 15},                  // the data ends early
        {2, 2, 4, 16},                   // the image size is shorter than the pixels
        {-2, 2, 16, 16},                 // negative width
        {2, -2, 16, 16},                 // top-down
        {100000, 100000, 0, 16},         // absurd, and would not fit in memory
        {65535, 65535, 0xFFFFFFF0u, 16}, // huge claimed image size
    };
    for (const TCase& c : cases) {
        TByteWriter bmp = BmpHeader(c.width, c.height, 24, c.imageSize, 0);
        bmp.Raw(std::string(c.dataBytes, '\5'));
        TFileOf file(bmp.Bytes());
        const TDecodedImage image = DecodeBMP(file.file);
        EXPECT_FALSE(image.Ok) << c.width << "x" << c.height;
        EXPECT_EQ(image.ErrorText, "Error reading bitmap data");
        EXPECT_EQ(image.ErrorCaption, "BMP Unit");
    }
}

TEST(DecodeBMP, FileShorterThanItsHeadersRaisesReadPastEnd) {
    TFileOf file(std::string(53, '\0'));
    EXPECT_THROW(DecodeBMP(file.file), EInOutError);
}

} // namespace
