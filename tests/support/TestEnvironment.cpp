#include "tests/support/TestEnvironment.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <utility>

namespace {

void SetVariable(const char* name, const std::string& value) {
    if (setenv(name, value.c_str(), 1) != 0) {
        throw std::runtime_error(std::string("cannot set ") + name);
    }
}

} // namespace

TTestEnvironment::TTestEnvironment() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dunmere-home-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary home folder");
    }
    home_ = pattern;
    SetVariable("HOME", home_);
    const std::pair<const char*, const char*> xdgFolders[] = {
        {"XDG_CONFIG_HOME", "/.config"},
        {"XDG_CACHE_HOME", "/.cache"},
        {"XDG_DATA_HOME", "/.local/share"},
        {"XDG_STATE_HOME", "/.local/state"},
    };
    for (const auto& [name, folder] : xdgFolders) {
        SetVariable(name, home_ + folder);
    }
    // Only its owner may enter the runtime folder, or Qt refuses it.
    const std::string runtime = home_ + "/runtime";
    if (mkdir(runtime.c_str(), 0700) != 0 || chmod(runtime.c_str(), 0700) != 0) {
        throw std::runtime_error("cannot create " + runtime);
    }
    SetVariable("XDG_RUNTIME_DIR", runtime);
    // A shader cache in a home that is removed at the end only costs time, and its writer
    // thread would race the removal.
    SetVariable("MESA_SHADER_CACHE_DISABLE", "true");
    // No sound server answers there, and the sound library neither starts one nor keeps notes
    // about it in the home folder: the tests need no sound device.
    SetVariable("PULSE_SERVER", "unix:" + runtime + "/no-sound-server");
}

TTestEnvironment::~TTestEnvironment() {
    std::error_code ignored;
    std::filesystem::remove_all(home_, ignored);
}
