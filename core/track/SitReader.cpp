#include "core/track/SitReader.h"

#include "core/base/Errors.h"
#include "core/base/Logging.h"
#include "core/track/LevelFile.h"
#include "core/track/RecordFields.h"
#include "core/track/TrackData.h"
#include "core/vfs/PodFile.h"

#include <algorithm>
#include <memory>

namespace {

constexpr int kKeyBudget = 7;
constexpr int kBoxRecordLines = 21;
constexpr int kTopCrushRecordLines = 17;
constexpr int kMaxBackdrops = 3;
constexpr const char* kMessageCaption = "Dunmere GL";

int32_t IntegerField(const std::string& text) {
    return TryStrToInt(text).value_or(0);
}

} // namespace

// Reads one entry line after line, so that the key handlers below stay short.
class TSitLines {
public:
    TSitLines(const TPodFile& pod, const std::string& entryName) : pod_(pod), name_(entryName) {
        OpenTrackEntry(pod_, file_, name_);
    }

    std::string Next() { return pod_.ReadLine(file_, name_); }

    // The n-th of the next n lines; the ones before it are skipped.
    std::string Nth(int n) {
        std::string line;
        for (int i = 0; i < n; ++i) {
            line = Next();
        }
        return line;
    }

    TStringList Record(int lineCount) {
        TStringList lines;
        for (int i = 0; i < lineCount; ++i) {
            lines.push_back(Next());
        }
        return lines;
    }

    // A section count line. Records cut short by the end of the entry still make objects, but
    // every record that begins inside it takes at least one byte: a count above the bytes left
    // cannot come from real data and must not drive the allocation.
    int32_t Count(const char* recordKind) {
        const int32_t count = StrToInt(Next());
        const int64_t end = std::min(pod_.GetEntryEnd(name_), file_.Size());
        const int64_t left = std::max<int64_t>(0, end - file_.Position());
        if (count < 0 || count > left) {
            throw EDunmereError(Format("%s: %d %s records claimed, but only %lld bytes are left",
                                       name_.c_str(), count, recordKind,
                                       static_cast<long long>(left)));
        }
        return count;
    }

private:
    const TPodFile& pod_;
    // A copy: a scan may outlive the name its caller passed.
    const std::string name_;
    TGameFile file_;
};

namespace {

std::unique_ptr<TQRXBox> PlacedModel(double x, double z, const std::string& modelFile) {
    auto box = std::make_unique<TQRXBox>();
    box->X = x;
    box->Z = z;
    box->ModelName = "MODELS\\" + modelFile;
    return box;
}

void ReadBackdropCounts(TTrackData& td, TSitLines& sit) {
    const std::string value = sit.Next();
    WriteLog("backdropType,backdropCount: " + value);
    const TStringList fields = SplitCommaFields(value, 2);
    td.BackdropType = IntegerField(fields[0]);
    td.BackdropCount = IntegerField(fields[1]);
    if (td.BackdropCount > kMaxBackdrops) {
        Messages().ShowMessage(Format("This track has %d backdrops.\r\nOnly the first 3 will be "
                                      "used in DunmereGL.",
                                      td.BackdropCount),
                               kMessageCaption);
    }
}

const TQRXBox* ReadStadium(TTrackData& td, TSitLines& sit) {
    const std::string value = sit.Next();
    WriteLog("stadiumFlag,x,z,sx,sz,stadiumModelName: " + value);
    const TStringList fields = SplitCommaFields(value, 6);
    td.StadiumFlag = IntegerField(fields[0]);
    td.StadiumX = IntegerField(fields[1]);
    td.StadiumZ = IntegerField(fields[2]);
    td.StadiumSX = IntegerField(fields[3]);
    td.StadiumSZ = IntegerField(fields[4]);
    td.StadiumModelName = fields[5];
    if (td.StadiumFlag != 1) {
        return nullptr;
    }
    // The stadium line gives cells; objects are placed in game units.
    td.Stadium = PlacedModel(td.StadiumX * 32.0, td.StadiumZ * 32.0, td.StadiumModelName);
    return td.Stadium.get();
}

std::vector<const TQRXBox*> ReadBackdropNames(TTrackData& td, TSitLines& sit) {
    const int count = std::min(td.BackdropCount, kMaxBackdrops);
    for (int k = 0; k < count; ++k) {
        td.BackdropModelNames[k] = sit.Next();
        WriteLog("backdropModelName: " + td.BackdropModelNames[k]);
    }
    std::vector<const TQRXBox*> made;
    for (int k = 0; k < count; ++k) {
        td.Backdrops[k] = PlacedModel(4100.0, 4200.0, td.BackdropModelNames[k]);
        made.push_back(td.Backdrops[k].get());
    }
    return made;
}

void ReadTrackName(TTrackData& td, TSitLines& sit, TLoadProgress& progress) {
    td.TrackName = sit.Next();
    WriteLog("Track: " + td.TrackName);
    progress.SetCaption(progress.Caption() + " \"" + td.TrackName + "\"");
}

void ReadStartGrid(TTrackData& td, TSitLines& sit) {
    const std::string position = sit.Nth(6);
    WriteLog("First Grid Pos: " + position);
    const auto p = RecordTriple(position);
    // The grid position is kept in singles, so it is wrapped as one.
    double x = static_cast<float>(p[0]);
    double z = static_cast<float>(p[2]);
    WrapGamePosition(x, z);
    td.FirstGridPos =
        TVertex3f{static_cast<float>(x), static_cast<float>(p[1]), static_cast<float>(z)};

    const std::string rotation = sit.Nth(4);
    WriteLog("First Grid Rot: " + rotation);
    const auto r = RecordTriple(rotation);
    td.FirstGridRot =
        TVertex3f{static_cast<float>(r[0]), static_cast<float>(r[1]), static_cast<float>(r[2])};
    WriteLog(Format("%.2f, %.2f, %.2f", td.FirstGridRot.x, td.FirstGridRot.y, td.FirstGridRot.z));
}

std::unique_ptr<TQRXBox> RecordObject(const TStringList& record, int kind) {
    auto box = std::make_unique<TQRXBox>();
    box->ParseLines(record, kind);
    return box;
}

} // namespace

