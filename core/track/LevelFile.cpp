#include "core/track/LevelFile.h"

#include "core/base/Errors.h"
#include "core/base/Logging.h"
#include "core/track/DMConvert.h"
#include "core/vfs/GameFiles.h"
#include "core/vfs/PodFile.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kLightMapLine = 17;
constexpr int64_t kHeightFileSize = kGridSize * kGridSize;

static_assert(sizeof(TTexEntry) == 2, "texture entries are read as raw 2-byte records");
static_assert(sizeof(TTrackData::LightMap) == 458752);
static_assert(sizeof(TTrackData::TerrainTexIndex) == 131072);
static_assert(sizeof(TTrackData::GroundBoxTexIndex) == 786432);

std::string ReplaceLastChar(const std::string& name, char replacement) {
    if (name.empty()) {
        return name;
    }
    std::string result = name;
    result.back() = replacement;
    return result;
}

void ReadBlock(TGameFile& file, int64_t available, void* table, size_t size) {
    // Inside an archive the bytes after a short entry belong to the next entry: never take them.
    if (available < static_cast<int64_t>(size)) {
        file.RaisePastEnd();
    }
    file.Read(table, size);
}

float WaterValue(const std::string& line, const std::string& entryName) {
    const std::string text = Trim(line);
    const auto value = TryStrToFloat(text);
    if (!value || !std::isfinite(*value)) {
        return 0;
    }
    // Checked after the narrowing: a value a double holds may still be infinite as a single.
    const auto height = static_cast<float>(*value / 1024);
    if (!std::isfinite(height)) {
        WriteLog("Water height " + text + " in " + entryName + " is out of range; no water.");
        return 0;
    }
    return height;
}

void StartGridStep(TLoadProgress& progress, const std::string& subAction) {
    progress.SetSubAction(subAction);
    progress.SetPosition(0);
    progress.SetRange(0, kGridSize);
}

} // namespace

int64_t OpenTrackEntry(const TPodFile& pod, TGameFile& file, const std::string& entryName) {
    if (!pod.OpenEntry(file, entryName)) {
        throw EInOutError("Datei " + entryName + " kann nicht geöffnet werden");
    }
    return pod.GetEntrySize(entryName);
}

void ReadLevelFile(TTrackData& td, const TPodFile& pod, const std::string& lvlEntryName,
                   TLoadProgress& progress) {
    progress.SetAction("Parsing LVL file");
    progress.SetSubAction("Extracting misc. file names");
    TGameFile file;
    OpenTrackEntry(pod, file, lvlEntryName);
    for (int line = 1; line <= kLightMapLine; ++line) {
        const std::string text = pod.ReadLine(file, lvlEntryName);
        switch (line) {
        case 3:
            td.AltitudeFileName = "DATA\\" + text;
            break;
        case 4:
            td.TexIndexFileName = "DATA\\" + text;
            break;
        case 6:
            td.TextureListFileName = "DATA\\" + text;
            break;
        case kLightMapLine:
            td.LightMapFileName = "DATA\\" + text;
            break;
        default:
            break;
        }
    }

    progress.SetSubAction("Extracting water level");
    td.WaterHeight = 0;
    for (;;) {
        const std::string text = pod.ReadLine(file, lvlEntryName);
        if (text.empty()) {
            break;
        }
        if (UpperCase(Trim(text)) == "!WATERHEIGHT") {
            td.WaterHeight = WaterValue(pod.ReadLine(file, lvlEntryName), lvlEntryName);
            break;
        }
    }
}

std::string GroundBoxBottomFileName(const std::string& altitudeFileName) {
    return ReplaceLastChar(altitudeFileName, '0');
}

std::string GroundBoxTopFileName(const std::string& altitudeFileName) {
    return ReplaceLastChar(altitudeFileName, '1');
}

std::string GroundBoxTexIndexFileName(const std::string& texIndexFileName) {
    return ReplaceLastChar(texIndexFileName, '0');
}

