// A whole track load and one frame of it, in a headless GL context: the input is the archive,
// and its first track description is loaded with the viewer's own data files behind it.
#include "core/formats/PalettePool.h"
#include "core/track/TrackData.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "core/view/Camera.h"
#include "core/view/ViewCommands.h"
#include "fuzz/FuzzSupport.h"
#include "render/FrameRender.h"
#include "render/GLContext.h"
#include "render/GLState.h"
#include "render/RenderContext.h"
#include "render/TrackLoader.h"

namespace {

constexpr int kFrameSide = 32;

// The GL context and what it holds live as long as the process, as the viewer's do across the
// tracks it opens.
struct TLoadTarget {
    TLoadTarget() : Context(kFrameSide, kFrameSide) {
        InitGLState();
        Render.LoadMissingTexture();
    }
    THeadlessGLContext Context;
    TRenderContext Render;
    TGLState GL;
    TPalettePool Palettes;
};

void DrawOneFrame(TRenderContext& render, TGLState& gl, const TTrackData& track) {
    TViewState view;
    view.Track = &track;
    ResetViewForTrackOpen(view, 50, true);
    GoToStartGrid(view);
    view.FullFrame = true;
    TQuietFrameHost host;
    Panel1Resize(gl, kFrameSide, kFrameSide, view.Camera.FOV);
    RenderFrame({render, gl, view, true, host});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = TFuzzSession::Get().WriteInput("FUZZ.POD", data, size);
    static TLoadTarget target;
    RunReader([&] {
        const TPodFile pod(path);
        if (pod.SitEntries().empty()) {
            return;
        }
        TQRXFileFinder finder;
        BuildSearchFolders(finder, TStringList(5));
        TStringList warnings;
        TQuietProgress progress;
        // A fresh track for every input, as a fresh session would have.
        const auto track = std::make_unique<TTrackData>();
        LoadTrack(target.Render, *track, target.Palettes, pod, NamePart(pod.SitEntries().front()),
                  progress, warnings, finder);
        DrawOneFrame(target.Render, target.GL, *track);
    });
    return 0;
}
