// The prepared renderer against the reference drawing: both draw the demo tracks and a test track
// from many cameras, view distances and display settings, with the objects shown in every picture
// but the one that hides them, and the pictures must be identical: colour, alpha and depth.
#include "core/base/ProgramFolder.h"
#include "core/formats/PalettePool.h"
#include "core/track/TrackData.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "core/view/Camera.h"
#include "core/view/CameraLocations.h"
#include "core/view/ViewCommands.h"
#include "render/FrameRender.h"
#include "render/GLContext.h"
#include "render/GLState.h"
#include "render/RenderContext.h"
#include "render/TrackLoader.h"
#include "tests/support/TrackFixture.h"
#include "tests/support/TrackTestSupport.h"
#include "tools/DemoTrack.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 150;
constexpr int kPixels = kWidth * kHeight;

struct TPicture {
    std::vector<uint8_t> Colors;
    std::vector<uint32_t> Depths; // 24-bit depth in the upper bits
};

float TranslationForCell(double cell) {
    return static_cast<float>(8 - cell * 16 / 255);
}

class RendererComparison : public ::testing::Test {
protected:
    static void SetUpTestSuite() { context_ = new THeadlessGLContext(kWidth, kHeight); }
    static void TearDownTestSuite() {
        delete context_;
        context_ = nullptr;
    }

    void SetUp() override {
        InitGLState();
        BuildSearchFolders(finder_, TStringList(5));
    }

    void LoadFrom(const std::string& programFolder, const std::string& archive,
                  const std::string& sitEntry) {
        SetProgramFolder(programFolder);
        render_.LoadMissingTexture();
        const TPodFile pod(archive);
        TStringList warnings;
        TQuietProgress progress;
        LoadTrack(render_, *track_, palettes_, pod, sitEntry, progress, warnings, finder_);
        ASSERT_TRUE(render_.Prepared().Ready());
    }

