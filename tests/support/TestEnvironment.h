// The surroundings every test process runs in: a home folder of its own instead of the user's,
// and a sound server address that leads nowhere.
#pragma once

#include <string>

// While it lives, HOME and the XDG folders point into a temporary folder, which it removes at
// the end. Whatever the tests start inherits them, so neither Qt (file dialog history, font
// cache), nor the sound and GL libraries, nor the programs under test read or write the user's
// files.
class TTestEnvironment {
public:
    TTestEnvironment();
    ~TTestEnvironment();
    TTestEnvironment(const TTestEnvironment&) = delete;
    TTestEnvironment& operator=(const TTestEnvironment&) = delete;

private:
    std::string home_;
};
