#include "core/vfs/GameFiles.h"

#include "core/vfs/AssetLog.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"

TOpenedGameFile TGameFiles::Open(const std::string& name) {
    TOpenedGameFile opened;
    if (archive_ != nullptr && archive_->OpenEntry(opened.File, name)) {
        opened.Size = archive_->GetEntrySize(name);
        opened.End = archive_->GetEntryEnd(name);
        opened.Source = TGameFileSource::Archive;
        Record(name, opened.Source, opened.Size);
        return opened;
    }
    const int64_t size = finder_.OpenFile(opened.File, name);
    if (size >= 0) {
        opened.Size = size;
        opened.End = opened.File.Position() + size;
        opened.Source = TGameFileSource::Finder;
    }
    Record(name, opened.Source, opened.Size);
    return opened;
}

void TGameFiles::RecordCached(const std::string& name) {
    if (log_ == nullptr) {
        return;
    }
    if (archive_ != nullptr && archive_->FindEntry(name) >= 0) {
        Record(name, TGameFileSource::Archive, archive_->GetEntrySize(name));
        return;
    }
    TGameFile file;
    const int64_t size = finder_.OpenFile(file, name);
    Record(name, size >= 0 ? TGameFileSource::Finder : TGameFileSource::Nowhere, size);
}

void TGameFiles::Record(const std::string& name, TGameFileSource source, int64_t size) {
    if (log_ == nullptr) {
        return;
    }
    TAssetRecord record;
    record.Name = name;
    record.Size = size;
    if (source == TGameFileSource::Archive) {
        record.Place = TAssetPlace::Archive;
        record.File = archive_->ArchivePath();
        record.InsideArchive = true;
    } else if (source == TGameFileSource::Finder) {
        // The finder has cached the answer it opened the file by, so this reads no folder.
        const std::string location = finder_.Locate(name);
        record.File = location.substr(1);
        record.InsideArchive = location[0] == 'P';
        const std::string dataFolder =
            finder_.SearchFolders.empty() ? std::string() : finder_.SearchFolders.front() + "/";
        const bool inDataFolder =
            !dataFolder.empty() && record.File.compare(0, dataFolder.size(), dataFolder) == 0;
        record.Place = inDataFolder ? TAssetPlace::DataFolder : TAssetPlace::SearchFolder;
    }
    log_->Record(std::move(record));
}

void TGameLoad::WarnOnce(const std::string& line) {
    if (knownCount_ > Warnings.size()) { // emptied by its owner: start over
        known_.clear();
        knownCount_ = 0;
    }
    for (; knownCount_ < Warnings.size(); ++knownCount_) {
        known_.insert(Warnings[knownCount_]);
    }
    if (known_.insert(line).second) {
        Warnings.push_back(line);
        ++knownCount_;
    }
}
