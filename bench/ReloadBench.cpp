// dunmere-reload-bench ARCHIVE: how soon a changed archive is on screen again when reloading on
// change, and what watching costs while nothing changes. A copy of the archive is loaded in a
// headless 640 x 480 context and watched; it is rewritten five times, and each time the program
// waits for the watcher's reload, loads the track again and draws a full frame, printing the time
// from the last write to the end of that frame. Then it watches for five idle seconds and prints
// the processor time they took.
#include "bench/BenchGL.h"
#include "bench/BenchLoad.h"
#include "core/formats/PalettePool.h"
#include "core/vfs/AssetLog.h"
#include "render/FrameRender.h"
#include "render/GLContext.h"
#include "render/RenderContext.h"
#include "shell/ReloadWatcher.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <vector>

namespace {

double ProcessorMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec * 1000.0 + usage.ru_utime.tv_usec / 1000.0 +
           usage.ru_stime.tv_sec * 1000.0 + usage.ru_stime.tv_usec / 1000.0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: dunmere-reload-bench ARCHIVE\n");
        return 2;
    }
    try {
        const QTemporaryDir dir;
        const QString archive = dir.filePath("TRACK.POD");
        QFile source(QString::fromLocal8Bit(argv[1]));
        if (!source.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%s: cannot read\n", argv[1]);
            return 1;
        }
        const QByteArray bytes = source.readAll();

        TBenchGL gl;
        TRenderContext& render = gl.Render;
        const auto track = std::make_unique<TTrackData>();
        TPalettePool palettes;
        TQRXFileFinder finder;
        BuildSearchFolders(finder, TStringList(5));
        TReloadWatcher watcher;
        watcher.SetEnabled(true);
        const auto loadAndDraw = [&] {
            TAssetLog assets;
            watcher.SetLoading(true);
            LoadFirstTrack(render, *track, palettes, archive.toStdString(), finder, &assets);
            watcher.WatchLoad(archive.toStdString(), assets);
            watcher.SetLoading(false);
            TViewState view = StartGridView(*track, 255);
            TQuietFrameHost host;
            RenderFrame({render, gl.GL, view, true, host});
            WaitForDrawing();
        };
        const auto write = [&] {
            QFile file(archive);
            file.open(QIODevice::WriteOnly | QIODevice::Truncate);
            file.write(bytes);
        };
        write();
        loadAndDraw();

        std::vector<double> delays;
        for (int i = 0; i < 5; ++i) {
            QEventLoop loop;
            const auto connection =
                QObject::connect(&watcher, &TReloadWatcher::ReloadDue, &loop, &QEventLoop::quit);
            // A write in two parts, as a packer writes: the time runs from the last.
            write();
            write();
            const auto lastWrite = std::chrono::steady_clock::now();
            loop.exec();
            QObject::disconnect(connection);
            loadAndDraw();
            delays.push_back(std::chrono::duration<double, std::milli>(
                                 std::chrono::steady_clock::now() - lastWrite)
                                 .count());
        }
        std::sort(delays.begin(), delays.end());
        std::printf("reload after a change, ms from the last write to the new frame: min %.0f "
                    "median %.0f max %.0f (of which %d ms settling)\n",
                    delays.front(), delays[delays.size() / 2], delays.back(),
                    TReloadWatcher::kSettleMs);

        const double before = ProcessorMs();
        QEventLoop idle;
        QTimer::singleShot(5000, &idle, &QEventLoop::quit);
        idle.exec();
        std::printf("watching, 5 s idle: %.1f ms of processor time\n", ProcessorMs() - before);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
