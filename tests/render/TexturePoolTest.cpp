#include "render/TexturePool.h"
#include "core/base/Errors.h"
#include "core/track/TrackData.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "tests/render/TextureTestSupport.h"
#include "tests/support/GameLoadSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using TPixel = std::array<int, 4>;

class TexturePoolTest : public ::testing::Test {
protected:
    void SetUp() override {
        SharedGLContext();
        pool.LoadMissingTexture();
        finder.SearchFolders = {search.Path()};
        pod = std::make_unique<TPodFile>(WriteArchive());
    }

    std::string WriteArchive() {
        const std::string path = archives.Path() + "track.pod";
        TPodWriter()
            .Add("ART\\ROAD.ACT", ActBytes([](int) {
                     return TRgb{40, 50, 60};
                 }))
            .Add("ART\\ROAD.RAW", std::string(4, '\0'))
            .Add("ART\\BAD.ACT", std::string(5, '\1'))
            .Add("ART\\BAD.RAW", std::string(4, '\0'))
            .Write(path);
        return path;
    }

    TProgramFolderFixture program;
    TMessageRecorder messages;
    TLogCapture log;
    TTempDir search;
    TTempDir archives;
    TQRXFileFinder finder;
    std::unique_ptr<TPodFile> pod;
    TStringList warnings;
    TTestLoads loads{finder, warnings};
    TTexturePool pool;
};

TEST_F(TexturePoolTest, FallbackTextureIsTheViewersMissingImage) {
    ASSERT_GT(pool.MissingTexture(), 0);
    EXPECT_EQ(ReadTexture(pool.MissingTexture()).At(1, 1), (TPixel{1, 2, 3, 4}));
}

TEST_F(TexturePoolTest, SameNameInAnyCaseAndBlanksLoadsOnce) {
    const int32_t first = pool.GetGameTexture("ART\\ROAD.RAW", loads.For(pod.get()));
    const int32_t second = pool.GetGameTexture("  art\\road.raw ", loads.For(pod.get()));
    EXPECT_EQ(first, second);
    EXPECT_NE(first, pool.MissingTexture());
    EXPECT_EQ(pool.FindTexture("Art\\Road.Raw"), first);
    EXPECT_EQ(log.Count("Loading RAW texture ART\\ROAD.RAW"), 1);
    EXPECT_EQ(ReadTexture(first).At(0, 0), (TPixel{40, 50, 60, 255}));
}

TEST_F(TexturePoolTest, MissingTextureMapsToTheFallbackWithoutRetrying) {
    EXPECT_EQ(pool.GetGameTexture("ART\\GONE.RAW", loads.For(pod.get())), pool.MissingTexture());
    EXPECT_EQ(pool.GetGameTexture("art\\gone.raw", loads.For(pod.get())), pool.MissingTexture());
    EXPECT_EQ(pool.FindTexture("ART\\GONE.RAW"), pool.MissingTexture());
    EXPECT_EQ(warnings, (TStringList{"Error: Texture \"ART\\GONE.RAW\" not found"}));
    EXPECT_EQ(log.Count("Loading RAW texture ART\\GONE.RAW"), 1);
}

TEST_F(TexturePoolTest, FindTextureNeverLoads) {
    EXPECT_EQ(pool.FindTexture("ART\\ROAD.RAW"), -1);
    EXPECT_TRUE(log.Lines().empty());
}

TEST_F(TexturePoolTest, ClearDeletesThePoolsTexturesButKeepsTheFallback) {
    const int32_t road = pool.GetGameTexture("ART\\ROAD.RAW", loads.For(pod.get()));
    pool.GetGameTexture("ART\\GONE.RAW", loads.For(pod.get()));
    ASSERT_TRUE(glIsTexture(static_cast<GLuint>(road)));
    pool.ClearTextures();
    EXPECT_EQ(pool.FindTexture("ART\\ROAD.RAW"), -1);
    EXPECT_EQ(pool.FindTexture("ART\\GONE.RAW"), -1);
    EXPECT_FALSE(glIsTexture(static_cast<GLuint>(road)));
    ASSERT_TRUE(glIsTexture(static_cast<GLuint>(pool.MissingTexture())));
    EXPECT_EQ(ReadTexture(pool.MissingTexture()).At(0, 0), (TPixel{1, 2, 3, 4}));
    // The next track loads the name again.
    pool.GetGameTexture("ART\\ROAD.RAW", loads.For(pod.get()));
    EXPECT_EQ(log.Count("Loading RAW texture ART\\ROAD.RAW"), 2);
}

