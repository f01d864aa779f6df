#include "core/view/FrameRateMeter.h"

namespace {

constexpr std::chrono::seconds kWindow{1};

} // namespace

void TFrameRateMeter::FramePresented(TClock::time_point start, TClock::time_point drawn,
                                     TClock::time_point presented) {
    frames_.push_back({start, presented});
    while (frames_.front().Presented <= presented - kWindow) {
        frames_.pop_front();
    }
    lastFrameMilliseconds_ = std::chrono::duration<double, std::milli>(drawn - start).count();
}

double TFrameRateMeter::FramesPerSecond(TClock::time_point now) const {
    auto first = frames_.begin();
    while (first != frames_.end() && first->Presented <= now - kWindow) {
        ++first;
    }
    if (first == frames_.end()) {
        return 0;
    }
    const std::chrono::duration<double> span = frames_.back().Presented - first->Start;
    if (span.count() <= 0) {
        return 0;
    }
    return static_cast<double>(frames_.end() - first) / span.count();
}
