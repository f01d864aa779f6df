// Load, draw and search timings on the demo, stress and dense archives; frames with both
// renderers. The archives come from the demo generator (bench.sh makes them): samples/DEMO.POD,
// samples/STRESS.POD and samples/DENSE.POD beside the program, or the paths in DUNMERE_DEMO_POD,
// DUNMERE_STRESS_POD and DUNMERE_DENSE_POD.
#include "bench/BenchGL.h"
#include "bench/BenchLoad.h"
#include "bench/BenchTrack.h"
#include "core/base/Heap.h"
#include "core/base/ProgramFolder.h"
#include "core/track/TrackData.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "core/view/CameraLocations.h"
#include "core/view/Pick.h"
#include "render/FrameRender.h"
#include "render/GLContext.h"
#include "render/PickScene.h"
#include "render/RenderContext.h"
#include "render/TrackLoader.h"
#include "tools/GameWriters.h"
#include "tools/PodWriter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <sys/resource.h>

namespace {

std::string ArchivePath(const char* variable, const char* fileName) {
    const char* path = std::getenv(variable);
    return path != nullptr ? path : ProgramFolder() + "samples/" + fileName;
}

// One GL context for the whole run.
TBenchGL& BenchGL() {
    static TBenchGL gl;
    return gl;
}

TRenderContext& Render() {
    return BenchGL().Render;
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
    LoadFirstTrack(Render(), BenchTrack(), BenchPalettes(), path, Finder());
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
BENCHMARK_CAPTURE(LoadTrackBenchmark, dense, "DUNMERE_DENSE_POD", "DENSE.POD")
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
    TViewState view = StartGridView(BenchTrack(), 50);
    if (distance == kMapView) {
        ToggleMapView(view);
        view.ViewDistance = 255;
    } else {
        view.ViewDistance = distance;
    }
    view.Display.ObjectsMode = state.range(1) != 0 ? 2 : 0;
    Render().SelectRenderer(state.range(2) == 0 ? TRendererKind::Prepared
                                                : TRendererKind::Reference);
    if (state.range(3) != 0) {
        ClipToOnePixel(true);
    }
    TQuietFrameHost host;
    for (auto _ : state) {
        view.FullFrame = true;
        RenderFrame({Render(), BenchGL().GL, view, true, host});
        WaitForDrawing();
    }
    ClipToOnePixel(false);
    Render().SelectRenderer(TRendererKind::Prepared);
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
BENCHMARK_CAPTURE(RenderFrameBenchmark, dense, "DUNMERE_DENSE_POD", "DENSE.POD")
    ->Apply(FrameArguments);

// A pick on the demo at the start grid with every object shown, view distance 255 (the most cells
// and objects a pick can meet): args the pixel row, 240 for the track ahead, 10 for the sky (a ray
// that meets nothing and so tests everything).
void PickBenchmark(benchmark::State& state) {
    Render();
    LoadedTrack(ArchivePath("DUNMERE_DEMO_POD", "DEMO.POD"));
    TViewState view = StartGridView(BenchTrack(), 255);
    view.Display.ObjectsMode = 2;
    view.Display.ShowCheckpoints = true;
    const TPickRay ray = PickRay(view, 640, 480, 320, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const TPickScene scene = FramePickScene(Render(), view);
        benchmark::DoNotOptimize(Pick(scene, ray));
    }
}
BENCHMARK(PickBenchmark)->ArgName("row")->Arg(240)->Arg(10)->Unit(benchmark::kMillisecond);

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

// Processor time of this thread: the other programs of a busy machine do not count in it.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// Growth with the input: each iteration measures secondsFor(n) and secondsFor(4n); the counter
// ratio is the second over the first, 4 for linear growth and 16 for quadratic.
void MeasureGrowthOf(benchmark::State& state, const std::function<double(int)>& secondsFor) {
    const int n = static_cast<int>(state.range(0));
    double small = 0;
    double large = 0;
    for (auto _ : state) {
        small += secondsFor(n);
        large += secondsFor(4 * n);
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["n_ms"] = 1000 * small / runs;
    state.counters["4n_ms"] = 1000 * large / runs;
    state.counters["ratio"] = large / small;
}

// The growth of work(n) in this thread's processor time, on inputs made beforehand. The sizes are
// chosen so that neither fits the processor caches, which would make the smaller one look faster
// per item than the algorithm makes it. Each size runs once untimed right before its timed run, so
// that neither pays for the memory the other size gave back.
void MeasureGrowth(benchmark::State& state, const std::function<void(int)>& work) {
    MeasureGrowthOf(state, [&work](int size) {
        work(size);
        const double start = ThreadSeconds();
        work(size);
        return ThreadSeconds() - start;
    });
}

// An archive of count track descriptions that all claim the whole file, over a body of count
// lines with the track name at its end: every description's lines cover every other's.
std::string OverlappingTracksArchive(int count) {
    std::string body;
    for (int k = 0; k < count; ++k) {
        body += "line " + std::to_string(k) + "\r\n";
    }
    body += "!Race Track Name\r\nEverywhere\r\n";
    TByteWriter bytes;
    bytes.I32(count).FixedText("", 80);
    for (int k = 0; k < count; ++k) {
        bytes.FixedText("T" + std::to_string(k) + ".SIT", 32)
            .I32(static_cast<int32_t>(body.size()))
            .I32(84 + 40 * count);
    }
    return bytes.Raw(body).Bytes();
}

// Inputs are written once per size, into one folder for the whole run.
std::string MadeOnce(const std::string& name, int count, std::string (*bytes)(int)) {
    static const TTempDir folder;
    const std::string path = folder.Path() + name + std::to_string(count) + ".POD";
    if (!std::filesystem::exists(path)) {
        WriteFileBytes(path, bytes(count));
    }
    return path;
}

// The command-line tool's tracks command is this: open the archive, list its descriptions.
void OpenOverlappingArchiveBenchmark(benchmark::State& state) {
    MeasureGrowth(state, [](int count) {
        const TPodFile pod(MadeOnce("OVERLAP", count, OverlappingTracksArchive));
        benchmark::DoNotOptimize(pod.SitEntries().size());
    });
}
// 3 200 descriptions make an archive of 160 KB; 64 000 make one of 3.2 MB, whose directory and
// name index no longer fit the processor's caches.
BENCHMARK(OpenOverlappingArchiveBenchmark)
    ->Arg(3200)
    ->Arg(64000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// An archive of count small entries, every other one a track description (1 000 and 4 000
// descriptions at the sizes measured).
std::string ManyEntriesArchive(int count) {
    TPodWriter writer;
    for (int k = 0; k < count; ++k) {
        const bool track = k % 2 == 0;
        writer.Add("ART\\E" + std::to_string(k) + (track ? ".SIT" : ".RAW"),
                   track ? CrLfLines({"T.LVL", "!Race Track Name", "Track"}) : "x");
    }
    return writer.Bytes();
}

// Opening it, then a lookup of every name.
void OpenAndLookUpArchiveBenchmark(benchmark::State& state) {
    MeasureGrowth(state, [](int count) {
        const TPodFile pod(MadeOnce("ENTRIES", count, ManyEntriesArchive));
        for (int k = 0; k < count; ++k) {
            benchmark::DoNotOptimize(pod.FindEntry("art\\e" + std::to_string(k) + ".raw"));
        }
    });
}
BENCHMARK(OpenAndLookUpArchiveBenchmark)->Arg(2000)->Unit(benchmark::kMillisecond);

// A whole track whose texture list names count distinct textures, none of them to be found:
// each goes through the texture pool, the finder's caches and the once-only warnings.
// A track on a level of textureNames, placing one box of each model named.
std::string LargeTrack(const std::vector<std::string>& textureNames,
                       const std::vector<std::string>& modelNames) {
    TLevelDescription level;
    level.AltitudeFile = "BIG.AL3";
    level.TexIndexFile = "BIG.TEX";
    level.TextureListFile = "BIG.LST";
    level.LightMapFile = "BIG.LIT";
    TTrackDescription track;
    track.LevelFile = "BIG.LVL";
    track.TrackName = "Many Names";
    for (size_t k = 0; k < modelNames.size(); ++k) {
        TBoxRecord box;
        box.Label = "BOX" + std::to_string(k);
        box.X = static_cast<double>(k % 256) * 16;
        box.Z = static_cast<double>(k / 256 % 256) * 16;
        box.Model = modelNames[k];
        track.Boxes.push_back(box);
    }
    TPodWriter writer;
    writer.Add("BIG.SIT", SitText(track))
        .Add("LEVELS\\BIG.LVL", LvlText(level))
        .Add("DATA\\BIG.AL3", std::string(256 * 256, '\0'))
        .Add("DATA\\BIG.AL0", std::string(256 * 256, '\0'))
        .Add("DATA\\BIG.AL1", std::string(256 * 256, '\0'))
        .Add("DATA\\BIG.TEX", std::string(256 * 256 * 2, '\0'))
        .Add("DATA\\BIG.TE0", std::string(256 * 256 * 12, '\0'))
        .Add("DATA\\BIG.LIT", std::string(256 * 256 * 7, '\xff'))
        .Add("DATA\\BIG.LST", TextureListText(textureNames));
    return writer.Bytes();
}

std::vector<std::string> NumberedNames(const std::string& stem, int count,
                                       const std::string& ending) {
    std::vector<std::string> names;
    for (int k = 0; k < count; ++k) {
        names.push_back(stem + std::to_string(k) + ending);
    }
    return names;
}

// A texture list of count names found nowhere.
std::string TextureListTrack(int count) {
    return LargeTrack(NumberedNames("TEX", count, ".RAW"), {});
}

// count boxes, each of a model of its own that is found nowhere.
std::string MissingModelsTrack(int count) {
    return LargeTrack({"GRASS.RAW"}, NumberedNames("M", count, ".BIN"));
}

void TextureListLoadBenchmark(benchmark::State& state) {
    Render();
    MeasureGrowth(state, [](int count) {
        const std::string path = MadeOnce("TEXTURES", count, TextureListTrack);
        // A finder of its own each time: the caches of one run would answer the next.
        TQRXFileFinder finder;
        BuildSearchFolders(finder, TStringList(5));
        const TPodFile pod(path);
        TStringList warnings;
        TQuietProgress progress;
        LoadTrack(Render(), BenchTrack(), BenchPalettes(), pod, "BIG.SIT", progress, warnings,
                  finder);
    });
}
BENCHMARK(TextureListLoadBenchmark)->Arg(8000)->Iterations(1)->Unit(benchmark::kMillisecond);

// Cached finder answers: count names found once, then asked for again in another letter case.
void FinderCachedLookupBenchmark(benchmark::State& state) {
    MeasureGrowth(state, [](int count) {
        TQRXFileFinder finder;
        for (int k = 0; k < count; ++k) {
            finder.FoundCache.Add("ART\\F" + std::to_string(k) + ".RAW=F/somewhere");
            finder.MissingCache.Add("ART\\M" + std::to_string(k) + ".RAW=XXX");
        }
        for (int k = 0; k < count; ++k) {
            benchmark::DoNotOptimize(finder.Locate("art\\f" + std::to_string(k) + ".raw"));
            benchmark::DoNotOptimize(finder.Locate("art\\m" + std::to_string(k) + ".raw"));
        }
    });
}
BENCHMARK(FinderCachedLookupBenchmark)->Arg(50000)->Unit(benchmark::kMillisecond);

// Processor time of the finished child processes, which the tool's runs are.
double ChildSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// A search folder of a few hundred loose files in a few subfolders, none of them a texture.
const std::string& SearchFolderOfOtherFiles() {
    static const TTempDir folder;
    static const bool filled = [] {
        for (int i = 0; i < 400; ++i) {
            folder.WriteFile("sub" + std::to_string(i / 50) + "/OTHER" + std::to_string(i) + ".RAW",
                             "x");
        }
        return true;
    }();
    (void)filled;
    return folder.Path();
}

// Whole runs of "dunmeregl-cli load" (DUNMERE_CLI names another build of the tool to compare
// with) on a track that asks for count files found nowhere (textures of its texture list or
// models of its boxes), with a search folder: every name goes through the archive, the finder,
// the asset log and the once-only warnings.
void CliLoadBenchmark(benchmark::State& state, const char* kind,
                      std::string (*makeTrack)(int count)) {
    const char* other = std::getenv("DUNMERE_CLI");
    const std::string cli = other != nullptr ? other : ProgramFolder() + "dunmeregl-cli";
    const std::string search = SearchFolderOfOtherFiles();
    static const TTempDir work;
    MeasureGrowthOf(state, [&](int count) {
        const std::string archive = MadeOnce(kind, count, makeTrack);
        const std::string command = "cd '" + work.Path() + "' && '" + cli + "' load '" + archive +
                                    "' --search '" + search + "' --ini '" + work.Path() +
                                    "none.ini' >/dev/null 2>&1";
        const double start = ChildSeconds();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("the load failed");
        }
        return ChildSeconds() - start;
    });
}
BENCHMARK_CAPTURE(CliLoadBenchmark, textures, "CLILOADTEX", TextureListTrack)
    ->Arg(8000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
// 25000 reaches the hundred thousand distinct missing models of a hostile track description.
BENCHMARK_CAPTURE(CliLoadBenchmark, models, "CLILOADMODELS", MissingModelsTrack)
    ->Arg(8000)
    ->Arg(25000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

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
