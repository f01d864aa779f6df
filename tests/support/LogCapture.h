// Opens the session log in a temporary folder for the life of the object and reads it back.
#pragma once

#include "core/base/Logging.h"
#include "tools/PodWriter.h"

#include <algorithm>
#include <string>
#include <vector>

class TLogCapture {
public:
    TLogCapture() : path_(dir_.Path() + "session.log") { OpenLog(path_); }
    ~TLogCapture() { CloseLog(); }

    // The lines written so far, without their CR LF ends.
    std::vector<std::string> Lines() const {
        const std::string text = ReadFileBytes(path_);
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
            lines.push_back(text.substr(start, end - start));
        }
        return lines;
    }
    int Count(const std::string& line) const {
        const auto lines = Lines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }
    bool Has(const std::string& line) const { return Count(line) > 0; }

private:
    TTempDir dir_;
    std::string path_;
};
