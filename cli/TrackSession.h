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
#include "core/base/StepTimes.h"
#include "core/session/TrackSession.h"
#include "render/GLContext.h"
#include "render/GLState.h"
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

// The INI file options name, or the viewer's own.
std::string CliIniFileName(const TCliTrackOptions& options);
// Takes "option VALUE" out of args; "" when the option is not there.
std::string TakeValueOption(TCliArgs& args, const std::string& option);

class TGLBMP;
// image.SaveImage(fileName); raises "COMMAND: cannot write FILE: reason" when that fails.
void SaveCliImage(TGLBMP& image, const std::string& command, const std::string& fileName);

// A track session of the tool: its log, its headless GL context with its render resources and GL
// state, and the
// chosen track description.
class TCliTrackSession {
public:
    // Opens the log DunmereGL.log in the working directory with its header, the GL context, the
    // settings and the archive; raises when the archive has no track or cannot be read.
    TCliTrackSession(const TCliTrackOptions& options, int width, int height);
    ~TCliTrackSession();
    TCliTrackSession(const TCliTrackSession&) = delete;
    TCliTrackSession& operator=(const TCliTrackSession&) = delete;

    // Loads the chosen track as the viewer's open command does and places the view for it; the
    // warnings of the load and the files it asked for stay in the session.
    void Load();

    TTrackSession& Session() { return session_; }
    // How long each step of the last load took.
    const std::vector<TStepTime>& LoadSteps() const { return session_.LoadSteps(); }
    TRenderContext& Render() { return render_; }
    TGLState& GL() { return gl_; }
    void ResizeContext(int width, int height) { context_.Resize(width, height); }

private:
    // Opened first, so that the header leads the log.
    struct TLogOpened {
        TLogOpened();
    } log_;
    THeadlessGLContext context_;
    // Destroyed before context_, while that is still current.
    TRenderContext render_;
    TGLState gl_;
    TTrackSession session_;
    std::string sitEntry_;
};
