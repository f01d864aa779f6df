// Recording a fly-through: every frame of a camera path drawn into the current GL context's
// viewport at exact times (frame n at n / fps seconds, however long a frame takes to draw), read
// back and handed to a video writer. Drawn as the tool's render command draws one frame: a full
// frame with objects, so frame n is the picture `render` makes with the path's camera at that time.
#pragma once

#include <functional>

class TCameraPath;
class TRenderContext;
class TVideoWriter;
struct TViewState;

struct TRecordingProgress {
    int FramesDone = 0;
    int Frames = 0;
    double SecondsLeft = 0; // estimated from the frames so far
};

// Frames needed for seconds at framesPerSecond (at least one).
int RecordingFrames(double seconds, int framesPerSecond);

// Draws frames frames of path at width x height into writer (which it does not finish), the view's
// camera set per frame and left at the last frame's; afterFrame runs after each and stops the
// recording by returning false. Returns false when stopped so. Whatever a frame or the writer
// raises goes to the caller.
bool RecordFlyThrough(TRenderContext& render, TViewState& view, const TCameraPath& path,
                      int framesPerSecond, int frames, int width, int height, TVideoWriter& writer,
                      const std::function<bool(const TRecordingProgress&)>& afterFrame);
