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
    const std::string& name_;
    TGameFile file_;
};

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

void ReadStadium(TTrackData& td, TSitLines& sit, const TModelLoader& loadModel) {
    const std::string value = sit.Next();
    WriteLog("stadiumFlag,x,z,sx,sz,stadiumModelName: " + value);
    const TStringList fields = SplitCommaFields(value, 6);
    td.StadiumFlag = IntegerField(fields[0]);
    td.StadiumX = IntegerField(fields[1]);
    td.StadiumZ = IntegerField(fields[2]);
    td.StadiumSX = IntegerField(fields[3]);
    td.StadiumSZ = IntegerField(fields[4]);
    td.StadiumModelName = fields[5];
    if (td.StadiumFlag == 1) {
        // The stadium line gives cells; objects are placed in game units.
        td.Stadium = PlacedModel(td.StadiumX * 32.0, td.StadiumZ * 32.0, td.StadiumModelName);
        loadModel(*td.Stadium);
    }
}

void ReadBackdropNames(TTrackData& td, TSitLines& sit, const TModelLoader& loadModel) {
    const int count = std::min(td.BackdropCount, kMaxBackdrops);
    for (int k = 0; k < count; ++k) {
        td.BackdropModelNames[k] = sit.Next();
        WriteLog("backdropModelName: " + td.BackdropModelNames[k]);
    }
    for (int k = 0; k < count; ++k) {
        td.Backdrops[k] = PlacedModel(4100.0, 4200.0, td.BackdropModelNames[k]);
        loadModel(*td.Backdrops[k]);
    }
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

std::unique_ptr<TQRXBox> RecordObject(const TStringList& record, int kind,
                                      const TModelLoader& loadModel) {
    auto box = std::make_unique<TQRXBox>();
    box->ParseLines(record, kind);
    loadModel(*box);
    return box;
}

void ReadBoxes(TTrackData& td, TSitLines& sit, TLoadProgress& progress,
               const TModelLoader& loadModel) {
    progress.SetSubAction("Reading object (box) data");
    td.BoxCount = sit.Count("box");
    WriteLog(Format("%d boxes found", td.BoxCount));
    td.TrackObjects.resize(static_cast<size_t>(td.BoxCount));
    progress.SetRange(0, td.BoxCount);
    progress.SetPosition(0);
    progress.SetStep(1);
    for (int32_t i = 0; i < td.BoxCount; ++i) {
        td.TrackObjects[i] = RecordObject(sit.Record(kBoxRecordLines), 0, loadModel);
        progress.StepIt();
    }
}

void ReadTopCrush(TTrackData& td, TSitLines& sit, TLoadProgress& progress,
                  const TModelLoader& loadModel) {
    progress.SetSubAction("Reading Top Crush data");
    td.TopCrushCount = sit.Count("top crush");
    WriteLog(Format("%d top crush objects found", td.TopCrushCount));
    const size_t n = td.TrackObjects.size();
    td.TrackObjects.resize(n + 2 * static_cast<size_t>(td.TopCrushCount));
    progress.SetRange(0, td.TopCrushCount);
    progress.SetPosition(0);
    progress.SetStep(1);
    for (int32_t i = 0; i < td.TopCrushCount; ++i) {
        const TStringList record = sit.Record(kTopCrushRecordLines);
        td.TrackObjects[n + 2 * i] = RecordObject(record, 1, loadModel);
        td.TrackObjects[n + 2 * i + 1] = RecordObject(record, 2, loadModel);
        progress.StepIt();
    }
}

// Runs the handler of the key that line is, if any; false when line is no key.
bool HandleKey(TTrackData& td, const std::string& line, TSitLines& sit, TLoadProgress& progress,
               const TModelLoader& loadModel) {
    if (line == "backdropType,backdropCount") {
        ReadBackdropCounts(td, sit);
    } else if (line == "!stadiumFlag,x,z,sx,sz,stadiumModelName") {
        ReadStadium(td, sit, loadModel);
    } else if (line == "backdropModelName" && td.BackdropCount > 0) {
        ReadBackdropNames(td, sit, loadModel);
    } else if (line == "!Race Track Name") {
        ReadTrackName(td, sit, progress);
    } else if (line == "*** Vehicles ***") {
        ReadStartGrid(td, sit);
    } else if (line.compare(0, 9, "*** Boxes") == 0) {
        ReadBoxes(td, sit, progress, loadModel);
    } else if (UpperCase(line.substr(0, 13)) == "*** TOP CRUSH") {
        ReadTopCrush(td, sit, progress, loadModel);
    } else {
        return false;
    }
    return true;
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

void ReadTrackDescription(TTrackData& td, const TPodFile& pod, const std::string& sitEntryName,
                          TLoadProgress& progress, const TModelLoader& loadModel) {
    TSitLines sit(pod, sitEntryName);
    int budget = kKeyBudget;
    try {
        for (;;) {
            progress.SetSubAction("Extracting misc. data");
            const std::string line = sit.Next();
            if (line.empty()) {
                break;
            }
            // Once seven keys are in, nothing after the last of them is read.
            if (HandleKey(td, line, sit, progress, loadModel) && --budget == 0) {
                break;
            }
        }
    } catch (...) {
        // A section is sized before its records are read; a record that fails leaves its slot
        // and the later ones empty, and no reader of the track may meet an empty slot.
        std::erase(td.TrackObjects, nullptr);
        throw;
    }
}