void ReadLvlFileName(TTrackData& td, const TPodFile& pod, const std::string& sitEntryName,
                     TLoadProgress& progress) {
    progress.SetAction("Parsing SIT file");
    progress.SetSubAction("Extracting LVL file name");
    TSitLines sit(pod, sitEntryName);
    td.LvlFileName = "LEVELS\\" + sit.Next();
    WriteLog("LVL: " + td.LvlFileName);
}

TTrackDescriptionScan::TTrackDescriptionScan(TTrackData& track, const TPodFile& pod,
                                             const std::string& sitEntryName,
                                             TLoadProgress& progress)
    : track_(track), progress_(progress), sit_(std::make_unique<TSitLines>(pod, sitEntryName)),
      keysLeft_(kKeyBudget) {}

TTrackDescriptionScan::~TTrackDescriptionScan() {
    std::erase(track_.TrackObjects, nullptr);
}

std::vector<const TQRXBox*> TTrackDescriptionScan::NextObjects() {
    if (stepDue_) {
        stepDue_ = false;
        progress_.StepIt();
    }
    std::vector<const TQRXBox*> made;
    while (made.empty() && !over_) {
        if (section_ != TSection::None) {
            made = NextRecord();
            continue;
        }
        progress_.SetSubAction("Extracting misc. data");
        const std::string line = sit_->Next();
        if (line.empty()) {
            over_ = true;
        } else if (HandleKey(line, made) && section_ == TSection::None) {
            CountKey();
        }
    }
    return made;
}

std::vector<const TQRXBox*> TTrackDescriptionScan::NextRecord() {
    if (recordsRead_ == sectionRecords_) {
        section_ = TSection::None;
        CountKey();
        return {};
    }
    const auto record = static_cast<size_t>(recordsRead_);
    std::vector<const TQRXBox*> made;
    if (section_ == TSection::Boxes) {
        const size_t slot = firstSlot_ + record;
        track_.TrackObjects[slot] = RecordObject(sit_->Record(kBoxRecordLines), 0);
        made = {track_.TrackObjects[slot].get()};
    } else {
        // Every record gives a body and a cab.
        const size_t slot = firstSlot_ + 2 * record;
        const TStringList lines = sit_->Record(kTopCrushRecordLines);
        track_.TrackObjects[slot] = RecordObject(lines, 1);
        track_.TrackObjects[slot + 1] = RecordObject(lines, 2);
        made = {track_.TrackObjects[slot].get(), track_.TrackObjects[slot + 1].get()};
    }
    ++recordsRead_;
    stepDue_ = true;
    return made;
}

bool TTrackDescriptionScan::HandleKey(const std::string& line, std::vector<const TQRXBox*>& made) {
    TTrackData& td = track_;
    TSitLines& sit = *sit_;
    if (line == "backdropType,backdropCount") {
        ReadBackdropCounts(td, sit);
    } else if (line == "!stadiumFlag,x,z,sx,sz,stadiumModelName") {
        if (const TQRXBox* stadium = ReadStadium(td, sit)) {
            made = {stadium};
        }
    } else if (line == "backdropModelName" && td.BackdropCount > 0) {
        made = ReadBackdropNames(td, sit);
    } else if (line == "!Race Track Name") {
        ReadTrackName(td, sit, progress_);
    } else if (line == "*** Vehicles ***") {
        ReadStartGrid(td, sit);
    } else if (line.compare(0, 9, "*** Boxes") == 0) {
        BeginBoxes();
    } else if (UpperCase(line.substr(0, 13)) == "*** TOP CRUSH") {
        BeginTopCrush();
    } else {
        return false;
    }
    return true;
}

void TTrackDescriptionScan::BeginBoxes() {
    progress_.SetSubAction("Reading object (box) data");
    track_.BoxCount = sit_->Count("box");
    WriteLog(Format("%d boxes found", track_.BoxCount));
    track_.TrackObjects.resize(static_cast<size_t>(track_.BoxCount));
    BeginSection(TSection::Boxes, track_.BoxCount, 0);
}

void TTrackDescriptionScan::BeginTopCrush() {
    progress_.SetSubAction("Reading Top Crush data");
    track_.TopCrushCount = sit_->Count("top crush");
    WriteLog(Format("%d top crush objects found", track_.TopCrushCount));
    const size_t n = track_.TrackObjects.size();
    track_.TrackObjects.resize(n + 2 * static_cast<size_t>(track_.TopCrushCount));
    BeginSection(TSection::TopCrush, track_.TopCrushCount, n);
}

void TTrackDescriptionScan::BeginSection(TSection section, int32_t records, size_t firstSlot) {
    progress_.SetRange(0, records);
    progress_.SetPosition(0);
    progress_.SetStep(1);
    section_ = section;
    sectionRecords_ = records;
    recordsRead_ = 0;
    firstSlot_ = firstSlot;
}

void TTrackDescriptionScan::CountKey() {
    if (--keysLeft_ == 0) {
        over_ = true;
    }
}
