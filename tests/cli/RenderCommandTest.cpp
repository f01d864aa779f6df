#include "cli/CliCommands.h"
#include "core/base/ProgramFolder.h"
#include "core/view/CameraLocations.h"
#include "tests/cli/CliCapture.h"
#include "tests/support/TrackFixture.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <png.h>

namespace {

struct TRgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

// A Windows bitmap as the screenshot writer makes it: 54-byte header, 32-bit BGRA rows bottom-up.
class TBitmap {
public:
    explicit TBitmap(std::string bytes) : bytes_(std::move(bytes)) {}
    int32_t Word(size_t offset) const {
        int32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value = value * 256 + static_cast<uint8_t>(bytes_.at(offset + i));
        }
        return value;
    }
    int Width() const { return Word(18); }
    int Height() const { return Word(22); }
    size_t Size() const { return bytes_.size(); }
    // y counts from the top of the picture.
    TRgb Pixel(int x, int y) const {
        const size_t at = 54 + (static_cast<size_t>(Height() - 1 - y) * Width() + x) * 4;
        return {static_cast<uint8_t>(bytes_.at(at + 2)), static_cast<uint8_t>(bytes_.at(at + 1)),
                static_cast<uint8_t>(bytes_.at(at))};
    }

private:
    std::string bytes_;
};

void ExpectNear(const TRgb& actual, const TRgb& expected, int tolerance = 4) {
    EXPECT_NEAR(actual.r, expected.r, tolerance) << "red";
    EXPECT_NEAR(actual.g, expected.g, tolerance) << "green";
    EXPECT_NEAR(actual.b, expected.b, tolerance) << "blue";
}

// The fixture track's terrain: texture colour (40, 160, 60) under light 200 of 255.
constexpr TRgb kLitGrass{31, 125, 47};

class RenderCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldFolder_ = ProgramFolder();
        SetProgramFolder(dir_.Path());
        WriteViewerData(dir_);
        archive_ = dir_.Path() + "TRACK.POD";
        track_.Pod().Write(archive_);
        ini_ = dir_.Path() + "DunmereGL.ini";
    }
    void TearDown() override { SetProgramFolder(oldFolder_); }

    int Run(TCliArgs args) {
        args.insert(args.begin(), {"render", archive_, "--ini", ini_});
        const TCliRun run = Capture(args);
        out_ = run.Out;
        err_ = run.Err;
        return run.Code;
    }
    TBitmap Picture() const { return TBitmap(ReadFileBytes(Output())); }
    std::string Output() const { return dir_.Path() + "out.bmp"; }

    TTempDir dir_;
    std::string oldFolder_;
    TTrackFixture track_;
    std::string archive_;
    std::string ini_;
    std::string out_;
    std::string err_;
};

TEST_F(RenderCommandTest, TheMapViewOfTheTrackIsSavedInTheRequestedSize) {
    ASSERT_EQ(Run({"-o", Output(), "--size", "64x48", "--map", "--no-water", "--sky", "0"}),
              kCliDone)
        << err_;
    EXPECT_EQ(out_, Output() + " 64x48\n");
    const TBitmap picture = Picture();
    EXPECT_EQ(picture.Width(), 64);
    EXPECT_EQ(picture.Height(), 48);
    EXPECT_EQ(picture.Size(), 64u * 48 * 4 + 54);
    ExpectNear(picture.Pixel(10, 10), kLitGrass);
    ExpectNear(picture.Pixel(50, 40), kLitGrass);
}

TEST_F(RenderCommandTest, SkyPresetsTintTheTrackAndWaterCoversItUnlessSwitchedOff) {
    ASSERT_EQ(Run({"-o", Output(), "--size", "32x32", "--map", "--no-water", "--sky", "4"}),
              kCliDone)
        << err_;
    ExpectNear(Picture().Pixel(10, 10), {9, 37, 14});

    // Ripples (30, 60, 200) in the default water colour (100, 120, 150) at alpha 220 of 255.
    ASSERT_EQ(Run({"-o", Output(), "--size", "32x32", "--map"}), kCliDone) << err_;
    const double a = 220.0 / 255;
    ExpectNear(Picture().Pixel(10, 10),
               {static_cast<int>(30 * 100 / 255.0 * a + kLitGrass.r * (1 - a)),
                static_cast<int>(60 * 120 / 255.0 * a + kLitGrass.g * (1 - a)),
                static_cast<int>(200 * 150 / 255.0 * a + kLitGrass.b * (1 - a))});
}

