// Load, draw and search timings on the demo and stress archives; frames with both renderers. The
// archives come from the demo generator (bench.sh makes them): samples/DEMO.POD and
// samples/STRESS.POD beside the program, or the paths in DUNMERE_DEMO_POD and DUNMERE_STRESS_POD.
#include "core/base/Heap.h"
#include "core/base/ProgramFolder.h"
#include "core/track/TrackData.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "core/view/Camera.h"
#include "core/view/CameraLocations.h"
#include "core/view/ViewCommands.h"
#include "render/FrameRender.h"
#include "render/GLContext.h"
#include "render/RenderContext.h"
#include "render/TrackLoader.h"
#include "tools/PodWriter.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

std::string ArchivePath(const char* variable, const char* fileName) {
    const char* path = std::getenv(variable);
    return path != nullptr ? path : ProgramFolder() + "samples/" + fileName;
}

// One GL context for the whole run, with the render context that belongs to it.
struct TBenchGL {
    TBenchGL() {
        InitGLState();
        Render.Textures.LoadMissingTexture();
        Panel1Resize(Render, 640, 480, 60);
    }
    THeadlessGLContext Context{640, 480};
    TRenderContext Render;
};

TRenderContext& Render() {
    static TBenchGL gl;
    return gl.Render;
}

TQRXFileFinder& Finder() {
    static TQRXFileFinder finder = [] {
        TQRXFileFinder made;
        BuildSearchFolders(made, TStringList(5));
        return made;
    }();
    return finder;
}

void Load(const std::string& path) {
    const TPodFile pod(path);
    TStringList warnings;
    TQuietProgress progress;
    LoadTrack(Render(), pod, NamePart(pod.SitEntries().front()), progress, warnings, Finder());
}

void LoadTrackBenchmark(benchmark::State& state, const char* variable, const char* fileName) {
    Render();
    const std::string path = ArchivePath(variable, fileName);
    for (auto _ : state) {
        Load(path);
    }
}
BENCHMARK_CAPTURE(LoadTrackBenchmark, demo, "DUNMERE_DEMO_POD", "DEMO.POD")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadTrackBenchmark, stress, "DUNMERE_STRESS_POD", "STRESS.POD")
    ->Unit(benchmark::kMillisecond);

// The loaded track of the frame benchmarks; loading is left out of their time.
const std::string& LoadedTrack(const std::string& wanted) {
    static std::string loaded;
    if (loaded != wanted) {
        Load(wanted);
        loaded = wanted;
    }
    return loaded;
}

// A map view distance: the map camera with the view distance 255.
constexpr int kMapView = 0;

// RenderFrame at the start grid with one renderer: args view distance (kMapView for the map
// view), objects hidden (a movement frame) or shown (a full frame), renderer (0 prepared,
// 1 reference) and a 1 x 1 scissor (1: no pixel is filled, what is left is the rest of the cost).
void RenderFrameBenchmark(benchmark::State& state, const char* variable, const char* fileName) {
    Render();
    LoadedTrack(ArchivePath(variable, fileName));
    const int distance = static_cast<int>(state.range(0));
    TViewState view;
    ResetViewForTrackOpen(view, 50, true);
    GoToStartGrid(view);
    if (distance == kMapView) {
        ToggleMapView(view);
        view.ViewDistance = 255;
    } else {
        view.ViewDistance = distance;
    }
    view.Display.ObjectsMode = state.range(1) != 0 ? 2 : 0;
    Render().Renderer = state.range(2) == 0 ? TRendererKind::Prepared : TRendererKind::Reference;
    if (state.range(3) != 0) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 1, 1);
    }
    TQuietFrameHost host;
    for (auto _ : state) {
        view.FullFrame = true;
        RenderFrame({Render(), view, true, host});
        glFinish();
    }
    glDisable(GL_SCISSOR_TEST);
    Render().Renderer = TRendererKind::Prepared;
}

void FrameArguments(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgNames({"distance", "objects", "reference", "scissor"});
    for (const int distance : {50, 128, 255, kMapView}) {
        for (const int objects : {0, 1}) {
            benchmark->Args({distance, objects, 1, 0});
            benchmark->Args({distance, objects, 0, 0});
            benchmark->Args({distance, objects, 0, 1});
        }
    }
    benchmark->Unit(benchmark::kMillisecond);
}
BENCHMARK_CAPTURE(RenderFrameBenchmark, demo, "DUNMERE_DEMO_POD", "DEMO.POD")
    ->Apply(FrameArguments);
BENCHMARK_CAPTURE(RenderFrameBenchmark, stress, "DUNMERE_STRESS_POD", "STRESS.POD")
    ->Apply(FrameArguments);

// Locate of a name found nowhere, in a search folder of 10 000 files and 50 archives.
void LocateMissingBenchmark(benchmark::State& state) {
    static const TTempDir folder;
    static const bool filled = [] {
        for (int i = 0; i < 10000; ++i) {
            folder.WriteFile("sub" + std::to_string(i / 500) + "/FILE" + std::to_string(i) + ".RAW",
                             "x");
        }
        for (int i = 0; i < 50; ++i) {
            TPodWriter pod;
            for (int k = 0; k < 100; ++k) {
                pod.Add("ART\\T" + std::to_string(k) + ".RAW", "x");
            }
            pod.Write(folder.Path() + "ARCHIVE" + std::to_string(i) + ".POD");
        }
        return true;
    }();
    (void)filled;
    for (auto _ : state) {
        TQRXFileFinder finder;
        BuildSearchFolders(finder, {folder.Path(), "", "", "", ""});
        benchmark::DoNotOptimize(finder.Locate("ART\\NOWHERE.RAW"));
    }
}
BENCHMARK(LocateMissingBenchmark)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    KeepFreedHeapForReuse();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
