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

#include <memory>
#include <string>
#include <vector>

class TPodFile;
class TSitLines;
struct TTrackData;

// Pass 1: LvlFileName of track := "LEVELS\" + line 1, logged as "LVL: " + it. A SIT entry
// missing from the archive raises EInOutError.
void ReadLvlFileName(TTrackData& track, const TPodFile& pod, const std::string& sitEntryName,
                     TLoadProgress& progress);

// Pass 2: every key above into track, creating the stadium, the backdrops and the objects of
// TrackObjects (boxes in slots 0.., then body and cab of each top-crush record). More than three
// backdrops are announced through Messages(). A section count that the rest of the entry cannot
// hold (negative, or more records than bytes left) raises EInOutError.
//
// The scan stops wherever it has made objects and hands them out, so that the load fetches their
// models before it reads on: the log has always shown a model's lines right after the line or
// record that placed it.
class TTrackDescriptionScan {
public:
    // A SIT entry missing from the archive raises EInOutError.
    TTrackDescriptionScan(TTrackData& track, const TPodFile& pod, const std::string& sitEntryName,
                          TLoadProgress& progress);
    // A section is sized before its records are read; a scan that ends inside one, because a
    // record or the caller's model load raised, takes the slots no record filled out again, since
    // no reader of the track may meet an empty slot.
    ~TTrackDescriptionScan();
    TTrackDescriptionScan(const TTrackDescriptionScan&) = delete;
    TTrackDescriptionScan& operator=(const TTrackDescriptionScan&) = delete;

    // Reads on to the next objects made, complete: the stadium, the backdrops, one box, or the
    // body and cab of one top-crush record. Empty once the scan is over. A record counts as a
    // progress step when the next call begins, once its objects have their models.
    std::vector<const TQRXBox*> NextObjects();

private:
    enum class TSection { None, Boxes, TopCrush };

    std::vector<const TQRXBox*> NextRecord();
    // The objects the key that line is made, if any; false when line is no key.
    bool HandleKey(const std::string& line, std::vector<const TQRXBox*>& made);
    void BeginBoxes();
    void BeginTopCrush();
    // A section of records, sized in the track's objects from firstSlot on: one progress step
    // each.
    void BeginSection(TSection section, int32_t records, size_t firstSlot);
    // One key more is in; once seven are, nothing after the last of them is read.
    void CountKey();

    TTrackData& track_;
    TLoadProgress& progress_;
    std::unique_ptr<TSitLines> sit_;
    int keysLeft_;
    bool over_ = false;
    TSection section_ = TSection::None;
    // The records of the open section: how many, how many read, and its first slot.
    int32_t sectionRecords_ = 0;
    int32_t recordsRead_ = 0;
    size_t firstSlot_ = 0;
    bool stepDue_ = false;
};
