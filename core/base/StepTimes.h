// Load time by step: a progress that passes everything on to another one and notes how long each
// action (each SetAction text) took, so a load's steps can be timed without the loader knowing.
#pragma once

#include "core/base/Feedback.h"

#include <chrono>
#include <string>
#include <utility>
#include <vector>

struct TStepTime {
    std::string Step;
    double Milliseconds = 0;
};

class TTimedProgress : public TLoadProgress {
public:
    explicit TTimedProgress(TLoadProgress& inner) : inner_(inner) {}

    void SetAction(const std::string& text) override;
    void SetSubAction(const std::string& text) override { inner_.SetSubAction(text); }
    std::string Caption() const override { return inner_.Caption(); }
    void SetCaption(const std::string& text) override { inner_.SetCaption(text); }
    void SetRange(int minimum, int maximum) override { inner_.SetRange(minimum, maximum); }
    void SetPosition(int position) override { inner_.SetPosition(position); }
    void SetStep(int step) override { inner_.SetStep(step); }
    void StepIt() override { inner_.StepIt(); }

    // Ends the step under way; an action shown twice adds to its first entry.
    std::vector<TStepTime> Finish();

private:
    void EndStep();

    TLoadProgress& inner_;
    std::vector<TStepTime> steps_;
    std::string current_;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};
