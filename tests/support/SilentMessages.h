// A message sink that shows nothing, installed while it lives: for tests and fuzz targets that
// feed damaged files on purpose and only care how a load ends, not what it told the user.
#pragma once

#include "core/base/Feedback.h"

class TSilentMessages : public TMessageSink {
public:
    TSilentMessages() { SetMessages(this); }
    ~TSilentMessages() override { SetMessages(nullptr); }
    TSilentMessages(const TSilentMessages&) = delete;
    TSilentMessages& operator=(const TSilentMessages&) = delete;
    void ShowMessage(const std::string&, const std::string&) override {}
};