    TPicture Draw(TViewState view, TRendererKind renderer) {
        render_.SelectRenderer(renderer);
        view.FullFrame = true;
        TQuietFrameHost host;
        Panel1Resize(gl_, kWidth, kHeight, view.Camera.FOV);
        RenderFrame({render_, gl_, view, true, host});
        TPicture picture;
        picture.Colors.resize(static_cast<size_t>(kPixels) * 4);
        picture.Depths.resize(static_cast<size_t>(kPixels));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, picture.Colors.data());
        glReadPixels(0, 0, kWidth, kHeight, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT,
                     picture.Depths.data());
        return picture;
    }

    // Both renderers draw the view; every pixel must match, alpha included (what blending
    // leaves in the alpha channel differs before it differs in colour).
    void Compare(const TViewState& view, const std::string& what) {
        const TPicture reference = Draw(view, TRendererKind::Reference);
        const TPicture prepared = Draw(view, TRendererKind::Prepared);
        int differing = 0;
        for (size_t i = 0; i < static_cast<size_t>(kPixels); ++i) {
            if (!std::equal(&reference.Colors[i * 4], &reference.Colors[i * 4 + 4],
                            &prepared.Colors[i * 4]) ||
                reference.Depths[i] != prepared.Depths[i]) {
                ++differing;
            }
        }
        EXPECT_EQ(differing, 0) << what;
        totalDiffering_ += differing;
        ++pictures_;
    }

    // Centre and cells near every edge and corner, at each view distance; the map view; every
    // display toggle.
    void CompareEverywhere(const std::string& track) {
        TViewState start;
        start.Track = track_.get();
        ResetViewForTrackOpen(start, 50, true);
        GoToStartGrid(start);
        start.Display.ObjectsMode = 2;
        start.FollowTerrain = true;
        start.HeightAboveGround = 0.25;
        start.Camera.Tilt = 12;

        const int cells[3] = {4, 128, 251};
        int heading = 0;
        for (const int distance : {10, 50, 128, 255}) {
            for (const int row : cells) {
                for (const int column : cells) {
                    TViewState view = start;
                    view.ViewDistance = distance;
                    view.Camera.TransX = TranslationForCell(row);
                    view.Camera.TransZ = TranslationForCell(column);
                    view.Camera.Heading = static_cast<float>(heading);
                    heading = (heading + 67) % 360;
                    Compare(view, track + " cell " + std::to_string(row) + "," +
                                      std::to_string(column) + " distance " +
                                      std::to_string(distance));
                }
            }
        }

        TViewState map = start;
        map.ViewDistance = 255;
        ToggleMapView(map);
        Compare(map, track + " map view");

        using TToggle = std::function<void(TViewState&)>;
        const std::vector<std::pair<std::string, TToggle>> toggles{
            {"ground boxes hidden", [](TViewState& v) { ToggleGroundBoxes(v.Display); }},
            {"water hidden", [](TViewState& v) { ToggleWater(v.Display); }},
            {"checkpoints", [](TViewState& v) { ToggleCheckpoints(v.Display); }},
            {"backdrop hidden", [](TViewState& v) { ToggleBackdrop(v.Display); }},
            {"square area", [](TViewState& v) { ToggleAreaShape(v.Display); }},
            {"high tide", [](TViewState& v) { ToggleHighTide(v.Display); }},
            {"objects off", [](TViewState& v) { v.Display.ObjectsMode = 0; }},
            {"objects but checkpoints", [](TViewState& v) { v.Display.ObjectsMode = 1; }},
            {"night sky", [](TViewState& v) { SelectSkyPreset(v.Display, 4); }},
            {"dusk sky", [](TViewState& v) { SelectSkyPreset(v.Display, 3); }},
        };
        for (const auto& [name, toggle] : toggles) {
            for (const int distance : {50, 255}) {
                TViewState view = start;
                view.ViewDistance = distance;
                toggle(view);
                Compare(view, track + " " + name + " distance " + std::to_string(distance));
            }
        }
        std::printf("%s: %d pixels differ in %d pictures of %d pixels\n", track.c_str(),
                    totalDiffering_, pictures_, kPixels);
    }

    static THeadlessGLContext* context_;
    TRenderContext render_;
    TGLState gl_;
    std::unique_ptr<TTrackData> track_ = std::make_unique<TTrackData>();
    TPalettePool palettes_;
    TQRXFileFinder finder_;
    int totalDiffering_ = 0;
    int pictures_ = 0;
};

THeadlessGLContext* RendererComparison::context_ = nullptr;

TEST_F(RendererComparison, TheDemoValleyLooksTheSameFromEverywhere) {
    LoadFrom(DUNMERE_BIN_DIR, std::string(DUNMERE_BIN_DIR) + "/samples/DEMO.POD", "VALLEY.SIT");
    CompareEverywhere("Dunmere Valley");
}

TEST_F(RendererComparison, TheDemoArenaLooksTheSameFromEverywhere) {
    LoadFrom(DUNMERE_BIN_DIR, std::string(DUNMERE_BIN_DIR) + "/samples/DEMO.POD", "ARENA.SIT");
    CompareEverywhere("Dunmere Arena");
}

TEST_F(RendererComparison, TheTestTrackLooksTheSameFromEverywhere) {
    TTempDir program;
    WriteViewerData(program);
    TTrackFixture fixture;
    const std::string archive = program.Path() + "TRACK.POD";
    fixture.Pod().Write(archive);
    LoadFrom(program.Path(), archive, fixture.SitEntry);
    CompareEverywhere("test track");
}

// Towers whose faces change texture every 128 faces and blend in some bands of a texture with
// transparent texels, drawn opaque in others.
TEST_F(RendererComparison, ADenseTrackLooksTheSameFromEverywhere) {
    TTempDir program;
    WriteViewerData(program);
    const std::string archive = program.Path() + "DENSE.POD";
    BuildDenseArchive(120, 640).Write(archive);
    LoadFrom(program.Path(), archive, "DENSE.SIT");
    CompareEverywhere("dense track");
}

} // namespace
