#include "render/FlyThroughRecording.h"

#include "core/export/VideoWriter.h"
#include "core/view/CameraPath.h"
#include "render/FrameRender.h"
#include "render/GLState.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace {

// The screen grab's pixels without its fresh buffer and opaque alpha per frame: the encoder reads
// no alpha, and at video sizes both cost a noticeable share of a frame.
void ReadFrame(int width, int height, std::vector<uint8_t>& pixels) {
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
}

} // namespace

int RecordingFrames(double seconds, int framesPerSecond) {
    return std::max(1, static_cast<int>(std::lround(seconds * framesPerSecond)));
}

bool RecordFlyThrough(TRenderContext& render, TViewState& view, const TCameraPath& path,
                      int framesPerSecond, int frames, int width, int height, TVideoWriter& writer,
                      const std::function<bool(const TRecordingProgress&)>& afterFrame) {
    TQuietFrameHost host;
    // The frames go to a target of their own size, so its viewport is not the view panel's.
    TGLState gl;
    std::vector<uint8_t> pixels;
    view.FullFrame = true;
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < frames; ++n) {
        view.Camera = path.At(static_cast<double>(n) / framesPerSecond);
        // The field of view may change along the path.
        Panel1Resize(gl, width, height, view.Camera.FOV);
        RenderFrame({render, gl, view, true, host});
        ReadFrame(width, height, pixels);
        writer.AddFrame(pixels.data());

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
