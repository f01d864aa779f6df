#include "render/Textures.h"
#include "core/base/Errors.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "tests/render/TextureTestSupport.h"
#include "tests/support/GameLoadSupport.h"

#include <gtest/gtest.h>

namespace {

using TPixel = std::array<int, 4>;

class TexturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SharedGLContext();
        finder.SearchFolders = {search.Path()};
    }

    TPodFile WritePod(const TPodWriter& writer) {
        const std::string path = archives.Path() + "track" + std::to_string(++podCount) + ".pod";
        writer.Write(path);
        return TPodFile(path);
    }

    TProgramFolderFixture program;
    TMessageRecorder messages;
    TLogCapture log;
    TTempDir search;
    TTempDir archives;
    TQRXFileFinder finder;
    TStringList warnings;
    TTestLoads loads{finder, warnings};
    int podCount = 0;
};

TEST_F(TexturesTest, UploadModulatesFiltersTrilinearlyAndKeepsTheTextureBound) {
    const uint8_t pixels[4] = {1, 2, 3, 4};
    const int32_t texture = UploadTexture(1, 1, GL_RGBA, pixels);
    ASSERT_GT(texture, 0);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, texture);
    GLint value = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_MODULATE);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR_MIPMAP_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);
    EXPECT_EQ(ReadTexture(texture).At(0, 0), (TPixel{1, 2, 3, 4}));
}

TEST_F(TexturesTest, UploadReadsRgbRowsOfSixBytesWithoutPadding) {
    const uint8_t pixels[12] = {10, 11, 12, 20, 21, 22, 30, 31, 32, 40, 41, 42};
    const int32_t texture = UploadTexture(2, 2, GL_RGB, pixels);
    const TTexturePixels read = ReadTexture(texture);
    ASSERT_EQ(read.Width, 2);
    GLint internal = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internal);
    EXPECT_TRUE(internal == 3 || internal == GL_RGB || internal == GL_RGB8) << internal;
    EXPECT_EQ(read.At(0, 1), (TPixel{30, 31, 32, 255}));
    EXPECT_EQ(read.At(1, 1), (TPixel{40, 41, 42, 255}));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);
}

TEST_F(TexturesTest, ThirtyTwoBitTgaKeepsItsAlpha) {
    TByteWriter tga = TgaHeader(0, 0, 2, 2, 1, 32);
    tga.U8(10).U8(20).U8(30).U8(40).U8(50).U8(60).U8(70).U8(0);
    const std::string path = search.WriteFile("alpha.tga", tga.Bytes());
    int32_t texture = -7;
    ASSERT_TRUE(LoadTGAFile(path, texture));
    const TTexturePixels read = ReadTexture(texture);
    EXPECT_EQ(read.At(0, 0), (TPixel{30, 20, 10, 40}));
    EXPECT_EQ(read.At(1, 0), (TPixel{70, 60, 50, 0}));
    EXPECT_TRUE(messages.Shown.empty());
}

TEST_F(TexturesTest, RefusedTgaShowsItsMessageAndLeavesTheTextureAlone) {
    const std::string sixteen =
        search.WriteFile("16.tga", TgaHeader(0, 0, 2, 1, 1, 16).Raw("ab").Bytes());
    const std::string shortData =
        search.WriteFile("s.tga", TgaHeader(0, 0, 2, 2, 2, 24).Raw("abc").Bytes());
    int32_t texture = -7;
    EXPECT_FALSE(LoadTGAFile(sixteen, texture));
    EXPECT_FALSE(LoadTGAFile(shortData, texture));
    EXPECT_FALSE(LoadTGAFile(search.Path() + "none.tga", texture));
    EXPECT_EQ(texture, -7);
    ASSERT_EQ(messages.Shown.size(), 3u);
    EXPECT_EQ(messages.Shown[0].Text,
              "Couldn't load \"" + sixteen + "\". Only 24 bit TGA files supported.");
    EXPECT_EQ(messages.Shown[0].Caption, "TGA File Error");
    EXPECT_EQ(messages.Shown[1].Text, "Couldn't read file \"" + shortData + "\".");
    EXPECT_EQ(messages.Shown[1].Caption, "TGA File Error");
    EXPECT_EQ(messages.Shown[2].Text, "File not found  - " + search.Path() + "none.tga");
    EXPECT_EQ(messages.Shown[2].Caption, "TGA Texture");
}

TEST_F(TexturesTest, PaddedBmpUploadsWithItsColoursInPlace) {
    TByteWriter bmp = BmpHeader(2, 2, 24, 16, 0);
    bmp.U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).U8(0).U8(0);
    bmp.U8(7).U8(8).U8(9).U8(10).U8(11).U8(12).U8(0).U8(0);
    int32_t texture = -7;
    ASSERT_TRUE(LoadBMPFile(search.WriteFile("p.bmp", bmp.Bytes()), texture));
    const TTexturePixels read = ReadTexture(texture);
    EXPECT_EQ(read.At(0, 0), (TPixel{3, 2, 1, 255}));
    EXPECT_EQ(read.At(0, 1), (TPixel{9, 8, 7, 255}));
    EXPECT_EQ(read.At(1, 1), (TPixel{12, 11, 10, 255}));
}

