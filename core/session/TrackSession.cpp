#include "core/session/TrackSession.h"

#include "core/base/Errors.h"

#include "core/settings/SearchPaths.h"
#include "core/vfs/OutputGuard.h"
#include "core/view/Camera.h"
#include "core/view/CameraLocations.h"
#include "core/view/ViewCommands.h"

#include <algorithm>

namespace {

void Combine(TViewResult& into, const TViewResult& result) {
    into.UpdateProjection = into.UpdateProjection || result.UpdateProjection;
    into.Redraw = std::max(into.Redraw, result.Redraw);
    into.Beep = into.Beep || result.Beep;
}

} // namespace

TTrackSession::TTrackSession(const std::string& iniFileName,
                             const std::optional<TStringList>& searchFolders)
    : ini_(iniFileName), prefs_(iniFileName),
      searchPaths_(searchFolders.value_or(LoadSearchPaths(ini_))) {
    searchPaths_.resize(kSearchPathCount);
    SearchAgain();
    view_.Track = track_.get();
    view_.HideObjectsWhileMovingFor = prefs_.HideObjectsWhileMovingFor;
    view_.WaterColor = ReadWaterColor(ini_);
}

void TTrackSession::SearchAgain() {
    BuildSearchFolders(finder_, searchPaths_);
}

void TTrackSession::UseArchive(TPodFile archive) {
    archive_ = std::make_unique<TPodFile>(std::move(archive));
}

std::optional<std::string>
TTrackSession::ChooseTrack(const std::function<int(const TStringList& trackNames)>& select) const {
    if (archive_ == nullptr || archive_->SitEntries().empty()) {
        return std::nullopt;
    }
    const TStringList& sits = archive_->SitEntries();
    if (sits.size() == 1) {
        return NamePart(sits.front());
    }
    TStringList names;
    for (const std::string& line : sits) {
        names.push_back(ValuePart(line));
    }
    const int index = select(names);
    if (index < 0 || index >= static_cast<int>(sits.size())) {
        return std::nullopt;
    }
    return NamePart(sits[static_cast<size_t>(index)]);
}

TViewResult TTrackSession::OpenTrack(const std::string& sitEntry, TLoadProgress& progress,
                                     TTrackLoader& loader) {
    if (archive_ == nullptr) {
        throw EDunmereError("No track found in POD file.");
    }
    assets_.Clear();
    warnings_.clear();
    loadSteps_.clear();
    TTimedProgress timed(progress);
    loader.Load(*track_, palettes_, *archive_, sitEntry, timed, warnings_, finder_, assets_);
    loadSteps_ = timed.Finish();
    sitEntry_ = sitEntry;

    TViewResult result =
        ResetViewForTrackOpen(view_, prefs_.ResetViewDistTo, prefs_.ShowObjectsAfterLoad);
    const std::string& trackName = track_->TrackName;
    if (!ini_.ReadString(kCameraPosSection, CameraLocationKey(trackName, 0), "").empty()) {
        TViewResult restored = RestoreCameraLocation(ini_, view_, trackName, 0);
        // The caller draws once the whole open has finished.
        restored.Redraw = TRedraw::None;
        Combine(result, restored);
    } else {
        Combine(result, GoToStartGrid(view_));
    }
    return result;
}

void TTrackSession::ReloadTrack(TLoadProgress& progress, TTrackLoader& loader) {
    if (archive_ == nullptr || sitEntry_.empty() || !track_->TrackLoaded) {
        throw EDunmereError("No track has been loaded to reload.");
    }
    auto archive = std::make_unique<TPodFile>(archive_->ArchivePath());
    auto track = std::make_unique<TTrackData>();
    // The finder remembers every answer for the run, so a file added to a search folder since,
    // often the very texture the track maker found missing, would stay missing: a new one asks
    // the folders as they are now.
    TQRXFileFinder finder;
    BuildSearchFolders(finder, searchPaths_);
    // A palette file may have changed as much as any other, so none is taken from the last load.
    TPalettePool palettes;
    TAssetLog assets;
    TStringList warnings;
    TTimedProgress timed(progress);
    loader.Load(*track, palettes, *archive, sitEntry_, timed, warnings, finder, assets);
    if (!track->TrackLoaded) {
        throw EDunmereError("No track found in POD file.");
    }
    loadSteps_ = timed.Finish();
    archive_ = std::move(archive);
    finder_ = std::move(finder);
    track_ = std::move(track);
    view_.Track = track_.get();
    palettes_ = std::move(palettes);
    assets_ = std::move(assets);
    warnings_ = std::move(warnings);
}

void TTrackSession::RefuseToOverwrite(const std::string& output) const {
    ::RefuseToOverwrite(
        output, FilesOfLoad(archive_ ? archive_->ArchivePath() : "", ini_.FileName(), assets_));
}
