// TTrackSession: one opened track and everything it is opened with: the INI file and the user's
// preferences, the search folders with their finder, the opened archive, the asset log and the
// warnings of the last load, the view state, the palette pool and the track data. The viewer's
// window and the command-line tool each own one and open tracks only through it, so both choose,
// load and place a track alike.
//
// Opening a track: ChooseTrack picks the description of the archive, OpenTrack loads it through
// the render side's loader and places the view: at saved location 0 of the track when the INI file
// has one, else at the start grid. ReloadTrack loads the same description again from the archive
// file as it is now, all or nothing, and leaves the view where it is.
//
// Only a load writes the track (through the loader); everything after it (camera, view commands,
// export, the renderer) reads it through Track() or the view's Track, which points at it for the
// session's whole life.
//
// Re-entrancy. Everything runs on the one user-interface thread, all GL calls and file reading
// included. The only re-entrancy comes from places that let pending window events run inside a
// long operation: a frame lets them run once at its start (RenderFrame, before it sets Busy, so an
// input handled there may draw a whole frame of its own first), a track load after each change of
// its progress labels, and the modal dialogs in their own loops. The view's Busy guards the view
// against that: it is set
//   - during a frame, from after its first pending events to its end (also when it raises),
//   - during a track load,
//   - while the Open dialog is up,
//   - from the end of start-up until the first track has been opened or the Open dialog closed.
// While it is set the mouse and key handlers (Camera.h) only record the pointer and return, and
// the window draws no frame.
#pragma once

#include "core/base/Feedback.h"
#include "core/base/StepTimes.h"
#include "core/base/TextUtils.h"
#include "core/formats/PalettePool.h"
#include "core/session/TrackLoad.h"
#include "core/settings/DMGLPrefs.h"
#include "core/settings/IniFile.h"
#include "core/track/TrackData.h"
#include "core/vfs/AssetLog.h"
#include "core/vfs/GameFiles.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "core/view/ViewState.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TTrackSession {
public:
    // Reads the preferences, the water colour and the search paths of iniFileName; searchFolders
    // replace the INI's search paths for this session (the program's data folder still comes
    // first). Writes no log line, so the owner opens the log when it likes.
    explicit TTrackSession(const std::string& iniFileName,
                           const std::optional<TStringList>& searchFolders = std::nullopt);
    TTrackSession(const TTrackSession&) = delete;
    TTrackSession& operator=(const TTrackSession&) = delete;

    TIniFile& Ini() { return ini_; }
    const TIniFile& Ini() const { return ini_; }
    TDMGLPrefs& Prefs() { return prefs_; }
    const TDMGLPrefs& Prefs() const { return prefs_; }

    // The five search paths; after changing them, SearchAgain makes the finder use them.
    TStringList& SearchPaths() { return searchPaths_; }
    void SearchAgain();
    TQRXFileFinder& Finder() { return finder_; }

    // Replaces the opened archive. The track stays as the last load left it.
    void UseArchive(TPodFile archive);
    const TPodFile* Archive() const { return archive_.get(); }
    // The game files of the opened archive and the search folders.
    TGameFiles Files() { return TGameFiles(archive_.get(), finder_); }

    // The track description to open: none when the archive has none, the only one, or else the
    // line select picks from the track names (an answer outside the list chooses none).
    std::optional<std::string>
    ChooseTrack(const std::function<int(const TStringList& trackNames)>& select) const;
    // Loads sitEntry of the opened archive and places the view for it; what the caller must do
    // for the view comes back. A load that raises leaves the track as far as it got and the view
    // where it was.
    TViewResult OpenTrack(const std::string& sitEntry, TLoadProgress& progress,
                          TTrackLoader& loader);
    // Reads the opened archive's file again and loads the description of the last load from it
    // into a track of its own, with the same search folders. Only once that has succeeded do the
    // archive, the track, the palettes, the asset log and the warnings replace the old ones; a
    // load that raises (a half-written archive, a damaged entry) leaves everything as it was.
    // The camera, the view distance and the display settings stay as they are.
    void ReloadTrack(TLoadProgress& progress, TTrackLoader& loader);
    // The description the last successful load read; empty before the first.
    const std::string& SitEntry() const { return sitEntry_; }

    // Every file the last load asked for, and where it was found.
    const TAssetLog& Assets() const { return assets_; }
    // The warnings of the last load.
    const TStringList& Warnings() const { return warnings_; }
    // How long each step of the last load took.
    const std::vector<TStepTime>& LoadSteps() const { return loadSteps_; }
    // Raises EDunmereError when output is the opened archive, the settings file or a file the
    // last load read, so that no writer destroys what the track came from (OutputGuard.h).
    void RefuseToOverwrite(const std::string& output) const;

    TViewState& View() { return view_; }
    const TViewState& View() const { return view_; }
    TPalettePool& Palettes() { return palettes_; }
    const TTrackData& Track() const { return *track_; }
    bool TrackLoaded() const { return track_->TrackLoaded; }

private:
    TIniFile ini_;
    TDMGLPrefs prefs_;
    TStringList searchPaths_;
    TQRXFileFinder finder_;
    std::unique_ptr<TPodFile> archive_;
    TAssetLog assets_;
    TStringList warnings_;
    std::vector<TStepTime> loadSteps_;
    std::string sitEntry_;
    TPalettePool palettes_;
    // About 80 MB of fixed tables: far too much for any stack.
    std::unique_ptr<TTrackData> track_ = std::make_unique<TTrackData>();
    TViewState view_;
};
