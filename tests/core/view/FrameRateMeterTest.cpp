// The frame-rate overlay counts frames that reached the screen, so that it agrees with the
// stopwatch of Help > Test FPS however the time of a frame splits between the drawing calls and
// the driver finishing the picture.
#include "core/view/FrameRateMeter.h"
#include "core/view/ViewCommands.h"

#include <gtest/gtest.h>

namespace {

using TClock = TFrameRateMeter::TClock;
using std::chrono::microseconds;

// Feeds count frames drawn back to back from begin: each takes callsUs in the drawing calls
// and frameUs until it has been presented. Returns when the last was presented.
TClock::time_point DrawBackToBack(TFrameRateMeter& meter, TClock::time_point begin, int count,
                                  int callsUs, int frameUs) {
    TClock::time_point start = begin;
    for (int i = 0; i < count; ++i) {
        meter.FramePresented(start, start + microseconds(callsUs), start + microseconds(frameUs));
        start += microseconds(frameUs);
    }
    return start;
}

TEST(FrameRateMeter, CountsPresentedFramesAndAgreesWithTheFrameRateTest) {
    // A software rasteriser: 13 ms in the drawing calls, 322 ms until the picture is on screen.
    TFrameRateMeter meter;
    const TClock::time_point begin{};
    const TClock::time_point testStart = DrawBackToBack(meter, begin, 5, 13000, 322000);
    const TClock::time_point testEnd =
        DrawBackToBack(meter, testStart, kFpsTestFrames, 13000, 322000);
    const double overlay = meter.FramesPerSecond(testEnd);
    EXPECT_NEAR(overlay, 1e6 / 322000, 0.01);
    const double seconds = std::chrono::duration<double>(testEnd - testStart).count();
    EXPECT_NEAR(overlay, kFpsTestFrames / seconds, 0.1 * overlay);
    EXPECT_EQ(FpsMessage(kFpsTestFrames, seconds), "3.1 frames per second");
    EXPECT_DOUBLE_EQ(meter.LastFrameMilliseconds(), 13.0);

    // Fast frames right after the slow ones: the figure follows within a second.
    const TClock::time_point fastEnd = DrawBackToBack(meter, testEnd, 100, 2000, 10000);
    EXPECT_NEAR(meter.FramesPerSecond(fastEnd), 100, 1);
}

TEST(FrameRateMeter, APauseIsNotASlowFrame) {
    TFrameRateMeter meter;
    EXPECT_EQ(meter.FramesPerSecond(TClock::time_point{}), 0);
    EXPECT_EQ(meter.LastFrameMilliseconds(), 0);
    TClock::time_point end = DrawBackToBack(meter, TClock::time_point{}, 30, 5000, 20000);
    EXPECT_NEAR(meter.FramesPerSecond(end), 50, 0.01);
    // Nothing presented for a second: no figure rather than a stale one.
    end += std::chrono::seconds(10);
    EXPECT_EQ(meter.FramesPerSecond(end), 0);
    // One frame after the pause gives the rate its own time allows, not one over ten seconds.
    end = DrawBackToBack(meter, end, 1, 5000, 25000);
    EXPECT_NEAR(meter.FramesPerSecond(end), 40, 0.01);
    // Frames slower than one a second still show their rate.
    end = DrawBackToBack(meter, end, 3, 1000000, 1250000);
    EXPECT_NEAR(meter.FramesPerSecond(end), 0.8, 0.001);
}

} // namespace
