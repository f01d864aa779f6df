// LoadTrack: one track of an opened archive becomes the in-memory track (TrackData()), in a fixed
// order of steps, each reported on the progress window and in the log. Problems that do not stop
// the load (missing textures, models, the light map) become lines of warnings; everything else
// raises and ends the load, leaving TrackData() as far as the steps before had changed it.
// Needs a current GL context (textures and model display lists are made on the way).
#pragma once

#include "core/base/Feedback.h"
#include "core/base/TextUtils.h"

#include <string>

class TPodFile;
class TQRXFileFinder;

void LoadTrack(const TPodFile& pod, const std::string& sitEntryName, TLoadProgress& progress,
               TStringList& warnings, TQRXFileFinder& finder);
