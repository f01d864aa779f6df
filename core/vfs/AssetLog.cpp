#include "core/vfs/AssetLog.h"

#include "core/base/ProgramFolder.h"
#include "core/base/TextUtils.h"
#include "core/vfs/FileTools.h"
#include "core/vfs/GameFile.h"
#include "core/vfs/PodFile.h"

#include <algorithm>
#include <nlohmann/json.hpp>

void TAssetLog::Record(TAssetRecord record) {
    if (known_.insert(UpperCase(record.Name)).second) {
        records_.push_back(std::move(record));
    }
}

void TAssetLog::Clear() {
    records_.clear();
    known_.clear();
}

void RecordArchiveEntry(TAssetLog& log, const TPodFile& archive, const std::string& name) {
    TAssetRecord record;
    record.Name = name;
    if (archive.FindEntry(name) >= 0) {
        record.Place = TAssetPlace::Archive;
        record.File = archive.ArchivePath();
        record.InsideArchive = true;
        record.Size = archive.GetEntrySize(name);
    }
    log.Record(std::move(record));
}

void RecordViewerFiles(TAssetLog& log) {
    // The default palette, the fallback texture and the water ripples with their palette.
    for (const char* relative :
         {"data/metalcr2.act", "data/missing.tga", "data/RIPPL100.RAW", "data/RIPPL100.ACT"}) {
        TAssetRecord record;
        record.Name = relative;
        std::replace(record.Name.begin(), record.Name.end(), '/', '\\');
        TGameFile file;
        const std::string path = ProgramFolder() + relative;
        if (FileExists(path) && file.Open(path)) {
            record.Place = TAssetPlace::DataFolder;
            record.File = path;
            record.Size = file.Size();
        }
        log.Record(std::move(record));
    }
}

std::string AssetPlaceText(TAssetPlace place) {
    switch (place) {
    case TAssetPlace::Archive:
        return "archive";
    case TAssetPlace::DataFolder:
        return "data folder";
    case TAssetPlace::SearchFolder:
        return "search folder";
    case TAssetPlace::Missing:
        break;
    }
    return "missing";
}

std::string FormatAssetLine(const TAssetRecord& record) {
    if (record.Place == TAssetPlace::Missing) {
        return record.Name + "\tmissing\t-";
    }
    std::string where = AssetPlaceText(record.Place) + " " + record.File;
    if (record.InsideArchive && record.Place != TAssetPlace::Archive) {
        where = AssetPlaceText(record.Place) + ", inside " + record.File;
    }
    return record.Name + "\t" + where + "\t" + std::to_string(record.Size);
}

std::string FormatAssetJson(const std::vector<TAssetRecord>& records) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const TAssetRecord& record : records) {
        const bool found = record.Place != TAssetPlace::Missing;
        list.push_back({
            {"name", Cp1252ToUtf8(record.Name)},
            {"found", AssetPlaceText(record.Place)},
            {"file", found ? nlohmann::ordered_json(record.File) : nlohmann::ordered_json()},
            {"inside_archive", record.InsideArchive},
            {"size", found ? nlohmann::ordered_json(record.Size) : nlohmann::ordered_json()},
        });
    }
    // Paths are the file system's own bytes; one that is not UTF-8 must not end the report.
    return list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}
