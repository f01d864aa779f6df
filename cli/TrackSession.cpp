#include "cli/TrackSession.h"

#include "core/base/Errors.h"
#include "core/base/Logging.h"
#include "core/base/ProgramFolder.h"
#include "core/formats/GLBMP.h"
#include "core/settings/IniFile.h"
#include "core/settings/SearchPaths.h"
#include "core/settings/Session.h"
#include "render/FrameRender.h"
#include "render/TrackLoader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

std::string TakeValue(TCliArgs& args, size_t i) {
    if (i + 1 >= args.size()) {
        throw ECliUsageError(args[i] + " needs a value");
    }
    std::string value = args[i + 1];
    args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    return value;
}

} // namespace

TCliTrackOptions TakeTrackOptions(TCliArgs& args) {
    TCliTrackOptions options;
    for (size_t i = 0; i < args.size();) {
        if (args[i] == "--track") {
            options.Track = TakeValue(args, i);
        } else if (args[i] == "--search") {
            if (!options.SearchFolders) {
                options.SearchFolders.emplace();
            }
            options.SearchFolders->push_back(TakeValue(args, i));
            if (options.SearchFolders->size() > kSearchPathCount) {
                throw ECliUsageError("at most five --search folders");
            }
        } else if (args[i] == "--ini") {
            options.IniFile = TakeValue(args, i);
        } else {
            ++i;
        }
    }
    if (args.empty() || args[0].rfind("--", 0) == 0) {
        throw ECliUsageError("ARCHIVE missing");
    }
    options.Archive = args[0];
    args.erase(args.begin());
    return options;
}

bool TakeFlag(TCliArgs& args, const std::string& flag) {
    const auto found = std::find(args.begin(), args.end(), flag);
    if (found == args.end()) {
        return false;
    }
    args.erase(found);
    return true;
}

std::string TakeOutputOption(TCliArgs& args, const std::string& command) {
    const auto option = std::find(args.begin(), args.end(), "-o");
    if (option == args.end()) {
        throw ECliUsageError(command + ": -o FILE missing");
    }
    return TakeValue(args, static_cast<size_t>(option - args.begin()));
}

std::string TakeValueOption(TCliArgs& args, const std::string& option) {
    const auto found = std::find(args.begin(), args.end(), option);
    return found == args.end() ? "" : TakeValue(args, static_cast<size_t>(found - args.begin()));
}

std::string CliIniFileName(const TCliTrackOptions& options) {
    return options.IniFile.empty() ? ChooseIniFileName() : options.IniFile;
}

// The writers leave the reason of a failure in errno.
void SaveCliImage(TGLBMP& image, const std::string& command, const std::string& fileName) {
    errno = 0;
    bool written = false;
    try {
        written = image.SaveImage(fileName);
    } catch (const EInOutError&) {
        // The bitmap and Targa writers raise the viewer's own message; the tool words the
        // failure alike for every format.
    }
    if (!written) {
        const int reason = errno;
        throw EDunmereError(command + ": cannot write " + fileName +
                            (reason != 0 ? std::string(": ") + std::strerror(reason) : ""));
    }
}

TCliTrackSession::TLogOpened::TLogOpened() {
    StartSessionLog();
}

TCliTrackSession::TCliTrackSession(const TCliTrackOptions& options, int width, int height)
    : context_(width, height), session_(CliIniFileName(options), options.SearchFolders) {
    InitGLState();
    render_.LoadMissingTexture();
    session_.UseArchive(OpenArchive(options.Archive));
    if (!options.Track.empty()) {
        sitEntry_ = options.Track;
    } else {
        // Without a choice the tool takes the archive's first track.
        const std::optional<std::string> first =
            session_.ChooseTrack([](const TStringList&) { return 0; });
        if (!first) {
            throw EDunmereError("No track found in POD file.");
        }
        sitEntry_ = *first;
    }
}

TCliTrackSession::~TCliTrackSession() {
    CloseLog();
}

void TCliTrackSession::Load() {
    TQuietProgress progress;
    progress.SetCaption("Loading track");
    TRenderTrackLoader loader(render_);
    session_.OpenTrack(sitEntry_, progress, loader);
}
