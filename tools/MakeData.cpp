// dunmere-makedata PROGRAM_FOLDER: writes the viewer's own data files below the program folder.
#include "tools/DataFiles.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dunmere-makedata PROGRAM_FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    try {
        WriteViewerDataFiles(folder);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dunmere-makedata: %s\n", e.what());
        return 1;
    }
    return 0;
}
