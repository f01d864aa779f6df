#include "core/settings/Version.h"

#include <utility>

#ifndef DUNMERE_VERSION_TEXT
#define DUNMERE_VERSION_TEXT ""
#endif

namespace {
constexpr int kVersionParts = 4;
}

TVersion::TVersion() {
    SetVersion(GetVersionString());
}

void TVersion::SetVersion(const std::string& text) {
    int32_t* const fields[kVersionParts] = {&Major, &Minor, &Release, &Build};
    TStringList parts;
    SplitText(text, ".", parts);
    for (size_t i = 0; i < kVersionParts; ++i) {
        *fields[i] = i < parts.size() ? TryStrToInt(Trim(parts[i])).value_or(0) : 0;
    }
}

std::string TVersion::FormatVersion(const std::string& templateText) const {
    std::string result = templateText.empty() ? "%MAJOR.%MINOR.%RELEASE.%BUILD" : templateText;
    const std::pair<const char*, int32_t> tokens[kVersionParts] = {
        {"%MAJOR", Major}, {"%MINOR", Minor}, {"%RELEASE", Release}, {"%BUILD", Build}};
    for (const auto& [token, number] : tokens) {
        const size_t at = result.find(token);
        if (at != std::string::npos) {
            result.replace(at, std::char_traits<char>::length(token), std::to_string(number));
        }
    }
    return result;
}

std::string GetVersionString() {
    return DUNMERE_VERSION_TEXT;
}

int SplitText(const std::string& text, const std::string& separator, TStringList& parts) {
    parts.clear();
    if (separator.empty()) {
        parts.push_back(text);
        return 1;
    }
    size_t start = 0;
    for (size_t at = text.find(separator); at != std::string::npos;
         at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    parts.push_back(text.substr(start));
    return static_cast<int>(parts.size());
}