TEST_F(RenderCommandTest, TheCameraOptionPlacesTheFreeCameraAndTheDefaultSizeIs640By480) {
    TCameraPos up;
    up.TransY = -1;
    up.Tilt = -90; // looking at the empty sky
    ASSERT_EQ(
        Run({"-o", Output(), "--sky", "0", "--no-water", "--camera", FormatCameraLocation(up, 20)}),
        kCliDone)
        << err_;
    const TBitmap sky = Picture();
    EXPECT_EQ(sky.Size(), 1228854u);
    ExpectNear(sky.Pixel(320, 240), {0, 0, 0});

    TCameraPos down = up;
    down.Tilt = 90;
    ASSERT_EQ(Run({"-o", Output(), "--sky", "0", "--no-water", "--size", "32x32", "--camera",
                   FormatCameraLocation(down, 20)}),
              kCliDone)
        << err_;
    ExpectNear(Picture().Pixel(16, 16), kLitGrass);
}

TEST_F(RenderCommandTest, AnEmptySkyIsSavedOpaqueInEveryFormatThatKeepsAlpha) {
    TCameraPos up;
    up.TransY = -1;
    up.Tilt = -90; // nothing but the black background in view
    const std::string camera = FormatCameraLocation(up, 20);
    for (const char* name : {"sky.bmp", "sky.tga", "sky.png"}) {
        ASSERT_EQ(Run({"-o", dir_.Path() + name, "--size", "16x8", "--sky", "0", "--no-water",
                       "--camera", camera}),
                  kCliDone)
            << err_;
    }
    for (const auto& [name, headerSize] : {std::pair{"sky.bmp", 54u}, {"sky.tga", 18u}}) {
        const std::string bytes = ReadFileBytes(dir_.Path() + name);
        ASSERT_EQ(bytes.size(), headerSize + 16u * 8 * 4) << name;
        for (size_t at = headerSize; at < bytes.size(); at += 4) {
            ASSERT_EQ(bytes.substr(at, 4), std::string("\0\0\0\xff", 4)) << name << " at " << at;
        }
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&png, (dir_.Path() + "sky.png").c_str()), 0);
    EXPECT_EQ(png.format, static_cast<png_uint_32>(PNG_FORMAT_RGBA));
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(png));
    ASSERT_NE(png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr), 0);
    ASSERT_EQ(pixels.size(), 16u * 8 * 4);
    for (size_t at = 0; at < pixels.size(); at += 4) {
        ASSERT_EQ(pixels[at], 0) << at;
        ASSERT_EQ(pixels[at + 3], 255) << at;
    }
}

TEST_F(RenderCommandTest, TheTracksSavedDefaultLocationIsWhereTheCameraStands) {
    ASSERT_EQ(Run({"-o", Output(), "--size", "32x32", "--sky", "0", "--no-water"}), kCliDone)
        << err_;
    // From the start grid the eye looks across the ground: empty sky at the top.
    ExpectNear(Picture().Pixel(16, 0), {0, 0, 0});

    TCameraPos down;
    down.TransY = -1;
    down.Tilt = 90;
    WriteFileBytes(ini_, "[CameraPos]\r\n" + CameraLocationKey(track_.TrackName, 0) + "=" +
                             FormatCameraLocation(down, 30) + "\r\n");
    ASSERT_EQ(Run({"-o", Output(), "--size", "32x32", "--sky", "0", "--no-water"}), kCliDone)
        << err_;
    ExpectNear(Picture().Pixel(16, 0), kLitGrass);
}

TEST_F(RenderCommandTest, LoadWarningsGoToTheErrorStream) {
    track_.MissingModels = {"GONE.BIN"};
    track_.Pod().Write(archive_);
    ASSERT_EQ(Run({"-o", Output(), "--size", "16x16"}), kCliDone);
    EXPECT_NE(err_.find("warning: Error: BIN Model \"MODELS\\GONE.BIN\" not found\n"),
              std::string::npos)
        << err_;
}

