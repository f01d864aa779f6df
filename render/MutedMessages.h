// While one lives, messages of the loaders are dropped instead of reaching the user. For loads
// the user did not ask to see (the archive explorer's model view and its scan of every track):
// their failures are reported where the explorer shows them, never as a message box per click.
// Restores the sink that was installed before, so the window's own comes back.
#pragma once

#include "core/base/Feedback.h"

class TMutedMessages : public TMessageSink {
public:
    TMutedMessages() : previous_(&Messages()) { SetMessages(this); }
    ~TMutedMessages() override { SetMessages(previous_); }
    TMutedMessages(const TMutedMessages&) = delete;
    TMutedMessages& operator=(const TMutedMessages&) = delete;
    void ShowMessage(const std::string&, const std::string&) override {}

private:
    TMessageSink* previous_;
};
