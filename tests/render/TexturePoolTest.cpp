#include "render/TexturePool.h"
#include "core/base/Errors.h"
#include "core/track/TrackData.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "tests/render/TextureTestSupport.h"
#include "tests/support/GameLoadSupport.h"
#include "tests/support/TrackTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST_F(TexturePoolTest, ATextureListLoadsLikeOneNameAfterTheOtherWithItsLogInListOrder) {
    const std::string path = archives.Path() + "list.pod";
    std::string picture(64 * 64, '\0');
    for (size_t i = 0; i < picture.size(); ++i) {
        picture[i] = static_cast<char>(i % 7);
    }
    TPodWriter()
        .Add("ART\\LISTED1.ACT", ActBytes([](int i) {
                 return TRgb{uint8_t(i * 30), 1, 2};
             }))
        .Add("ART\\LISTED1.RAW", picture)
        .Add("ART\\LISTED2.ACT", ActBytes([](int i) {
                 return TRgb{3, uint8_t(i * 20), 4};
             }))
        .Add("ART\\LISTED2.RAW", picture)
        .Add("ART\\BAD.ACT", std::string(5, '\1'))
        .Add("ART\\BAD.RAW", std::string(4, '\0'))
        .Write(path);
    const TPodFile listPod(path);
    TRecordingProgress progress;
    const std::vector<std::string> names{"LISTED1.RAW", "NOWHERE.RAW", "listed1.raw",
                                         "PICTURE.BMP", "BAD.RAW",     "LISTED2.RAW"};
    const std::vector<int32_t> textures = pool.GetTextureList(names, loads.For(&listPod), progress);

    ASSERT_EQ(textures.size(), names.size());
    EXPECT_NE(textures[0], pool.MissingTexture());
    EXPECT_EQ(textures[1], pool.MissingTexture());
    EXPECT_EQ(textures[2], textures[0]);
    EXPECT_EQ(textures[3], pool.MissingTexture());
    EXPECT_EQ(textures[4], 0); // its palette raised; the rest of the list still loads
    EXPECT_NE(textures[5], textures[0]);
    for (int k = 0; k < 7; ++k) {
        const int alpha = k == 0 ? 0 : 255; // a game palette's entry 0 is see-through
        EXPECT_EQ(ReadTexture(textures[0]).At(k, 0), (TPixel{k * 30, 1, 2, alpha}));
        EXPECT_EQ(ReadTexture(textures[5]).At(k, 0), (TPixel{3, k * 20, 4, alpha}));
    }
    EXPECT_EQ(pool.FindTexture("ART\\LISTED2.RAW"), textures[5]);
    EXPECT_EQ(warnings, TStringList{"Error: Texture \"ART\\NOWHERE.RAW\" not found"});

    const std::vector<std::string> lines = log.Lines();
    const auto at = [&lines](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) - lines.begin();
    };
    EXPECT_EQ(log.Count("Loading RAW texture ART\\LISTED1.RAW"), 1);
    EXPECT_LT(at("Loading RAW texture ART\\LISTED1.RAW"),
              at("Error: ART\\NOWHERE.RAW not found in POD"));
    EXPECT_LT(at("Error: ART\\NOWHERE.RAW not found in POD"),
              at("Error: Could not load Texture ART\\PICTURE.BMP"));
    EXPECT_LT(at("Error: Could not load Texture ART\\PICTURE.BMP"),
              at("Loading RAW texture ART\\BAD.RAW"));
    EXPECT_LT(at("Loading RAW texture ART\\BAD.RAW"), at("Loading RAW texture ART\\LISTED2.RAW"));
    EXPECT_LT(at("Loading RAW texture ART\\LISTED2.RAW"), static_cast<long>(lines.size()));

    std::vector<std::string> subActions;
    for (const std::string& event : progress.Events) {
        if (event.rfind("sub ", 0) == 0) {
            subActions.push_back(event.substr(4));
        }
    }
    EXPECT_EQ(subActions, names);
    EXPECT_EQ(progress.Steps, 6);
}

TEST_F(TexturePoolTest, ListedNamesWithIdenticalPicturesShareOneTexture) {
    const std::string path = archives.Path() + "same.pod";
    std::string picture(32 * 32, '\3');
    TPodWriter writer;
    const int count = 40; // more than are coloured at once
    for (int k = 0; k < count; ++k) {
        writer.Add("ART\\SAME" + std::to_string(k) + ".RAW", picture);
    }
    picture[5] = '\4';
    writer.Add("ART\\OTHER.RAW", picture);
    writer.Write(path);
    const TPodFile listPod(path);
    TRecordingProgress progress;
    std::vector<std::string> names;
    for (int k = 0; k < count; ++k) {
        names.push_back("SAME" + std::to_string(k) + ".RAW");
    }
    names.push_back("OTHER.RAW");
    const std::vector<int32_t> textures = pool.GetTextureList(names, loads.For(&listPod), progress);
    ASSERT_EQ(textures.size(), names.size());
    EXPECT_GT(textures[0], 0);
    EXPECT_NE(textures[0], pool.MissingTexture());
    EXPECT_EQ(std::count(textures.begin(), textures.end(), textures[0]), count);
    EXPECT_NE(textures.back(), textures[0]);
    EXPECT_NE(ReadTexture(textures.back()).At(5, 0), ReadTexture(textures.back()).At(6, 0));
    EXPECT_EQ(ReadTexture(textures[0]).At(5, 0), ReadTexture(textures[0]).At(6, 0));
    EXPECT_EQ(pool.FindTexture("ART\\SAME39.RAW"), textures[0]);
    EXPECT_EQ(log.Count("Loading RAW texture ART\\SAME39.RAW"), 1);
    pool.ClearTextures();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
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
