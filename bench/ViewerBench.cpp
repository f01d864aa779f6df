// dunmere-viewer-bench ARCHIVE [TRACK_LINE]: opens a track in the real main window and prints
// the frame rate of a left-button drag at view distance 50 and 255 and in the map view, with the
// prepared and with the reference renderer, the same drag with the minimap and the frame-rate
// overlay shown (as a ratio to the plain one), the frame rate of flying on a held arrow key, then
// the processor time the window uses over ten seconds in which nothing happens, with the minimap
// and the overlay still shown. Needs a display (xvfb-run will do).
// The window runs in a scratch copy of the program folder, so the viewer's INI file and log
// stay as they were.
#include "core/base/Heap.h"
#include "core/base/ProgramFolder.h"
#include "core/track/TrackData.h"
#include "core/view/CameraLocations.h"
#include "shell/MainForm.h"
#include "shell/ReloadWatcher.h"
#include "tools/PodWriter.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <sys/resource.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace {

// Picks the requested track and reports everything else on stderr instead of waiting for a user.
class TBenchDialogs : public TMainFormDialogs {
public:
    explicit TBenchDialogs(int trackLine) : trackLine_(trackLine) {}

    void ShowMessage(QWidget*, const std::string& text, const std::string&) override {
        std::cerr << text << '\n';
    }
    void ShowError(QWidget*, const std::string& text) override { std::cerr << text << '\n'; }
    void Beep() override {}
    int SelectTrack(QWidget*, const TStringList& trackNames) override {
        return trackLine_ < static_cast<int>(trackNames.size()) ? trackLine_ : -1;
    }

private:
    int trackLine_;
};

double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A loop of its own: quitting the application's loop would close the window.
void RunEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Moves the pointer with the left button held across the view, as the window system delivers a
// drag, and returns the frames drawn per second. A slow renderer stops after five seconds.
double DragFramesPerSecond(TFormMain& form, int moves) {
    QWindow* view = form.TrackView().ViewWindow();
    const int framesBefore = form.TrackView().FramesDrawn();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < moves && std::chrono::steady_clock::now() - start < std::chrono::seconds(5);
         ++i) {
        const QPointF position(100 + (i % 200), 100 + (i % 50));
        QMouseEvent move(QEvent::MouseMove, position, position, view->mapToGlobal(position),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view, &move);
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return (form.TrackView().FramesDrawn() - framesBefore) / elapsed.count();
}

// Holds the up arrow for ms, as the window system delivers a held key (one press, then
// repeated presses marked as such, then the release), and returns the frames drawn per second.
double FlightFramesPerSecond(TFormMain& form, int ms) {
    const int framesBefore = form.TrackView().FramesDrawn();
    const auto start = std::chrono::steady_clock::now();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &press);
    RunEventsFor(ms);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &release);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return (form.TrackView().FramesDrawn() - framesBefore) / elapsed.count();
}

