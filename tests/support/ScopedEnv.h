// Sets one environment variable for the life of the object and restores the old state after, so
// that a test reading HOME or XDG_CONFIG_HOME never reaches the real user's folders.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

class TScopedEnv {
public:
    // value nullptr removes the variable.
    TScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    TScopedEnv(const char* name, const std::string& value) : TScopedEnv(name, value.c_str()) {}
    ~TScopedEnv() {
        if (old_) {
            setenv(name_.c_str(), old_->c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};
