#include "core/base/ProgramFolder.h"

#include <climits>
#include <unistd.h>

namespace {

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string ExecutableFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return "./";
    }
    const std::string full(path, static_cast<size_t>(length));
    return full.substr(0, full.rfind('/') + 1);
}

std::string& Folder() {
    static std::string folder = ExecutableFolder();
    return folder;
}

} // namespace

const std::string& ProgramFolder() {
    return Folder();
}

void SetProgramFolder(const std::string& folder) {
    Folder() = WithSlash(folder);
}
