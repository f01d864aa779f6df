// What the measuring programs do before they time anything: load the first track of an archive
// and look at it from its start grid, as the viewer does right after opening it.
#pragma once

#include "core/base/Feedback.h"
#include "core/base/TextUtils.h"
#include "core/track/TrackData.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "core/view/Camera.h"
#include "core/view/ViewCommands.h"
#include "core/view/ViewState.h"
#include "render/TrackLoader.h"

#include <string>

// The archive's first track into render, track and palettes, its files looked for through finder.
// With assets, every file the load asks for is recorded there. The load's warnings are dropped: a
// measurement has no one to show them to.
inline void LoadFirstTrack(TRenderContext& render, TTrackData& track, TPalettePool& palettes,
                           const std::string& archive, TQRXFileFinder& finder,
                           TAssetLog* assets = nullptr) {
    const TPodFile pod(archive);
    TStringList warnings;
    TQuietProgress progress;
    LoadTrack(render, track, palettes, pod, NamePart(pod.SitEntries().front()), progress, warnings,
              finder, assets);
}

// The view of a track just opened with the given view distance (capped as the viewer caps it),
// its objects shown, the camera at the start grid and the next frame a full one.
inline TViewState StartGridView(const TTrackData& track, int viewDistance) {
    TViewState view;
    view.Track = &track;
    ResetViewForTrackOpen(view, viewDistance, true);
    GoToStartGrid(view);
    view.FullFrame = true;
    return view;
}
