#include "render/FlyThroughRecording.h"

#include "core/export/VideoWriter.h"
#include "core/formats/GLBMP.h"
#include "core/view/CameraPath.h"
#include "render/FrameRender.h"
#include "render/ScreenGrab.h"

#include <algorithm>
#include <chrono>
#include <cmath>

int RecordingFrames(double seconds, int framesPerSecond) {
    return std::max(1, static_cast<int>(std::lround(seconds * framesPerSecond)));
}

bool RecordFlyThrough(TRenderContext& render, TViewState& view, const TCameraPath& path,
                      int framesPerSecond, int frames, int width, int height, TVideoWriter& writer,
                      const std::function<bool(const TRecordingProgress&)>& afterFrame) {
    TQuietFrameHost host;
    TGLBMP image;
    view.FullFrame = true;
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < frames; ++n) {
        view.Camera = path.At(static_cast<double>(n) / framesPerSecond);
        // The field of view may change along the path.
        Panel1Resize(render, width, height, view.Camera.FOV);
        RenderFrame({render, view, true, host});
        GrabScreen(image);
        writer.AddFrame(image.Pixels.data());

        TRecordingProgress progress;
        progress.FramesDone = n + 1;
        progress.Frames = frames;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        progress.SecondsLeft = took.count() / (n + 1) * (frames - n - 1);
        if (afterFrame && !afterFrame(progress)) {
            return false;
        }
    }
    return true;
}
