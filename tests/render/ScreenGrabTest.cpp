#include "render/ScreenGrab.h"
#include "core/base/Errors.h"
#include "core/formats/GLBMP.h"
#include "render/GLContext.h"
#include "tools/PodWriter.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <jpeglib.h>
#include <png.h>

namespace {

uint8_t Byte(const std::string& s, size_t i) {
    return static_cast<uint8_t>(s[i]);
}
uint32_t U16(const std::string& s, size_t i) {
    return Byte(s, i) | Byte(s, i + 1) << 8;
}
uint32_t U32(const std::string& s, size_t i) {
    return U16(s, i) | U16(s, i + 2) << 16;
}

// Clears the lower half of the view to red and the upper half to blue.
void DrawRedBelowBlue(int width, int height) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, width, height / 2);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(0, height / 2, width, height - height / 2);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

// A holder with a small RGBA image: red rises along x, green along y (bottom-up rows), blue
// fixed, alpha varying, so that every row and every channel can be told apart.
TGLBMP Gradient(int width, int height) {
    TGLBMP image;
    image.Width = width;
    image.Height = height;
    image.Pixels.resize(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &image.Pixels[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = static_cast<uint8_t>(x * 255 / std::max(1, width - 1));
            p[1] = static_cast<uint8_t>(y * 255 / std::max(1, height - 1));
            p[2] = 96;
            p[3] = static_cast<uint8_t>(255 - (x + y) % 128);
        }
    }
    return image;
}

struct TReadImage {
    int Width = 0;
    int Height = 0;
    int Channels = 0;
    std::vector<uint8_t> Pixels; // top row first
};

TReadImage ReadPng(const std::string& path) {
    TReadImage result;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return result;
    }
    EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, PNG_FORMAT_FLAG_ALPHA);
    EXPECT_EQ(image.format & PNG_FORMAT_FLAG_COLOR, PNG_FORMAT_FLAG_COLOR);
    image.format = PNG_FORMAT_RGBA;
    result.Pixels.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, result.Pixels.data(), 0, nullptr) == 0) {
        result.Pixels.clear();
        return result;
    }
    result.Width = static_cast<int>(image.width);
    result.Height = static_cast<int>(image.height);
    result.Channels = 4;
    return result;
}

struct TJpegReadError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
};

[[noreturn]] void JpegReadFailed(j_common_ptr info) {
    std::longjmp(reinterpret_cast<TJpegReadError*>(info->err)->Jump, 1);
}

