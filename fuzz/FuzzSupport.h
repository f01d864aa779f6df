// What every fuzz target shares. The readers take files, not memory, so each input is written to
// a file in a private folder first; the process runs in a home folder of its own, so neither the
// readers nor the GL libraries touch the user's; message boxes go nowhere.
//
// A target calls its reader inside RunReader: the errors a reader raises for a damaged file
// (EDunmereError, EInOutError, EConvertError) are the expected outcome, anything else escapes and
// ends the process, which the fuzzer reports as a finding.
#pragma once

#include "core/base/Errors.h"
#include "tests/support/SilentMessages.h"
#include "tests/support/TestEnvironment.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

struct TDecodedImage;

class TFuzzSession {
public:
    // Sets the process up on the first call.
    static TFuzzSession& Get();

    // Writes the bytes to name in the private folder and returns the full path.
    std::string WriteInput(const std::string& name, const uint8_t* data, size_t size) const;
    std::string WriteInput(const std::string& name, const std::string& bytes) const;

    TFuzzSession(const TFuzzSession&) = delete;
    TFuzzSession& operator=(const TFuzzSession&) = delete;

private:
    TFuzzSession();

    TTestEnvironment environment_;
    TSilentMessages messages_;
    std::string folder_;
};

template <class TRead> void RunReader(TRead&& read) {
    try {
        read();
    } catch (const EDunmereError&) {
    } catch (const EInOutError&) {
    } catch (const EConvertError&) {
    }
}

// A property the target checks on what a reader returned; a broken one is a finding.
inline void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz property broken: %s\n", what);
        std::abort();
    }
}

// An accepted image holds width x height pixels of its channels; a refused one says why.
void RequireConsistentImage(const TDecodedImage& image);