TEST_F(TexturePoolTest, FileTextureKeyDecidesAndOnlyTheFirstPathLoads) {
    const std::string red = search.WriteFile(
        "red.tga", TgaHeader(0, 0, 2, 1, 1, 24).Raw(std::string("\0\0\xff", 3)).Bytes());
    const std::string blue = search.WriteFile(
        "blue.tga", TgaHeader(0, 0, 2, 1, 1, 24).Raw(std::string("\xff\0\0", 3)).Bytes());
    const int32_t first = pool.GetFileTexture(red, "ART\\CAR.RAW");
    const int32_t second = pool.GetFileTexture(blue, " art\\car.raw");
    EXPECT_EQ(first, second);
    EXPECT_EQ(ReadTexture(first).At(0, 0), (TPixel{255, 0, 0, 255}));
    EXPECT_EQ(pool.FindTexture("ART\\CAR.RAW"), first);
}

TEST_F(TexturePoolTest, FailedFileTextureMapsToTheFallback) {
    EXPECT_EQ(pool.GetFileTexture(search.Path() + "none.tga", "ART\\NONE.TGA"),
              pool.MissingTexture());
    EXPECT_EQ(pool.GetFileTexture(search.Path() + "none.tga", "ART\\NONE.TGA"),
              pool.MissingTexture());
    EXPECT_EQ(messages.Shown.size(), 1u);
}

TEST_F(TexturePoolTest, ReadErrorsPropagateAndTheNameIsTriedAgain) {
    EXPECT_THROW(pool.GetGameTexture("ART\\BAD.RAW", loads.For(pod.get())), EInOutError);
    EXPECT_EQ(pool.FindTexture("ART\\BAD.RAW"), -1);
    EXPECT_THROW(pool.GetGameTexture("ART\\BAD.RAW", loads.For(pod.get())), EInOutError);
    EXPECT_EQ(log.Count("Loading RAW texture ART\\BAD.RAW"), 2);
}

TEST_F(TexturePoolTest, MissingFallbackImageLeavesZeroAfterItsMessage) {
    std::filesystem::remove(program.Dir().Path() + "data/missing.tga");
    pool.LoadMissingTexture();
    EXPECT_EQ(pool.MissingTexture(), 0);
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_EQ(messages.Shown[0].Text,
              "File not found  - " + program.Dir().Path() + "data/missing.tga");
    EXPECT_EQ(pool.GetGameTexture("ART\\GONE.RAW", loads.For(pod.get())), 0);

    program.Dir().WriteFile("data/missing.tga", "short");
    pool.LoadMissingTexture();
    EXPECT_EQ(pool.MissingTexture(), 0);
    EXPECT_EQ(messages.Shown.size(), 2u);
}

TEST(TrackTextures, QuadsOfTheFallbackNumberOrPastTheListBindTheFallback) {
    TTrackTextures textures;
    EXPECT_EQ(textures.ForQuad(0, 99), 99) << "an empty list reaches no number";
    textures.Assign(3);
    textures.Set(0, 11);
    textures.Set(2, 13);
    EXPECT_EQ(textures.ForQuad(0, 99), 11);
    EXPECT_EQ(textures.ForQuad(1, 99), 0) << "a texture whose load raised keeps 0";
    EXPECT_EQ(textures.ForQuad(2, 99), 13);
    EXPECT_EQ(textures.ForQuad(3, 99), 99);
    EXPECT_EQ(textures.ForQuad(kFallbackTexture, 99), 99);
}

} // namespace
