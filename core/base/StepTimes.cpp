#include "core/base/StepTimes.h"

#include <algorithm>

void TTimedProgress::SetAction(const std::string& text) {
    EndStep();
    current_ = text;
    inner_.SetAction(text);
}

std::vector<TStepTime> TTimedProgress::Finish() {
    EndStep();
    current_.clear();
    return steps_;
}

void TTimedProgress::EndStep() {
    const auto now = std::chrono::steady_clock::now();
    if (!current_.empty()) {
        const double took = std::chrono::duration<double, std::milli>(now - started_).count();
        const auto same = std::find_if(steps_.begin(), steps_.end(),
                                       [this](const TStepTime& s) { return s.Step == current_; });
        if (same != steps_.end()) {
            same->Milliseconds += took;
        } else {
            steps_.push_back({current_, took});
        }
    }
    started_ = now;
}
