// dunmere-makedemo OUT.POD            writes the demo archive (two tracks)
// dunmere-makedemo --stress OUT.POD   writes the stress archive (every cell a ground box, 512
//                                     textures, about a thousand objects)
// dunmere-makedemo --dense OUT.POD    writes the dense archive (a thousand objects, towers of up to
//                                     2000 faces)
#include "tools/DemoTrack.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    const bool stress = argc == 3 && std::strcmp(argv[1], "--stress") == 0;
    const bool dense = argc == 3 && std::strcmp(argv[1], "--dense") == 0;
    if (!(argc == 2 && argv[1][0] != '-') && !stress && !dense) {
        std::fprintf(stderr, "usage: dunmere-makedemo [--stress | --dense] OUT.POD\n");
        return 2;
    }
    const std::string out = argv[argc - 1];
    try {
        const std::filesystem::path parent = std::filesystem::path(out).parent_path();
        if (!parent.empty()) {
            std::filesystem::create_directories(parent);
        }
        // Written beside the target and renamed, so that an interrupted run leaves no half file
        // that a build would take for finished.
        const std::string partial = out + ".partial";
        (stress  ? BuildStressArchive()
         : dense ? BuildDenseArchive(1000, 2000)
                 : BuildDemoArchive())
            .Write(partial);
        std::filesystem::rename(partial, out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dunmere-makedemo: %s\n", e.what());
        return 1;
    }
    return 0;
}
