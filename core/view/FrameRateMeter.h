// The frame rate the user sees. Frames are counted when they have been presented on screen, so
// the time the GL driver takes to finish a picture, the buffer swap and the event loop between
// frames count as much as the drawing calls; timing only the calls reads many times too high
// with a software rasteriser, which does its work when the picture is finished.
#pragma once

#include <chrono>
#include <deque>

class TFrameRateMeter {
public:
    using TClock = std::chrono::steady_clock;

    // One presented frame: its drawing began at start, all its drawing had been carried out at
    // drawn, and it reached the screen at presented.
    void FramePresented(TClock::time_point start, TClock::time_point drawn,
                        TClock::time_point presented);

    // Frames presented in the second before now, over the time from the start of the first of
    // them to the presentation of the last. A lone frame therefore gives the rate its own time
    // allows, and 20 frames drawn back to back give what a stopwatch around them gives. 0 when
    // no frame was presented in that second.
    double FramesPerSecond(TClock::time_point now) const;

    // From the start of the last presented frame until its drawing was carried out; 0 before
    // any frame.
    double LastFrameMilliseconds() const { return lastFrameMilliseconds_; }

private:
    struct TFrame {
        TClock::time_point Start;
        TClock::time_point Presented;
    };
    std::deque<TFrame> frames_; // oldest first, none presented more than a second before the last
    double lastFrameMilliseconds_ = 0;
};
