// How core code reaches the user without knowing about windows: the main window implements these
// with message boxes and its progress window, the command-line tool with standard error, and the
// tests with recorders.
#pragma once

#include <string>

class TMessageSink {
public:
    virtual ~TMessageSink() = default;
    // A modal message box with an OK button; returns when the user has closed it.
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
};

class TLoadProgress {
public:
    virtual ~TLoadProgress() = default;
    // Label changes let pending window events run, so the progress window repaints.
    virtual void SetAction(const std::string& text) = 0;
    virtual void SetSubAction(const std::string& text) = 0;
    virtual std::string Caption() const = 0;
    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetRange(int minimum, int maximum) = 0;
    virtual void SetPosition(int position) = 0;
    virtual void SetStep(int step) = 0;
    virtual void StepIt() = 0;
};

// The message sink the loaders report to; the owner of the user interface installs its own.
TMessageSink& Messages();
void SetMessages(TMessageSink* sink); // nullptr restores the default (standard error)

// A progress that shows nothing, for callers without a window.
class TQuietProgress : public TLoadProgress {
public:
    void SetAction(const std::string&) override {}
    void SetSubAction(const std::string&) override {}
    std::string Caption() const override { return caption_; }
    void SetCaption(const std::string& text) override { caption_ = text; }
    void SetRange(int, int) override {}
    void SetPosition(int) override {}
    void SetStep(int) override {}
    void StepIt() override {}

private:
    std::string caption_;
};
