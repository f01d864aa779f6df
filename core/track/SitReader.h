// The track description (SIT entry of the track's archive), read in two passes.
//
// Text, as ReadLine delivers it (blank lines skipped, lines not trimmed). Line 1 names the level
// file below LEVELS\. Key lines, compared exactly unless noted, each followed by its values:
//   "backdropType,backdropCount"              1 line: type,count
//   "!stadiumFlag,x,z,sx,sz,stadiumModelName" 1 line: five integers, then the model name (the rest
//                                             of the line after the fifth comma)
//   "backdropModelName"                       min(count, 3) lines of model names; only a key while
//                                             the backdrop count is above 0
//   "!Race Track Name"                        1 line: the track name
//   "*** Vehicles ***"                        10 lines: line 6 = first grid position x,y,z (game
//                                             units), line 10 = first grid rotation (radians)
//   "*** Boxes..."     (first 9 characters)   a count, then count records of 21 lines (kind 0)
//   "*** TOP CRUSH..." (first 13, any case)   a count, then count records of 17 lines, each giving
//                                             a body (kind 1) and a cab (kind 2)
// An integer field that is not an integer is 0; start grid numbers and section counts that are
// not numbers raise EConvertError. Seven recognised keys end the scan, repeated keys included.
#pragma once

#include "core/base/Feedback.h"
#include "core/track/QRXBox.h"

#include <functional>
#include <string>

class TPodFile;
struct TTrackData;

// Loads the model of a freshly made object; the loading pipeline hands over one that reaches the
// archive, the finder and the warnings list.
using TModelLoader = std::function<void(TQRXBox&)>;

// Pass 1: LvlFileName of track := "LEVELS\" + line 1, logged as "LVL: " + it. A SIT entry
// missing from the archive raises EInOutError.
void ReadLvlFileName(TTrackData& track, const TPodFile& pod, const std::string& sitEntryName,
                     TLoadProgress& progress);

// Pass 2: every key above into track, creating the stadium, the backdrops and the objects of
// TrackObjects (boxes in slots 0.., then body and cab of each top-crush record). More than three
// backdrops are announced through Messages(). A section count that the rest of the entry cannot
// hold (negative, or more records than bytes left) raises EInOutError.
void ReadTrackDescription(TTrackData& track, const TPodFile& pod, const std::string& sitEntryName,
                          TLoadProgress& progress, const TModelLoader& loadModel);
