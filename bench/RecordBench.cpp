// dunmere-record-bench ARCHIVE [SECONDS [FPS [WxH]]]: loads the archive's first track in a
// headless context, then flies its course twice at the given size (default 20 s at 30 frames/s,
// 1280x720): once only drawing and waiting for each frame, once recording it to an H.264 file in
// a temporary folder. Prints both times and their ratio, the cost of recording over drawing.
#include "bench/BenchGL.h"
#include "bench/BenchLoad.h"
#include "core/base/Heap.h"
#include "core/base/ProgramFolder.h"
#include "core/export/VideoWriter.h"
#include "core/formats/PalettePool.h"
#include "core/view/CameraPathSources.h"
#include "render/FlyThroughRecording.h"
#include "render/FrameRender.h"
#include "render/GLContext.h"
#include "render/RenderContext.h"
#include "tools/PodWriter.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <memory>

namespace {

struct TClocks {
    std::chrono::steady_clock::time_point Wall = std::chrono::steady_clock::now();
    std::clock_t Processor = std::clock(); // every thread's, llvmpipe's and the encoder's too
};

struct TTook {
    double Wall;
    double Processor;
};

TTook Since(const TClocks& start) {
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start.Wall).count(),
            static_cast<double>(std::clock() - start.Processor) / CLOCKS_PER_SEC};
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: dunmere-record-bench ARCHIVE [SECONDS [FPS [WxH]]]\n");
        return 2;
    }
    const double seconds = argc > 2 ? std::atof(argv[2]) : 20.0;
    const int fps = argc > 3 ? std::atoi(argv[3]) : 30;
    int width = 1280;
    int height = 720;
    if (argc > 4 && std::sscanf(argv[4], "%dx%d", &width, &height) != 2) {
        std::fprintf(stderr, "dunmere-record-bench: size is WxH, not %s\n", argv[4]);
        return 2;
    }
    KeepFreedHeapForReuse();
    try {
        TBenchGL gl(width, height);
        TRenderContext& render = gl.Render;
        TQRXFileFinder finder;
        BuildSearchFolders(finder, TStringList(5));
        const auto track = std::make_unique<TTrackData>();
        TPalettePool palettes;
        LoadFirstTrack(render, *track, palettes, argv[1], finder);

        TViewState view = StartGridView(*track, 50);
        const TCameraPath path(CourseKeyframes(view, kDefaultCourseHeight), seconds,
                               CourseOptions(view));
        const int frames = RecordingFrames(seconds, fps);
        TQuietFrameHost host;

        TClocks start;
        for (int n = 0; n < frames; ++n) {
            view.Camera = path.At(static_cast<double>(n) / fps);
            Panel1Resize(gl.GL, width, height, view.Camera.FOV);
            RenderFrame({render, gl.GL, view, true, host});
            WaitForDrawing();
        }
        const TTook drawing = Since(start);

        TTempDir dir;
        start = TClocks();
        {
            TVideoWriter writer(dir.Path() + "course.mp4", width, height, fps);
            RecordFlyThrough(render, view, path, fps, frames, width, height, writer, nullptr);
            writer.Finish();
        }
        const TTook recording = Since(start);
        // The processor time stays fair on a machine that others are using too.
        std::printf("%d frames at %dx%d\n"
                    "  drawing   %7.2f s wall %7.2f s processor\n"
                    "  recording %7.2f s wall %7.2f s processor\n"
                    "  ratio     %7.2f      %7.2f\n",
                    frames, width, height, drawing.Wall, drawing.Processor, recording.Wall,
                    recording.Processor, recording.Wall / drawing.Wall,
                    recording.Processor / drawing.Processor);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