bool DecodeJpeg(std::FILE* file, jpeg_decompress_struct& info, TJpegReadError& error,
                TReadImage& result) {
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JpegReadFailed;
    if (setjmp(error.Jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    result.Width = static_cast<int>(info.output_width);
    result.Height = static_cast<int>(info.output_height);
    result.Channels = info.output_components;
    result.Pixels.resize(static_cast<size_t>(result.Width) * result.Height * result.Channels);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = result.Pixels.data() +
                       static_cast<size_t>(info.output_scanline) * result.Width * result.Channels;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

TReadImage ReadJpeg(const std::string& path) {
    TReadImage result;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return result;
    }
    jpeg_decompress_struct info{};
    TJpegReadError error{};
    if (!DecodeJpeg(file, info, error, result)) {
        result = {};
    }
    std::fclose(file);
    return result;
}

class GLBMPView : public ::testing::Test {
protected:
    static void SetUpTestSuite() { context_ = new THeadlessGLContext(640, 480); }
    static void TearDownTestSuite() { delete context_; }
    void SetUp() override {
        context_->Resize(640, 480);
        glViewport(0, 0, 640, 480);
    }
    static THeadlessGLContext* context_;
};

THeadlessGLContext* GLBMPView::context_ = nullptr;

TEST_F(GLBMPView, A640By480BitmapHasTheExactHeaderAndSize) {
    TTempDir dir;
    DrawRedBelowBlue(640, 480);
    TGLBMP image;
    ASSERT_TRUE(SaveScreenshot(image, dir.Path() + "shot.bmp"));
    EXPECT_EQ(image.Width, 640);
    EXPECT_EQ(image.Height, 480);
    const std::string bmp = ReadFileBytes(dir.Path() + "shot.bmp");
    ASSERT_EQ(bmp.size(), 1228854u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(U32(bmp, 2), 1228854u);
    EXPECT_EQ(U32(bmp, 6), 0u);
    EXPECT_EQ(U32(bmp, 10), 54u);
    EXPECT_EQ(U32(bmp, 14), 40u);
    EXPECT_EQ(U32(bmp, 18), 640u);
    EXPECT_EQ(U32(bmp, 22), 480u);
    EXPECT_EQ(U16(bmp, 26), 1u);
    EXPECT_EQ(U16(bmp, 28), 32u);
    EXPECT_EQ(U32(bmp, 30), 0u);
    EXPECT_EQ(U32(bmp, 34), 640u * 480u * 4u);
    for (size_t i = 38; i < 54; ++i) {
        EXPECT_EQ(Byte(bmp, i), 0) << i;
    }
}

TEST_F(GLBMPView, BitmapAndTargaStartWithTheBottomRowInBlueGreenRedOrder) {
    TTempDir dir;
    DrawRedBelowBlue(640, 480);
    TGLBMP image;
    GrabScreen(image);
    ASSERT_TRUE(image.SaveBMP(dir.Path() + "a.bmp"));
    ASSERT_TRUE(image.SaveTGA(dir.Path() + "a.tga"));

    const std::string bmp = ReadFileBytes(dir.Path() + "a.bmp");
    EXPECT_EQ(Byte(bmp, 54), 0);       // blue
    EXPECT_EQ(Byte(bmp, 54 + 2), 255); // red: the first row is the bottom of the view
    const size_t lastRow = 54 + 479u * 640u * 4u;
    EXPECT_EQ(Byte(bmp, lastRow), 255);
    EXPECT_EQ(Byte(bmp, lastRow + 2), 0);

    const std::string tga = ReadFileBytes(dir.Path() + "a.tga");
    ASSERT_EQ(tga.size(), 18u + 640u * 480u * 4u);
    EXPECT_EQ(Byte(tga, 0), 0);
    EXPECT_EQ(Byte(tga, 1), 0);
    EXPECT_EQ(Byte(tga, 2), 2);
    for (size_t i = 3; i < 12; ++i) {
        EXPECT_EQ(Byte(tga, i), 0) << i;
    }
    EXPECT_EQ(U16(tga, 12), 640u);
    EXPECT_EQ(U16(tga, 14), 480u);
    EXPECT_EQ(Byte(tga, 16), 32);
    EXPECT_EQ(Byte(tga, 17), 0);
    EXPECT_EQ(Byte(tga, 18), 0);
    EXPECT_EQ(Byte(tga, 18 + 2), 255);
    EXPECT_EQ(Byte(tga, 18 + 3), 255); // alpha kept

    // The writers leave the holder's pixels as they were.
    EXPECT_TRUE(image.IsRGBOrder);
    EXPECT_EQ(image.Pixels[0], 255);
    EXPECT_EQ(image.Pixels[2], 0);
}

TEST_F(GLBMPView, GrabScreenReadsTheViewportFromTheWindowOrigin) {
    DrawRedBelowBlue(640, 480);
    glViewport(320, 200, 100, 50);
    TGLBMP image;
    GrabScreen(image);
    EXPECT_EQ(image.Width, 100);
    EXPECT_EQ(image.Height, 50);
    ASSERT_EQ(image.Pixels.size(), 100u * 50u * 4u);
    // From (0, 0), not from the viewport's corner, so all of it lies in the red lower half.
    EXPECT_EQ(image.Pixels[0], 255);
    EXPECT_EQ(image.Pixels[image.Pixels.size() - 4], 255);
    EXPECT_EQ(image.Pixels[image.Pixels.size() - 2], 0);
}

TEST_F(GLBMPView, ScreenshotWithoutANameOnlyGrabs) {
    TTempDir dir;
    DrawRedBelowBlue(640, 480);
    TGLBMP image;
    EXPECT_TRUE(SaveScreenshot(image, ""));
    EXPECT_EQ(image.Width, 640);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST_F(GLBMPView, PngStartsWithTheTopRowOfTheView) {
    TTempDir dir;
    DrawRedBelowBlue(640, 480);
    TGLBMP image;
    ASSERT_TRUE(SaveScreenshot(image, dir.Path() + "a.png"));
    const TReadImage png = ReadPng(dir.Path() + "a.png");
    ASSERT_EQ(png.Width, 640);
    ASSERT_EQ(png.Height, 480);
    EXPECT_EQ(png.Pixels[0], 0);
    EXPECT_EQ(png.Pixels[2], 255); // blue: the top of the view
    EXPECT_EQ(png.Pixels[png.Pixels.size() - 4], 255);
}

TEST_F(GLBMPView, AScreenshotOfABlackFrameIsOpaqueInEveryFormatThatKeepsAlpha) {
    TTempDir dir;
    // The frame drawing clears to black with alpha 0, and the buffer keeps that alpha.
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    uint8_t cleared[4] = {1, 1, 1, 1};
    glReadPixels(7, 7, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, cleared);
    ASSERT_EQ(cleared[3], 0);

    TGLBMP image;
    ASSERT_TRUE(SaveScreenshot(image, dir.Path() + "black.bmp"));
    ASSERT_TRUE(SaveScreenshot(image, dir.Path() + "black.tga"));
    ASSERT_TRUE(SaveScreenshot(image, dir.Path() + "black.png"));
    const size_t pixelCount = 640u * 480u;

    for (const auto& [name, headerSize] : {std::pair{"black.bmp", 54u}, {"black.tga", 18u}}) {
        const std::string bytes = ReadFileBytes(dir.Path() + name);
        ASSERT_EQ(bytes.size(), headerSize + pixelCount * 4) << name;
        for (size_t at = headerSize; at < bytes.size(); at += 4) {
            ASSERT_EQ(Byte(bytes, at), 0) << name << " at " << at;
            ASSERT_EQ(Byte(bytes, at + 1), 0) << name << " at " << at;
            ASSERT_EQ(Byte(bytes, at + 2), 0) << name << " at " << at;
            ASSERT_EQ(Byte(bytes, at + 3), 255) << name << " at " << at;
        }
    }

    const std::string png = ReadFileBytes(dir.Path() + "black.png");
    EXPECT_EQ(Byte(png, 16 + 8), 8); // IHDR: bit depth, then colour type 6 (RGBA)
    EXPECT_EQ(Byte(png, 16 + 9), 6);
    const TReadImage decoded = ReadPng(dir.Path() + "black.png");
    ASSERT_EQ(decoded.Pixels.size(), pixelCount * 4);
    for (size_t at = 0; at < decoded.Pixels.size(); at += 4) {
        ASSERT_EQ(decoded.Pixels[at], 0) << at;
        ASSERT_EQ(decoded.Pixels[at + 3], 255) << at;
    }
}

TEST(GLBMP, PngReadsBackToTheSamePixels) {
    TTempDir dir;
    TGLBMP image = Gradient(37, 23);
    ASSERT_TRUE(image.PNGAvailable);
    ASSERT_TRUE(image.SavePNG(dir.Path() + "g.png"));
    const TReadImage png = ReadPng(dir.Path() + "g.png");
    ASSERT_EQ(png.Width, 37);
    ASSERT_EQ(png.Height, 23);
    for (int y = 0; y < 23; ++y) {
        for (int x = 0; x < 37; ++x) {
            for (int k = 0; k < 4; ++k) {
                ASSERT_EQ(png.Pixels[(static_cast<size_t>(y) * 37 + x) * 4 + k],
                          image.Pixels[(static_cast<size_t>(22 - y) * 37 + x) * 4 + k])
                    << x << "," << y << "," << k;
            }
        }
    }
}

TEST(GLBMP, JpegReadsBackCloseToThePixelsTopRowFirst) {
    TTempDir dir;
    TGLBMP image = Gradient(64, 48);
    image.SetJPEGQuality(95);
    ASSERT_TRUE(image.SaveJPG(dir.Path() + "g.jpg"));
    const TReadImage jpg = ReadJpeg(dir.Path() + "g.jpg");
    ASSERT_EQ(jpg.Width, 64);
    ASSERT_EQ(jpg.Height, 48);
    ASSERT_EQ(jpg.Channels, 3);
    int worst = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            for (int k = 0; k < 3; ++k) {
                const int got = jpg.Pixels[(static_cast<size_t>(y) * 64 + x) * 3 + k];
                const int want = image.Pixels[(static_cast<size_t>(47 - y) * 64 + x) * 4 + k];
                worst = std::max(worst, std::abs(got - want));
            }
        }
    }
    EXPECT_LE(worst, 12);
}

TEST(GLBMP, JpegQualityIsLimitedToOneToHundredAndTakesEffect) {
    TGLBMP image;
    EXPECT_EQ(image.JPEGQuality, 75);
    image.SetJPEGQuality(0);
    EXPECT_EQ(image.JPEGQuality, 1);
    image.SetJPEGQuality(250);
    EXPECT_EQ(image.JPEGQuality, 100);
    image.SetJPEGQuality(-7);
    EXPECT_EQ(image.JPEGQuality, 1);
    image.SetJPEGQuality(42);
    EXPECT_EQ(image.JPEGQuality, 42);

    TTempDir dir;
    TGLBMP noisy = Gradient(96, 96);
    for (size_t i = 0; i < noisy.Pixels.size(); ++i) {
        noisy.Pixels[i] = static_cast<uint8_t>((i * 2654435761u) >> 24);
    }
    noisy.SetJPEGQuality(5);
    ASSERT_TRUE(noisy.SaveJPG(dir.Path() + "low.jpg"));
    noisy.SetJPEGQuality(100);
    ASSERT_TRUE(noisy.SaveJPG(dir.Path() + "high.jpg"));
    EXPECT_LT(std::filesystem::file_size(dir.Path() + "low.jpg") * 2,
              std::filesystem::file_size(dir.Path() + "high.jpg"));
}

TEST(GLBMP, ExtensionPicksTheWriterIgnoringCase) {
    TTempDir dir;
    TGLBMP image = Gradient(8, 4);
    ASSERT_TRUE(image.SaveImage(dir.Path() + "a.BMP"));
    ASSERT_TRUE(image.SaveImage(dir.Path() + "a.Tga"));
    ASSERT_TRUE(image.SaveImage(dir.Path() + "a.PNG"));
    ASSERT_TRUE(image.SaveImage(dir.Path() + "a.jpg"));
    EXPECT_EQ(ReadFileBytes(dir.Path() + "a.BMP").substr(0, 2), "BM");
    EXPECT_EQ(Byte(ReadFileBytes(dir.Path() + "a.Tga"), 2), 2);
    EXPECT_EQ(ReadFileBytes(dir.Path() + "a.PNG").substr(1, 3), "PNG");
    const std::string jpg = ReadFileBytes(dir.Path() + "a.jpg");
    EXPECT_EQ(Byte(jpg, 0), 0xFF);
    EXPECT_EQ(Byte(jpg, 1), 0xD8);
}

TEST(GLBMP, UnknownExtensionsWriteNothing) {
    TTempDir dir;
    TGLBMP image = Gradient(8, 4);
    for (const char* name : {"a.gif", "a.jpeg", "a", "a.bmp.txt", "folder.png/shot"}) {
        EXPECT_FALSE(image.SaveImage(dir.Path() + name)) << name;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(GLBMP, UnwritablePathsRaiseForBitmapAndTargaButFailQuietlyForPngAndJpeg) {
    TTempDir dir;
    TGLBMP image = Gradient(8, 4);
    const std::string missing = dir.Path() + "no/such/folder/";
    for (const std::string name : {"a.bmp", "a.tga"}) {
        try {
            image.SaveImage(missing + name);
            ADD_FAILURE() << name << " raised nothing";
        } catch (const EInOutError& e) {
            EXPECT_NE(std::string(e.what()).find(missing + name), std::string::npos) << e.what();
        }
    }
    EXPECT_FALSE(image.SavePNG(missing + "a.png"));
    EXPECT_FALSE(image.SaveJPG(missing + "a.jpg"));
    EXPECT_TRUE(image.IsRGBOrder);
    EXPECT_EQ(image.Pixels, Gradient(8, 4).Pixels);
}

TEST(GLBMP, WritersRefuseAnEmptyOrInconsistentImage) {
    TTempDir dir;
    TGLBMP empty;
    EXPECT_FALSE(empty.SaveBMP(dir.Path() + "e.bmp"));
    EXPECT_FALSE(empty.SaveTGA(dir.Path() + "e.tga"));
    EXPECT_FALSE(empty.SavePNG(dir.Path() + "e.png"));
    EXPECT_FALSE(empty.SaveJPG(dir.Path() + "e.jpg"));
    TGLBMP cut = Gradient(8, 4);
    cut.Pixels.resize(cut.Pixels.size() - 4);
    EXPECT_FALSE(cut.SaveBMP(dir.Path() + "c.bmp"));
    EXPECT_FALSE(cut.SavePNG(dir.Path() + "c.png"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(GLBMP, BlueGreenRedPixelsAreWrittenRightAndLeftAsTheyWere) {
    TTempDir dir;
    TGLBMP rgb = Gradient(5, 3);
    TGLBMP bgr = Gradient(5, 3);
    for (size_t i = 0; i < bgr.Pixels.size(); i += 4) {
        std::swap(bgr.Pixels[i], bgr.Pixels[i + 2]);
    }
    bgr.IsRGBOrder = false;
    const std::vector<uint8_t> before = bgr.Pixels;
    for (const char* ext : {".bmp", ".tga", ".png"}) {
        ASSERT_TRUE(rgb.SaveImage(dir.Path() + "rgb" + ext));
        ASSERT_TRUE(bgr.SaveImage(dir.Path() + "bgr" + ext));
        EXPECT_EQ(ReadFileBytes(dir.Path() + "rgb" + ext), ReadFileBytes(dir.Path() + "bgr" + ext))
            << ext;
        EXPECT_FALSE(bgr.IsRGBOrder);
        EXPECT_EQ(bgr.Pixels, before);
    }
    ASSERT_TRUE(rgb.SaveJPG(dir.Path() + "rgb.jpg"));
    ASSERT_TRUE(bgr.SaveJPG(dir.Path() + "bgr.jpg"));
    EXPECT_EQ(ReadFileBytes(dir.Path() + "rgb.jpg"), ReadFileBytes(dir.Path() + "bgr.jpg"));
}

} // namespace