TEST_F(TexturesTest, RefusedBmpShowsItsMessages) {
    int32_t texture = -7;
    const std::string missing = search.Path() + "none.bmp";
    EXPECT_FALSE(LoadBMPFile(missing, texture));
    TByteWriter shortBmp = BmpHeader(2, 2, 24, 16, 0);
    shortBmp.Raw(std::string(10, '\0'));
    EXPECT_FALSE(LoadBMPFile(search.WriteFile("short.bmp", shortBmp.Bytes()), texture));
    EXPECT_EQ(texture, -7);
    ASSERT_EQ(messages.Shown.size(), 2u);
    EXPECT_EQ(messages.Shown[0].Text, "Error opening " + missing);
    EXPECT_EQ(messages.Shown[0].Caption, "BMP Unit");
    EXPECT_EQ(messages.Shown[1].Text, "Error reading bitmap data");
    EXPECT_EQ(messages.Shown[1].Caption, "BMP Unit");
}

TEST_F(TexturesTest, MissingLooseRawSucceedsWithAnEmptyTexture) {
    int32_t texture = -7;
    ASSERT_TRUE(LoadRAWFile(search.Path() + "none.raw", texture));
    EXPECT_TRUE(glIsTexture(static_cast<GLuint>(texture)));
    EXPECT_EQ(ReadTexture(texture).Width, 0);
    EXPECT_TRUE(messages.Shown.empty());
}

TEST_F(TexturesTest, LooseRawIsOpaqueEvenWhereTheGameWouldBeTransparent) {
    search.WriteFile("water.act", ActBytes([](int i) {
                         return i == 1 ? TRgb{5, 5, 5} : TRgb{90, 80, 70};
                     }));
    const std::string path = search.WriteFile("water.raw", std::string("\1\1\2\1", 4));
    int32_t texture = -7;
    ASSERT_TRUE(LoadRAWFile(path, texture));
    const TTexturePixels read = ReadTexture(texture);
    EXPECT_EQ(read.At(0, 0), (TPixel{5, 5, 5, 255}));
    EXPECT_EQ(read.At(0, 1), (TPixel{90, 80, 70, 255}));
}

TEST_F(TexturesTest, LooseFilesAreFoundWhateverTheirLetterCase) {
    search.WriteFile("pic.tga", TgaHeader(0, 0, 2, 1, 1, 24).Raw("\x01\x02\x03").Bytes());
    int32_t texture = -7;
    ASSERT_TRUE(LoadTGAFile(search.Path() + "PIC.TGA", texture));
    EXPECT_EQ(ReadTexture(texture).At(0, 0), (TPixel{3, 2, 1, 255}));

    search.WriteFile("Road.Act", ActBytes([](int) { return TRgb{11, 22, 33}; }));
    search.WriteFile("ROAD.RAW", std::string(4, '\x09'));
    ASSERT_TRUE(LoadRAWFile(search.Path() + "road.raw", texture));
    EXPECT_EQ(ReadTexture(texture).At(1, 1), (TPixel{11, 22, 33, 255}));
    EXPECT_TRUE(messages.Shown.empty());
}

TEST_F(TexturesTest, LooseRawWithoutPaletteShowsAGreyRamp) {
    const std::string path = search.WriteFile("bare.raw", std::string("\x10\x20\x30\x40", 4));
    int32_t texture = -7;
    ASSERT_TRUE(LoadRAWFile(path, texture));
    const TTexturePixels read = ReadTexture(texture);
    EXPECT_EQ(read.At(1, 0), (TPixel{0x20, 0x20, 0x20, 255}));
    EXPECT_EQ(read.At(1, 1), (TPixel{0x40, 0x40, 0x40, 255}));
}

TEST_F(TexturesTest, LoadTextureFileDispatchesOnTheEndingIgnoringCase) {
    int32_t texture = -7;
    // A missing RAW succeeds silently; a BMP or TGA would have shown a message.
    EXPECT_TRUE(LoadTextureFile(search.Path() + "lower.raw", texture));
    EXPECT_TRUE(messages.Shown.empty());
    texture = -7;
    EXPECT_FALSE(LoadTextureFile(search.WriteFile("x.png", "data"), texture));
    EXPECT_FALSE(LoadTextureFile("aw", texture));
    EXPECT_TRUE(messages.Shown.empty());
    EXPECT_EQ(texture, -7);
    EXPECT_FALSE(LoadTextureFile(search.Path() + "gone.Tga", texture));
    EXPECT_FALSE(LoadTextureFile(search.Path() + "gone.bMp", texture));
    ASSERT_EQ(messages.Shown.size(), 2u);
    EXPECT_EQ(messages.Shown[0].Caption, "TGA Texture");
    EXPECT_EQ(messages.Shown[1].Caption, "BMP Unit");
}