// A scratch program folder holding copies of the viewer's data files; removed with the object.
class TScratchProgramFolder {
public:
    TScratchProgramFolder() {
        namespace fs = std::filesystem;
        const fs::path source = ProgramFolder();
        for (const char* folder : {"data", "ART"}) {
            if (fs::exists(source / folder)) {
                fs::copy(source / folder, dir_.MakeDir(folder), fs::copy_options::recursive);
            }
        }
        SetProgramFolder(dir_.Path());
        fs::current_path(dir_.Path());
    }
    // A copy of file in the folder, which the bench may rewrite.
    std::string Copy(const std::string& file) const {
        const std::string copy = dir_.Path() + std::filesystem::path(file).filename().string();
        std::filesystem::copy_file(file, copy);
        return copy;
    }
    ~TScratchProgramFolder() {
        std::error_code ignored;
        std::filesystem::current_path("/", ignored);
    }

private:
    TTempDir dir_;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: dunmere-viewer-bench ARCHIVE [TRACK_LINE]\n";
        return 2;
    }
    KeepFreedHeapForReuse();
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QSurfaceFormat::setDefaultFormat(ViewSurfaceFormat());
    QApplication app(argc, argv);
    setlocale(LC_NUMERIC, "C");
    const std::string given = std::filesystem::absolute(argv[1]).string();
    const TScratchProgramFolder scratch;
    const std::string archive = scratch.Copy(given);
    const int trackLine = argc > 2 ? std::atoi(argv[2]) : 0;
    TFormMain form({archive}, std::make_unique<TBenchDialogs>(trackLine));
    form.show();
    RunEventsFor(2000);
    if (form.Session().Archive() == nullptr) {
        std::cerr << "no track was opened\n";
        return 1;
    }
    std::printf("track \"%s\", view %d x %d\n", form.Session().Track().TrackName.c_str(),
                form.TrackView().size().width(), form.TrackView().size().height());

    // Every drag starts from the same view, the start grid's.
    const TCameraPos start = form.Session().View().Camera;
    const auto drag = [&](int distance, bool mapView) {
        form.Session().View().Camera = start;
        if (mapView) {
            ToggleMapView(form.Session().View());
        }
        form.Session().View().ViewDistance = distance;
        form.TrackView().RedrawView(true);
        const double framesPerSecond = DragFramesPerSecond(form, 300);
        if (mapView) {
            ToggleMapView(form.Session().View());
        }
        return framesPerSecond;
    };
    for (const auto& [renderer, name] : {std::pair(TRendererKind::Prepared, "prepared"),
                                         std::pair(TRendererKind::Reference, "reference")}) {
        form.TrackView().SelectRenderer(renderer);
        for (const int distance : {50, 255}) {
            std::printf("%-9s drag at view distance %3d: %6.1f frames per second\n", name, distance,
                        drag(distance, false));
        }
        std::printf("%-9s drag in the map view at 255: %6.1f frames per second\n", name,
                    drag(255, true));
    }
    form.TrackView().SelectRenderer(TRendererKind::Prepared);

    // Measured back to back, so that both meet the machine in the same state.
    const double plain = drag(50, false);
    form.Action(TMainAction::ToggleMinimap)->trigger();
    form.Action(TMainAction::ToggleFrameRate)->trigger();
    const double withOverlay = drag(50, false);
    std::printf("drag at view distance  50 with minimap and overlay: %6.1f frames per second"
                " (%.2f of %.1f without)\n",
                withOverlay, plain > 0 ? withOverlay / plain : 0.0, plain);
    form.Session().View().Camera = start;
    std::printf("flight on the held up arrow for 3 s: %6.1f frames per second\n",
                FlightFramesPerSecond(form, 3000));

    // Let the idle drawing complete the last frame, then measure ten quiet seconds, watching the
    // archive for changes as a track maker would.
    form.Action(TMainAction::ToggleReloadOnChange)->trigger();
    RunEventsFor(1000);
    const int framesBefore = form.TrackView().FramesDrawn();
    const double before = ProcessorSeconds();
    RunEventsFor(10000);
    std::printf("idle for 10 s (minimap and overlay shown, watching for changes): %.3f s of "
                "processor time, %d frames drawn\n",
                ProcessorSeconds() - before, form.TrackView().FramesDrawn() - framesBefore);

    // The archive rewritten as a packer would: from the end of the write until the reloaded track
    // is on screen, through the window's own reload.
    const TTrackData* shown = &form.Session().Track();
    const int framesShown = form.TrackView().FramesDrawn();
    WriteFileBytes(archive, ReadFileBytes(archive));
    const auto written = std::chrono::steady_clock::now();
    while ((&form.Session().Track() == shown || form.TrackView().FramesDrawn() == framesShown) &&
           std::chrono::steady_clock::now() - written < std::chrono::seconds(30)) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    const std::chrono::duration<double, std::milli> reload =
        std::chrono::steady_clock::now() - written;
    if (&form.Session().Track() == shown) {
        std::printf("reload on change: no reload within 30 s\n");
        return 1;
    }
    std::printf("reload on change: %.0f ms from the last write to the reloaded track's frame "
                "(%d ms of settling)\n",
                reload.count(), TReloadWatcher::kSettleMs);
    return 0;
}
