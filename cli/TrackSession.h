// What the track subcommands share: their common options and a track loaded exactly as the
// viewer's open command loads it, in a headless GL context.
//
//   ARCHIVE [--track ENTRY] [--search DIR]... [--ini FILE]
//
// --track names the .SIT entry (default: the archive's first); up to five --search folders
// replace the INI's search paths for this run (the program's data folder is still searched
// first); --ini names the settings file (default: the viewer's own, by ChooseIniFileName).
#pragma once

#include "cli/CliCommands.h"
#include "core/settings/IniFile.h"
#include "core/vfs/AssetLog.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "render/GLContext.h"
#include "render/RenderContext.h"

#include <memory>
#include <optional>
#include <string>

struct TCliTrackOptions {
    std::string Archive;
    std::string Track;
    std::optional<TStringList> SearchFolders;
    std::string IniFile;
};

// Takes the common options out of args and leaves the rest there; raises ECliUsageError.
TCliTrackOptions TakeTrackOptions(TCliArgs& args);
// Takes flag out of args; false when it is not there.
bool TakeFlag(TCliArgs& args, const std::string& flag);
// Takes "-o FILE" out of args; raises ECliUsageError naming command when it is not there.
std::string TakeOutputOption(TCliArgs& args, const std::string& command);

class TCliTrackSession {
public:
    // Opens the log DunmereGL.log in the working directory with its header, the GL context, the
    // settings and the archive; raises when the archive has no track or cannot be read.
    TCliTrackSession(const TCliTrackOptions& options, int width, int height);
    ~TCliTrackSession();

    // Loads the chosen track; the warnings of the load are kept in Warnings, the files it asked
    // for in Assets.
    void Load();

    THeadlessGLContext Context;
    // Destroyed before Context, while that is still current.
    TRenderContext Render;
    TIniFile Ini;
    TQRXFileFinder Finder;
    std::unique_ptr<TPodFile> Pod;
    std::string SitEntry;
    TStringList Warnings;
    TAssetLog Assets;
};
