// What a track session asks of the side that makes GL objects: the load of one track.
#pragma once

#include "core/base/Feedback.h"
#include "core/base/TextUtils.h"

#include <string>

class TAssetLog;
class TPalettePool;
class TPodFile;
class TQRXFileFinder;
struct TTrackData;

// The load itself: the render side reads the track into track and makes its GL objects.
class TTrackLoader {
public:
    virtual ~TTrackLoader() = default;
    virtual void Load(TTrackData& track, TPalettePool& palettes, const TPodFile& pod,
                      const std::string& sitEntry, TLoadProgress& progress, TStringList& warnings,
                      TQRXFileFinder& finder, TAssetLog& assets) = 0;
};
