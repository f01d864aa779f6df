#include "cli/CliCommands.h"
#include "core/base/Errors.h"
#include "core/base/ProgramFolder.h"
#include "core/base/TextUtils.h"
#include "core/export/VideoWriter.h"
#include "core/view/CameraLocations.h"
#include "core/view/CameraPathSources.h"
#include "tests/cli/CliCapture.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 360;

// What a command line printed on its standard output; empty when it failed.
std::string Output(const std::string& command) {
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return text;
    }
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        text.append(buffer, got);
    }
    return pclose(pipe) == 0 ? text : std::string();
}

// ffprobe's key=value lines for the first video stream, frames counted by decoding.
std::map<std::string, std::string> Probe(const std::string& video) {
    std::map<std::string, std::string> values;
    const std::string text =
        Output("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
               "stream=codec_name,width,height,nb_read_frames:format=duration -of default=nw=1 '" +
               video + "'");
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            values[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return values;
}

// Frame n of the video as RGB bytes, top row first.
std::string DecodedFrame(const std::string& video, int n, const std::string& scratch) {
    const std::string raw = scratch + Format("frame%d.rgb", n);
    Output(Format("ffmpeg -v error -y -i '%s' -vf 'select=eq(n\\,%d)' -frames:v 1 -f rawvideo "
                  "-pix_fmt rgb24 '%s'",
                  video.c_str(), n, raw.c_str()));
    return ReadFileBytes(raw);
}

// A bitmap the render command wrote (32-bit BGRA rows bottom-up after a 54-byte header) as RGB
// bytes, top row first.
std::string BitmapRgb(const std::string& bytes, int width, int height) {
    std::string rgb;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const size_t at = 54 + (static_cast<size_t>(y) * width + x) * 4;
            rgb += {bytes.at(at + 2), bytes.at(at + 1), bytes.at(at)};
        }
    }
    return rgb;
}

double Psnr(const std::string& a, const std::string& b) {
    EXPECT_EQ(a.size(), b.size());
    if (a.size() != b.size() || a.empty()) {
        return 0;
    }
    double squares = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const double d = static_cast<uint8_t>(a[i]) - static_cast<uint8_t>(b[i]);
        squares += d * d;
    }
    const double mse = squares / a.size();
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

class RecordCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldFolder_ = ProgramFolder();
        SetProgramFolder(DUNMERE_BIN_DIR);
        demo_ = ProgramFolder() + "samples/DEMO.POD";
    }
    void TearDown() override { SetProgramFolder(oldFolder_); }

    TCliRun Run(const std::string& command, TCliArgs args) {
        args.insert(args.begin(), {command, demo_});
        args.insert(args.end(), {"--ini", dir_.Path() + "none.ini"});
        return Capture(args);
    }
    std::string Size() const { return Format("%dx%d", kWidth, kHeight); }

    TTempDir dir_;
    std::string oldFolder_;
    std::string demo_;
};

TEST_F(RecordCommandTest, RecordsThePicturesRenderDrawsAtExactFrameTimes) {
    // Three views of the demo's start area, a second apart, looking three different ways.
    std::vector<TCameraKeyframe> keys(3);
    const TCameraPos cameras[] = {{0.5f, -0.6f, 1.0f, 12, 30, 0, 60},
                                  {1.5f, -0.9f, 0.2f, 20, 120, 5, 55},
                                  {0.8f, -0.7f, -1.0f, 15, 210, 0, 65}};
    for (int k = 0; k < 3; ++k) {
        keys[k].Camera = cameras[k];
        keys[k].ViewDistance = 80;
        keys[k].Time = k * 1.0;
    }
    const std::string pathFile = dir_.Path() + "path.txt";
    WriteCameraPathFile(pathFile, keys);
    const std::string video = dir_.Path() + "fly.mp4";
    const TCliRun run =
        Run("record", {"-o", video, "--path", pathFile, "--fps", "10", "--size", Size()});
    ASSERT_EQ(run.Code, kCliDone) << run.Err;
    EXPECT_EQ(run.Err, ""); // no progress and no encoder chatter without a terminal
    EXPECT_FALSE(std::filesystem::exists(video + ".part"));

    auto probe = Probe(video);
    ASSERT_FALSE(probe.empty()) << "ffprobe (Debian's ffmpeg) could not read " << video;
    EXPECT_EQ(probe["codec_name"], "h264");
    EXPECT_EQ(probe["width"], std::to_string(kWidth));
    EXPECT_EQ(probe["height"], std::to_string(kHeight));
    EXPECT_EQ(probe["nb_read_frames"], "20"); // the last keyframe's time ends the video
    EXPECT_NEAR(std::stod(probe["duration"].empty() ? "0" : probe["duration"]), 2.0, 0.01);

    // Frame n is the picture render draws with the path's camera at n / 10 seconds.
    const TCameraPath path(ReadCameraPathFile(pathFile), 2.0);
    std::map<int, std::string> rendered;
    for (int n : {0, 10, 15}) {
        const std::string bitmap = dir_.Path() + Format("render%d.bmp", n);
        const TCliRun render = Run("render", {"-o", bitmap, "--size", Size(), "--camera",
                                              FormatCameraLocation(path.At(n / 10.0), 80)});
        ASSERT_EQ(render.Code, kCliDone) << render.Err;
        rendered[n] = BitmapRgb(ReadFileBytes(bitmap), kWidth, kHeight);
        // Between keyframes render gets the camera rounded to two decimals, which moves the
        // picture a little more than the video coding does.
        const double least = n % 10 == 0 ? 35.0 : 30.0; // keyframes every ten frames
        EXPECT_GT(Psnr(DecodedFrame(video, n, dir_.Path()), rendered[n]), least) << "frame " << n;
    }
    // The comparison tells views apart: frame 10 is not the first view.
    EXPECT_LT(Psnr(DecodedFrame(video, 10, dir_.Path()), rendered[0]), 25.0);
}

