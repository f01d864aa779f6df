// dunmeregl-cli record ARCHIVE -o OUT [--track ENTRY] [--path course|locations|FILE]
//     [--seconds N] [--fps N] [--size WxH] [--height H] [--search DIR]... [--ini FILE]
//
// Loads the track as render does and records a fly-through along a camera path: the course
// (start grid, checkpoints in order, back to the start) H units above the ground, the track's
// saved camera locations, or a path file. OUT ending in .mp4 gets H.264, .webm VP9, a folder PNG
// files. Each frame n is the picture render draws with the path's camera at n / fps seconds.
// Progress goes to the error stream when that is a terminal; an interrupt (Ctrl+C) stops the
// recording and leaves nothing under OUT.
#include "cli/RenderView.h"
#include "cli/TrackSession.h"
#include "core/base/Errors.h"
#include "core/base/TextUtils.h"
#include "core/export/VideoWriter.h"
#include "core/track/TrackData.h"
#include "core/view/CameraPathSources.h"
#include "render/FlyThroughRecording.h"

#include <cmath>
#include <csignal>
#include <unistd.h>

namespace {

constexpr int kMaxFramesPerSecond = 240;
constexpr double kMaxSeconds = 3600;

struct TRecordOptions {
    std::string Output;
    std::string Path = "course";
    std::optional<double> Seconds;
    int FramesPerSecond = 30;
    int Width = 1280;
    int Height = 720;
    double AboveGround = kDefaultCourseHeight;
};

volatile std::sig_atomic_t interrupted = 0;

void NoteInterrupt(int) {
    interrupted = 1;
}

// Interrupts stop the recording between frames while it runs, so the writer can clean up.
class TInterruptGuard {
public:
    TInterruptGuard() {
        interrupted = 0;
        oldInt_ = std::signal(SIGINT, NoteInterrupt);
        oldTerm_ = std::signal(SIGTERM, NoteInterrupt);
    }
    ~TInterruptGuard() {
        std::signal(SIGINT, oldInt_);
        std::signal(SIGTERM, oldTerm_);
    }

private:
    void (*oldInt_)(int);
    void (*oldTerm_)(int);
};

double NumberIn(const std::string& option, const std::string& text, double low, double high) {
    const std::optional<double> value = TryStrToFloat(text);
    if (!value || !(*value >= low && *value <= high)) {
        throw ECliUsageError(
            Format("record: %s takes %g..%g, not %s", option.c_str(), low, high, text.c_str()));
    }
    return *value;
}

TRecordOptions TakeRecordOptions(const TCliArgs& args) {
    TRecordOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "-o") {
            options.Output = OptionValue("record", args, i);
        } else if (option == "--path") {
            options.Path = OptionValue("record", args, i);
        } else if (option == "--seconds") {
            options.Seconds = NumberIn(option, OptionValue("record", args, i), 0.01, kMaxSeconds);
        } else if (option == "--fps") {
            options.FramesPerSecond = IntegerOption(
                "record", option, OptionValue("record", args, i), 1, kMaxFramesPerSecond);
        } else if (option == "--size") {
            const TViewSize size = SizeOption("record", OptionValue("record", args, i));
            options.Width = size.Width;
            options.Height = size.Height;
        } else if (option == "--height") {
            options.AboveGround = NumberIn(option, OptionValue("record", args, i), 0, 64);
        } else {
            throw ECliUsageError("record: unexpected argument " + option);
        }
    }
    if (options.Output.empty()) {
        throw ECliUsageError("record: -o OUT missing");
    }
    return options;
}

struct TChosenPath {
    std::vector<TCameraKeyframe> Keyframes;
    TCameraPathOptions Options;
};

TChosenPath ChoosePath(const TRecordOptions& options, TViewState& view, const TIniFile& ini) {
    TChosenPath chosen;
    if (options.Path == "course") {
        chosen.Keyframes = CourseKeyframes(view, options.AboveGround);
        chosen.Options = CourseOptions(view);
        return chosen;
    }
    if (options.Path == "locations") {
        chosen.Keyframes = SavedLocationKeyframes(ini, view.Track->TrackName);
        if (chosen.Keyframes.empty()) {
            throw EDunmereError("record: the track \"" + view.Track->TrackName +
                                "\" has no saved camera location in " + ini.FileName());
        }
    } else {
        chosen.Keyframes = ReadCameraPathFile(options.Path);
    }
    // A path of locations flies as the view they were saved from.
    view.ViewDistance = chosen.Keyframes.front().ViewDistance;
    return chosen;
}

std::string Clock(double seconds) {
    const long whole = std::lround(seconds);
    return Format("%ld:%02ld", whole / 60, whole % 60);
}

int CliRecord(const TCliArgs& arguments, std::ostream& out, std::ostream& err) {
    TCliArgs args = arguments;
    const TCliTrackOptions trackOptions = TakeTrackOptions(args);
    const TRecordOptions options = TakeRecordOptions(args);
    // Before the load, so that an output that cannot be written costs no load.
    TVideoWriter writer(options.Output, options.Width, options.Height, options.FramesPerSecond);

    TCliTrackSession session(trackOptions, options.Width, options.Height);
    session.Load();
    for (const std::string& warning : session.Session().Warnings()) {
        err << "warning: " << warning << '\n';
    }
    // Only now are the files the load read known; the writer has so far made only OUT.part.
    session.Session().RefuseToOverwrite(options.Output);
    TViewState& view = session.Session().View();
    const TChosenPath chosen = ChoosePath(options, view, session.Session().Ini());

    const bool lastTimed = chosen.Keyframes.size() > 1 && chosen.Keyframes.back().Time;
    const TCameraPath path(chosen.Keyframes, options.Seconds.value_or(kDefaultPathSeconds),
                           chosen.Options);
    const double seconds =
        options.Seconds.value_or(lastTimed ? path.Duration() : kDefaultPathSeconds);
    const int frames = RecordingFrames(seconds, options.FramesPerSecond);

    const bool showProgress = isatty(STDERR_FILENO) == 1;
    TInterruptGuard guard;
    const bool done = RecordFlyThrough(
        session.Render(), view, path, options.FramesPerSecond, frames, options.Width,
        options.Height, writer, [&](const TRecordingProgress& progress) {
            if (showProgress) {
                err << Format("\rframe %d of %d, %s left ", progress.FramesDone, progress.Frames,
                              Clock(progress.SecondsLeft).c_str())
                    << std::flush;
            }
            return interrupted == 0;
        });
    if (showProgress) {
        err << '\n';
    }
    if (!done) {
        throw EDunmereError("record: cancelled; nothing written to " + options.Output);
    }
    writer.Finish();
    out << options.Output << ' ' << options.Width << 'x' << options.Height << ' ' << frames
        << " frames " << Format("%.2f", static_cast<double>(frames) / options.FramesPerSecond)
        << " s\n";
    return kCliDone;
}

const TCliRegistration registration(
    {"record",
     "ARCHIVE -o OUT.mp4|OUT.webm|FOLDER/ [--track ENTRY] [--path course|locations|FILE] "
     "[--seconds N] [--fps 30] [--size 1280x720] [--height H] [--search DIR]... [--ini FILE]",
     CliRecord,
     "      Flies a camera along a path and writes every frame: H.264 in MP4, VP9 in WebM, or\n"
     "      PNG files into a folder. --path course (default: start grid, checkpoints, back),\n"
     "      locations (the saved camera locations) or a path file; frame n is drawn at n/fps\n"
     "      seconds. Written to OUT.part first and renamed when done.\n"});

} // namespace
