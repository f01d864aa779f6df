// The in-memory PNG encoder that both the screenshot writer and the glTF export use.
#include "core/formats/GLBMP.h"

#include <gtest/gtest.h>
#include <png.h>

#include <vector>

namespace {

// Two rows of two RGBA pixels: red, green over blue, half-transparent white.
const std::vector<uint8_t> kTwoByTwo = {255, 0, 0,   255, 0,   255, 0,   255,
                                        0,   0, 255, 255, 255, 255, 255, 128};

std::vector<uint8_t> Decode(const std::vector<uint8_t>& png, png_uint_32& width,
                            png_uint_32& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    EXPECT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size()));
    image.format = PNG_FORMAT_RGBA;
    width = image.width;
    height = image.height;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    EXPECT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
    return pixels;
}

TEST(EncodePNG, TopFirstRowsComeBackAsTheyWentInAlphaIncluded) {
    const std::vector<uint8_t> png = EncodePNG(kTwoByTwo.data(), 2, 2, true);
    ASSERT_GT(png.size(), 8u);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    EXPECT_EQ(Decode(png, width, height), kTwoByTwo);
    EXPECT_EQ(width, 2u);
    EXPECT_EQ(height, 2u);
}

TEST(EncodePNG, BottomFirstRowsAreTurnedSoThePictureStandsUpright) {
    const std::vector<uint8_t> png = EncodePNG(kTwoByTwo.data(), 2, 2, false);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    const std::vector<uint8_t> pixels = Decode(png, width, height);
    const std::vector<uint8_t> turned(kTwoByTwo.begin() + 8, kTwoByTwo.end());
    EXPECT_EQ(std::vector<uint8_t>(pixels.begin(), pixels.begin() + 8), turned);
}

TEST(EncodePNG, AnEmptyPictureGivesNoFile) {
    EXPECT_TRUE(EncodePNG(kTwoByTwo.data(), 0, 2, true).empty());
    EXPECT_TRUE(EncodePNG(kTwoByTwo.data(), 2, -1, true).empty());
}

} // namespace