TEST_F(TexturesTest, GameRawTakesAlphaFromThePaletteAndLogsItsSteps) {
    const TPodFile pod = WritePod(TPodWriter()
                                      .Add("ART\\DOTS.ACT", ActBytes([](int i) {
                                               return i == 1 ? TRgb{5, 5, 5} : TRgb{90, 80, 70};
                                           }))
                                      .Add("ART\\DOTS.RAW", std::string("\1\0\0\1", 4)));
    int32_t texture = -7;
    ASSERT_TRUE(LoadRAWFromGame("ART\\DOTS.RAW", loads.For(&pod), texture));
    const TTexturePixels read = ReadTexture(texture);
    EXPECT_EQ(read.At(0, 0), (TPixel{5, 5, 5, 0}));
    EXPECT_EQ(read.At(1, 0), (TPixel{90, 80, 70, 255}));
    EXPECT_EQ(log.Lines(),
              (std::vector<std::string>{"Loading RAW texture ART\\DOTS.RAW",
                                        "Loading new palette ART\\DOTS.ACT", "Done."}));
    EXPECT_TRUE(warnings.empty());
}

TEST_F(TexturesTest, GameRawComesFromTheFinderWhenTheArchiveLacksIt) {
    search.WriteFile("textures/FOUND.RAW", std::string("\x05\x06\x07\x08", 4));
    int32_t texture = -7;
    ASSERT_TRUE(LoadRAWFromGame("ART\\FOUND.RAW", loads.For(nullptr), texture));
    // No FOUND.ACT anywhere: the default palette colours it.
    EXPECT_EQ(ReadTexture(texture).At(1, 1), (TPixel{8, 247, 100, 255}));
    EXPECT_TRUE(log.Has("Using default palette."));
}

TEST_F(TexturesTest, MissingGameTextureWarnsOnceButLogsEveryAttempt) {
    const TPodFile pod = WritePod(TPodWriter().Add("ART\\OTHER.RAW", "x"));
    int32_t texture = -7;
    EXPECT_FALSE(LoadGameTexture("ART\\NOWHERE.RAW", loads.For(&pod), texture));
    EXPECT_FALSE(LoadGameTexture("ART\\NOWHERE.RAW", loads.For(&pod), texture));
    EXPECT_EQ(texture, -7);
    EXPECT_EQ(warnings, (TStringList{"Error: Texture \"ART\\NOWHERE.RAW\" not found"}));
    EXPECT_EQ(log.Count("Loading RAW texture ART\\NOWHERE.RAW"), 2);
    EXPECT_EQ(log.Count("Error: ART\\NOWHERE.RAW not found in POD"), 2);
    EXPECT_EQ(log.Count("Error: Could not load Texture ART\\NOWHERE.RAW"), 2);
    EXPECT_TRUE(messages.Shown.empty());
}

TEST_F(TexturesTest, GameTexturesMustBeRawButMayBeLowerCase) {
    const TPodFile pod =
        WritePod(TPodWriter()
                     .Add("ART\\PIC.TGA", TgaHeader(0, 0, 2, 1, 1, 24).Raw("abc").Bytes())
                     .Add("art\\small.raw", std::string(4, '\3')));
    int32_t texture = -7;
    EXPECT_FALSE(LoadGameTexture("ART\\PIC.TGA", loads.For(&pod), texture));
    EXPECT_EQ(texture, -7);
    EXPECT_TRUE(log.Has("Error: Could not load Texture ART\\PIC.TGA"));
    EXPECT_FALSE(log.Has("Loading RAW texture ART\\PIC.TGA"));
    EXPECT_TRUE(LoadGameTexture("art\\small.raw", loads.For(&pod), texture));
    EXPECT_EQ(ReadTexture(texture).At(0, 0), (TPixel{3, 252, 100, 255}));
}

TEST_F(TexturesTest, GameRawThatEndsEarlyShowsTheRawReadError) {
    // 4093 bytes round to 64 x 64, and the archive ends right after the entry.
    const TPodFile pod = WritePod(TPodWriter().Add("ART\\CUT.RAW", std::string(4093, '\1')));
    int32_t texture = -7;
    EXPECT_FALSE(LoadRAWFromGame("ART\\CUT.RAW", loads.For(&pod), texture));
    EXPECT_EQ(texture, -7);
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_EQ(messages.Shown[0].Text, "Couldn't read file \"ART\\CUT.RAW\".");
    EXPECT_EQ(messages.Shown[0].Caption, "RAW File Error");
    EXPECT_TRUE(warnings.empty());
}

TEST_F(TexturesTest, PaletteReadErrorsPropagateOutOfTheGameLoaders) {
    const TPodFile pod = WritePod(TPodWriter()
                                      .Add("ART\\BAD.ACT", std::string(10, '\1'))
                                      .Add("ART\\BAD.RAW", std::string(4, '\1')));
    int32_t texture = -7;
    EXPECT_THROW(LoadGameTexture("ART\\BAD.RAW", loads.For(&pod), texture), EInOutError);
    EXPECT_EQ(texture, -7);
}

} // namespace