void ReadHeightFile(const TPodFile& pod, const std::string& entryName,
                    TVertex3f (&table)[kGridSize][kGridSize], TLoadProgress& progress) {
    TGameFile file;
    if (OpenTrackEntry(pod, file, entryName) < kHeightFileSize) {
        file.RaisePastEnd();
    }
    progress.SetPosition(0);
    progress.SetRange(0, kGridSize);
    for (int r = 0; r < kGridSize; ++r) {
        for (int c = 0; c < kGridSize; ++c) {
            const uint8_t height = file.ReadByte();
            table[r][c] = TVertex3f{static_cast<float>(GridToWorld(r)),
                                    static_cast<float>(LevelByteToHeight(height)),
                                    static_cast<float>(GridToWorld(c))};
        }
        progress.StepIt();
    }
}

void ReadLightMap(TGameFile& file, int64_t available,
                  uint8_t (&lightMap)[kGridSize][kGridSize][7]) {
    ReadBlock(file, available, lightMap, sizeof lightMap);
}

void ReadTerrainTexIndex(TGameFile& file, int64_t available,
                         TTexEntry (&table)[kGridSize][kGridSize]) {
    ReadBlock(file, available, table, sizeof table);
}

void ReadGroundBoxTexIndex(TGameFile& file, int64_t available,
                           TTexEntry (&table)[kGridSize][kGridSize][6]) {
    ReadBlock(file, available, table, sizeof table);
}

void ReadLightMapOrWarn(TTrackData& track, TGameLoad& load, TLoadProgress& progress) {
    StartGridStep(progress, "Terrain lighting");
    TOpenedGameFile found = load.Files.Open(track.LightMapFileName);
    if (found.End < 0) {
        load.Warnings.push_back("Could not load LightMap \"" + track.LightMapFileName +
                                "\"; using uniform terrain lighting.");
        std::fill_n(&track.LightMap[0][0][0], sizeof track.LightMap, uint8_t{255});
        return;
    }
    ReadLightMap(found.File, found.End - found.File.Position(), track.LightMap);
}

void ReadTextureIndexes(TTrackData& track, const TPodFile& pod, TLoadProgress& progress) {
    TGameFile file;
    StartGridStep(progress, "Terrain texture index");
    ReadTerrainTexIndex(file, OpenTrackEntry(pod, file, track.TexIndexFileName),
                        track.TerrainTexIndex);
    file.Close();
    StartGridStep(progress, "Ground box texture index");
    const std::string boxIndexName = GroundBoxTexIndexFileName(track.TexIndexFileName);
    ReadGroundBoxTexIndex(file, OpenTrackEntry(pod, file, boxIndexName), track.GroundBoxTexIndex);
}

TStringList ReadTextureList(TGameFiles& files, const std::string& listFileName) {
    TOpenedGameFile found = files.Open(listFileName);
    TGameFile& file = found.File;
    const int64_t end = found.End;
    if (end < 0) {
        throw EDunmereError("LoadTrack: Unable to find file \"" + listFileName + "\"");
    }
    // Every listed name takes at least one byte, so a count beyond what the file still holds
    // cannot be honest; it must not drive the allocation.
    const int32_t listed = TryStrToInt(ReadLineUntil(file, end)).value_or(0);
    const int64_t available = std::max<int64_t>(0, std::min(end, file.Size()) - file.Position());
    const auto count = static_cast<size_t>(std::clamp<int64_t>(listed, 0, available));
    TStringList names;
    names.reserve(count);
    for (size_t k = 0; k < count; ++k) {
        names.push_back(ReadLineUntil(file, end));
    }
    return names;
}

void MarkTerrainInGroundBoxes(TTrackData& td, TLoadProgress& progress) {
    progress.SetPosition(0);
    progress.SetRange(0, kGridSize);
    for (int r = 0; r < kGridSize; ++r) {
        const int r1 = (r + 1) % kGridSize;
        for (int c = 0; c < kGridSize; ++c) {
            const int c1 = (c + 1) % kGridSize;
            // The cell's own corner decides for all four terrain corners.
            const float lo = td.GroundBoxBottom[r][c].y;
            const float hi = td.GroundBoxTop[r][c].y;
            const auto inside = [lo, hi](float height) { return lo <= height && height <= hi; };
            td.TerrainInGroundBox[r][c] =
                inside(td.TerrainVertices[r][c].y) && inside(td.TerrainVertices[r1][c].y) &&
                inside(td.TerrainVertices[r][c1].y) && inside(td.TerrainVertices[r1][c1].y);
        }
        progress.StepIt();
    }
}