TEST_F(RenderCommandTest, BadOptionsAreUsageErrorsAndAnUnknownImageTypeFails) {
    EXPECT_EQ(Run({"--size", "16x16"}), kCliUsage);
    EXPECT_NE(err_.find("-o OUT missing"), std::string::npos) << err_;
    for (const TCliArgs& bad : std::vector<TCliArgs>{{"-o", Output(), "--sky", "5"},
                                                     {"-o", Output(), "--objects", "x"},
                                                     {"-o", Output(), "--size", "16"},
                                                     {"-o", Output(), "--size", "0x16"},
                                                     {"-o", Output(), "--size", "16x99999"},
                                                     {"-o", Output(), "--camera", "1|2|3"},
                                                     {"-o", Output(), "--fast"},
                                                     {"-o"}}) {
        EXPECT_EQ(Run(bad), kCliUsage) << bad.back();
    }

    EXPECT_EQ(Run({"-o", dir_.Path() + "out.gif", "--size", "16x16"}), kCliFailed);
    EXPECT_NE(err_.find("out.gif"), std::string::npos) << err_;
}

TEST_F(RenderCommandTest, AnOutputThatCannotBeWrittenIsNamedAsSuchNotAsAWrongName) {
    const std::string missing = dir_.Path() + "no/such/folder/";
    for (const std::string& output :
         {missing + "out.png", missing + "out.jpg", missing + "out.bmp", missing + "out.tga"}) {
        EXPECT_EQ(Run({"-o", output, "--size", "8x8"}), kCliFailed) << output;
        EXPECT_EQ(err_, "render: cannot write " + output + ": No such file or directory\n");
        EXPECT_EQ(out_, "") << output;
    }
    // Nobody may create files at the top of /proc; the reason given depends on the user.
    EXPECT_EQ(Run({"-o", "/proc/x.png", "--size", "8x8"}), kCliFailed);
    EXPECT_EQ(err_.rfind("render: cannot write /proc/x.png: ", 0), 0u) << err_;

    const std::string gif = dir_.Path() + "out.gif";
    EXPECT_EQ(Run({"-o", gif, "--size", "8x8"}), kCliFailed);
    EXPECT_EQ(err_, "render: could not write " + gif +
                        " (the name must end in .bmp, .jpg, .png or .tga)\n");
}

TEST_F(RenderCommandTest, BothRenderersDrawTheSamePictureAndTimeReportsItsFrames) {
    ASSERT_EQ(Run({"-o", Output(), "--size", "48x32", "--renderer", "reference"}), kCliDone)
        << err_;
    const std::string reference = ReadFileBytes(Output());
    ASSERT_EQ(Run({"-o", Output(), "--size", "48x32", "--time", "3"}), kCliDone) << err_;
    EXPECT_EQ(ReadFileBytes(Output()), reference);

    double low = 0;
    double middle = 0;
    double high = 0;
    char end = 0;
    ASSERT_EQ(std::sscanf(out_.c_str(), "frame ms: min %lf median %lf max %lf%c", &low, &middle,
                          &high, &end),
              4)
        << out_;
    EXPECT_EQ(end, '\n');
    EXPECT_LE(0, low);
    EXPECT_LE(low, middle);
    EXPECT_LE(middle, high);
    EXPECT_EQ(out_.substr(out_.find('\n') + 1), Output() + " 48x32\n");
}

TEST_F(RenderCommandTest, AnUnknownRendererOrFrameCountIsAUsageError) {
    EXPECT_NE(Run({"-o", Output(), "--renderer", "fast"}), kCliDone);
    EXPECT_NE(err_.find("--renderer takes prepared or reference, not fast"), std::string::npos)
        << err_;
    EXPECT_NE(Run({"-o", Output(), "--time", "0"}), kCliDone);
    EXPECT_NE(err_.find("--time takes 1..100000, not 0"), std::string::npos) << err_;
}

TEST(RenderCommandListTest, TheRenderCommandIsKnownToTheTool) {
    const auto& commands = CliCommandList();
    EXPECT_TRUE(std::any_of(commands.begin(), commands.end(),
                            [](const TCliCommand& command) { return command.Name == "render"; }));
}

} // namespace
