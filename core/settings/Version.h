// TVersion: the program version as four numbers, from the version text fixed at build time.
#pragma once

#include "core/base/TextUtils.h"

#include <cstdint>
#include <string>

class TVersion {
public:
    TVersion(); // reads the build's version text

    void SetVersion(const std::string& text);
    // Template with the first "%MAJOR", "%MINOR", "%RELEASE" and "%BUILD" replaced, in that
    // order; an empty template stands for "%MAJOR.%MINOR.%RELEASE.%BUILD".
    std::string FormatVersion(const std::string& templateText) const;

    int32_t Major = 0;
    int32_t Minor = 0;
    int32_t Release = 0;
    int32_t Build = 0;
};

// The version text of this build ("1.0.0.0"), or "" when the build names none.
std::string GetVersionString();
// Fills parts with the pieces of text between separators and returns their count.
int SplitText(const std::string& text, const std::string& separator, TStringList& parts);
