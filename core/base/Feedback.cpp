#include "core/base/Feedback.h"

#include <cstdio>

namespace {

class TStdErrMessages : public TMessageSink {
public:
    void ShowMessage(const std::string& text, const std::string& caption) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
};

TStdErrMessages stdErrMessages;
TMessageSink* currentSink = &stdErrMessages;

} // namespace

TMessageSink& Messages() {
    return *currentSink;
}

void SetMessages(TMessageSink* sink) {
    currentSink = sink != nullptr ? sink : &stdErrMessages;
}
