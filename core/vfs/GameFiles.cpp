#include "core/vfs/GameFiles.h"

#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"

TOpenedGameFile TGameFiles::Open(const std::string& name) {
    TOpenedGameFile opened;
    if (archive_ != nullptr && archive_->OpenEntry(opened.File, name)) {
        opened.Size = archive_->GetEntrySize(name);
        opened.End = archive_->GetEntryEnd(name);
        opened.Source = TGameFileSource::Archive;
        return opened;
    }
    const int64_t size = finder_.OpenFile(opened.File, name);
    if (size >= 0) {
        opened.Size = size;
        opened.End = opened.File.Position() + size;
        opened.Source = TGameFileSource::Finder;
    }
    return opened;
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
