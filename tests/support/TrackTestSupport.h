// Recorders and helpers shared by the track and quad tests: a progress window and message sink
// that remember what they were told, a session log read back from a temporary folder, and a
// fresh track for each test.
#pragma once

#include "core/base/Feedback.h"
#include "core/base/Logging.h"
#include "core/track/TrackData.h"
#include "core/vfs/PodFile.h"
#include "tests/support/LogCapture.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

class TRecordingProgress : public TLoadProgress {
public:
    void SetAction(const std::string& text) override { Events.push_back("action " + text); }
    void SetSubAction(const std::string& text) override { Events.push_back("sub " + text); }
    std::string Caption() const override { return caption; }
    void SetCaption(const std::string& text) override { caption = text; }
    void SetRange(int minimum, int maximum) override {
        Events.push_back("range " + std::to_string(minimum) + ".." + std::to_string(maximum));
    }
    void SetPosition(int position) override {
        Events.push_back("position " + std::to_string(position));
        Steps = 0;
    }
    void SetStep(int step) override { Events.push_back("step " + std::to_string(step)); }
    void StepIt() override { ++Steps; }

    bool Saw(const std::string& event) const {
        return std::find(Events.begin(), Events.end(), event) != Events.end();
    }

    std::vector<std::string> Events;
    std::string caption;
    int Steps = 0; // since the last SetPosition
};

class TRecordingMessages : public TMessageSink {
public:
    TRecordingMessages() { SetMessages(this); }
    ~TRecordingMessages() override { SetMessages(nullptr); }
    void ShowMessage(const std::string& text, const std::string& caption) override {
        Texts.push_back(text);
        Captions.push_back(caption);
    }
    std::vector<std::string> Texts;
    std::vector<std::string> Captions;
};

// An archive written to a temporary folder and opened.
class TTestPod {
public:
    explicit TTestPod(const TPodWriter& writer) {
        writer.Write(dir_.Path() + "TRACK.POD");
        pod_ = std::make_unique<TPodFile>(dir_.Path() + "TRACK.POD");
    }
    const TPodFile& Pod() const { return *pod_; }

private:
    TTempDir dir_;
    std::unique_ptr<TPodFile> pod_;
};

// A test with a fresh, empty track of its own, on the heap as a track session keeps one.
class TTrackTest : public ::testing::Test {
protected:
    TTrackData& Track() { return *track_; }

private:
    std::unique_ptr<TTrackData> track_ = std::make_unique<TTrackData>();
};