TEST_F(RecordCommandTest, WritesWebMAndPngFilesAndNothingWhenItFails) {
    const std::string webm = dir_.Path() + "lap.webm";
    TCliRun run = Run("record", {"-o", webm, "--seconds", "0.5", "--fps", "8", "--size", Size()});
    ASSERT_EQ(run.Code, kCliDone) << run.Err;
    auto probe = Probe(webm);
    EXPECT_EQ(probe["codec_name"], "vp9");
    EXPECT_EQ(probe["nb_read_frames"], "4");

    const std::string folder = dir_.Path() + "frames/";
    run = Run("record", {"-o", folder, "--seconds", "0.5", "--fps", "6", "--size", "33x17"});
    ASSERT_EQ(run.Code, kCliDone) << run.Err;
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(ReadFileBytes(folder + Format("frame%05d.png", n)).substr(1, 3), "PNG") << n;
    }
    EXPECT_FALSE(std::filesystem::exists(folder + "frame00003.png"));
    EXPECT_FALSE(std::filesystem::exists(dir_.Path() + "frames.part"));

    // Failures name the file and leave what was under the name as it was.
    const std::string kept = dir_.WriteFile("kept.mp4", "an older video");
    run = Run("record", {"-o", kept, "--size", "33x17"});
    EXPECT_EQ(run.Code, kCliFailed);
    EXPECT_NE(run.Err.find(kept), std::string::npos) << run.Err;
    EXPECT_EQ(ReadFileBytes(kept), "an older video");
    const std::string badPath = dir_.WriteFile("bad.txt", "nothing to see\n");
    run = Run("record", {"-o", kept, "--path", badPath, "--size", Size()});
    EXPECT_EQ(run.Code, kCliFailed);
    EXPECT_NE(run.Err.find(badPath + " line 1"), std::string::npos) << run.Err;
    EXPECT_EQ(ReadFileBytes(kept), "an older video");
    run = Run("record", {"-o", dir_.Path() + "fly.avi"});
    EXPECT_EQ(run.Code, kCliFailed);
    EXPECT_NE(run.Err.find(".mp4 or .webm"), std::string::npos) << run.Err;
    EXPECT_EQ(Run("record", {"-o", kept, "--fps", "0"}).Code, kCliUsage);

    // A recording given up half way leaves nothing, also not its temporary file.
    {
        TVideoWriter writer(kept, 32, 16, 30);
        const std::string black(32 * 16 * 4, '\0');
        writer.AddFrame(reinterpret_cast<const uint8_t*>(black.data()));
        EXPECT_TRUE(std::filesystem::exists(kept + ".part"));
    }
    EXPECT_EQ(ReadFileBytes(kept), "an older video");
    EXPECT_FALSE(std::filesystem::exists(kept + ".part"));
}

TEST_F(RecordCommandTest, RefusesToRecordOverTheArchiveOrTheSettingsTheTrackWasReadFrom) {
    // The writer asks nothing of its output but a video ending, so an archive or a settings file
    // under such a name is kept only by the check after the load.
    const std::string archive = dir_.Path() + "DEMO.mp4";
    std::filesystem::copy_file(demo_, archive);
    const std::string archiveBytes = ReadFileBytes(archive);
    const std::string settingsText = "[Settings]\r\nJPEGQuality=90\r\n";
    const std::string settings = dir_.WriteFile("settings.webm", settingsText);
    for (const std::string& output : {archive, settings}) {
        SCOPED_TRACE(output);
        const TCliRun run = Capture({"record", archive, "-o", output, "--seconds", "0.2", "--fps",
                                     "5", "--size", "64x36", "--ini", settings});
        EXPECT_EQ(run.Code, kCliFailed);
        EXPECT_NE(run.Err.find(output + ": will not write over " + output), std::string::npos)
            << run.Err;
        EXPECT_FALSE(std::filesystem::exists(output + ".part"));
    }
    EXPECT_TRUE(ReadFileBytes(archive) == archiveBytes) << "the archive was written over";
    EXPECT_EQ(ReadFileBytes(settings), settingsText);
}

} // namespace
