// dunmere-first-frame ARCHIVE DISTANCE [--trim-heap]: loads the archive's first track in a
// headless 640 x 480 context and prints the time of the first full frame at the start grid with
// the given view distance. Without --trim-heap the program keeps its freed heap for reuse as the
// viewer and the tool do; with it glibc's default trimming stays, to show what that costs.
#include "bench/BenchGL.h"
#include "bench/BenchLoad.h"
#include "core/base/Heap.h"
#include "core/base/ProgramFolder.h"
#include "core/formats/PalettePool.h"
#include "render/FrameRender.h"
#include "render/GLContext.h"
#include "render/RenderContext.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: dunmere-first-frame ARCHIVE DISTANCE [--trim-heap]\n");
        return 2;
    }
    const bool trimHeap = argc > 3 && std::strcmp(argv[3], "--trim-heap") == 0;
    if (!trimHeap) {
        KeepFreedHeapForReuse();
    }
    try {
        TBenchGL gl;
        TRenderContext& render = gl.Render;
        TQRXFileFinder finder;
        BuildSearchFolders(finder, TStringList(5));
        const auto track = std::make_unique<TTrackData>();
        TPalettePool palettes;
        LoadFirstTrack(render, *track, palettes, argv[1], finder);

        TViewState view = StartGridView(*track, std::atoi(argv[2]));
        view.Display.ObjectsMode = 2;
        TQuietFrameHost host;
        const auto start = std::chrono::steady_clock::now();
        RenderFrame({render, gl.GL, view, true, host});
        WaitForDrawing();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        std::printf("first frame ms: %.1f (%s)\n", took.count(),
                    trimHeap ? "glibc's heap trimming" : "freed heap kept");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
