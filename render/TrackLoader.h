// LoadTrack: one track of an opened archive becomes the in-memory track, in a fixed
// order of steps, each reported on the progress window and in the log. Problems that do not stop
// the load (missing textures, models, the light map) become lines of warnings; everything else
// raises and ends the load, leaving the track as far as the steps before had changed it.
//
// The readers of core/track fill the track data with plain numbers and names; this walks what they
// read and makes the GL objects from it (the textures of the texture list into
// render's track textures, the models' display lists) right where the steps have always made them,
// so every progress step, log line and warning keeps its place. Needs a current GL context.
#pragma once

#include "core/base/Feedback.h"
#include "core/base/TextUtils.h"
#include "core/session/TrackLoad.h"

#include <string>

class TAssetLog;
class TPalettePool;
class TPodFile;
class TQRXFileFinder;
class TRenderContext;
struct TTrackData;

// The textures and models of the track go to render's texture pool and model store, which are
// emptied first. With assets, every file the load asks for is recorded there with where it was
// found, in the order asked (the caller empties it beforehand). Running out of memory raises
// EDunmereError naming the archive and the track.
// The game textures' palettes come from and go to palettes, which outlives the load.
void LoadTrack(TRenderContext& render, TTrackData& track, TPalettePool& palettes,
               const TPodFile& pod, const std::string& sitEntryName, TLoadProgress& progress,
               TStringList& warnings, TQRXFileFinder& finder, TAssetLog* assets = nullptr);

// A track session's loads into one render context.
class TRenderTrackLoader : public TTrackLoader {
public:
    explicit TRenderTrackLoader(TRenderContext& render) : render_(render) {}
    void Load(TTrackData& track, TPalettePool& palettes, const TPodFile& pod,
              const std::string& sitEntry, TLoadProgress& progress, TStringList& warnings,
              TQRXFileFinder& finder, TAssetLog& assets) override;

private:
    TRenderContext& render_;
};
