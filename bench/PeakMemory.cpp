// dunmere-peak-memory ARCHIVE...
//
// The peak memory of loading the first track of each archive: the growth of the process's
// high-water mark (resident set) from just before the load to just after it, in a process of its
// own per archive so that one load's peak does not hide the next. Printed beside the archive's
// size, so that the ratio shows whether a load's memory stays proportional to its archive.
#include "core/base/Errors.h"
#include "core/formats/PalettePool.h"
#include "core/track/TrackData.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "render/FrameRender.h"
#include "render/GLContext.h"
#include "render/RenderContext.h"
#include "render/TrackLoader.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

double PeakResidentBytes() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

// Runs in the child: prints one line and returns the exit status.
int MeasureLoad(const std::string& path) {
    THeadlessGLContext context(64, 64);
    TRenderContext render;
    InitGLState();
    render.LoadMissingTexture();
    TQRXFileFinder finder;
    BuildSearchFolders(finder, TStringList(5));
    const TPodFile pod(path);
    if (pod.SitEntries().empty()) {
        throw EDunmereError(path + ": no track in the archive");
    }
    TStringList warnings;
    TQuietProgress progress;
    TPalettePool palettes;
    const double before = PeakResidentBytes();
    // The track's tables count as part of the load, as they always have.
    const auto track = std::make_unique<TTrackData>();
    LoadTrack(render, *track, palettes, pod, NamePart(pod.SitEntries().front()), progress, warnings,
              finder);
    const double growth = PeakResidentBytes() - before;
    const double size = static_cast<double>(std::filesystem::file_size(path));
    std::printf(
        "%-12s archive %8.1f MiB   peak memory of the load %8.1f MiB   %5.1f x the archive\n",
        std::filesystem::path(path).filename().c_str(), size / kMiB, growth / kMiB, growth / size);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: dunmere-peak-memory ARCHIVE...\n");
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        std::fflush(stdout);
        const pid_t child = fork();
        if (child < 0) {
            std::perror("fork");
            return 1;
        }
        if (child == 0) {
            try {
                const int code = MeasureLoad(argv[i]);
                std::fflush(stdout);
                _exit(code);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "%s: %s\n", argv[i], e.what());
                _exit(1);
            }
        }
        int childStatus = 0;
        if (waitpid(child, &childStatus, 0) != child || !WIFEXITED(childStatus) ||
            WEXITSTATUS(childStatus) != 0) {
            status = 1;
        }
    }
    return status;
}
