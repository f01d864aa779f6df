// The pictures the tool writes, read back for pixel checks.
#pragma once

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

struct TPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Rgba; // top row first

    const uint8_t* At(int right, int up) const {
        const int row = Height - 1 - up;
        return Rgba.data() + (static_cast<size_t>(row) * static_cast<size_t>(Width) +
                              static_cast<size_t>(right)) *
                                 4;
    }
};

inline TPicture ReadPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    TPicture picture;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << "not a PNG: " << path;
        return picture;
    }
    image.format = PNG_FORMAT_RGBA;
    picture.Width = static_cast<int>(image.width);
    picture.Height = static_cast<int>(image.height);
    picture.Rgba.resize(PNG_IMAGE_SIZE(image));
    EXPECT_TRUE(png_image_finish_read(&image, nullptr, picture.Rgba.data(), 0, nullptr));
    return picture;
}
