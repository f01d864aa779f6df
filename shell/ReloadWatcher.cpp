#include "shell/ReloadWatcher.h"

#include "core/vfs/AssetLog.h"

#include <QFileInfo>

TReloadWatcher::TReloadWatcher(QObject* parent) : QObject(parent) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &TReloadWatcher::Settle);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &TReloadWatcher::NoteChange);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &TReloadWatcher::NoteChange);
}

void TReloadWatcher::SetEnabled(bool on) {
    enabled_ = on;
    if (!on) {
        settle_.stop();
        pending_ = false;
    }
    Rewatch();
}

void TReloadWatcher::WatchLoad(const std::string& archive, const TAssetLog& assets) {
    archive_ = QString::fromStdString(archive);
    stamps_.clear();
    stamps_[archive_] = StampOf(archive_);
    for (const TAssetRecord& record : assets.Records()) {
        if (record.Place != TAssetPlace::Missing && !record.File.empty()) {
            const QString file = QString::fromStdString(record.File);
            stamps_[file] = StampOf(file);
        }
    }
    // A change that came during this load is still due: the load may have read the file
    // half-written.
    pending_ = pending_ || settle_.isActive();
    archiveGoneSaid_ = false;
    Rewatch();
}

void TReloadWatcher::SetLoading(bool loading) {
    loading_ = loading;
    if (!loading && pending_) {
        Settle();
    }
}

QStringList TReloadWatcher::WatchedFiles() const {
    return watcher_.files();
}

TReloadWatcher::TStamp TReloadWatcher::StampOf(const QString& file) {
    const QFileInfo info(file);
    if (!info.exists()) {
        return {};
    }
    return {true, info.size(), info.lastModified()};
}

void TReloadWatcher::Rewatch() {
    const QStringList files = watcher_.files();
    const QStringList folders = watcher_.directories();
    if (!files.isEmpty()) {
        watcher_.removePaths(files);
    }
    if (!folders.isEmpty()) {
        watcher_.removePaths(folders);
    }
    if (!enabled_) {
        return;
    }
    QStringList wanted;
    QStringList wantedFolders;
    for (const auto& [file, stamp] : stamps_) {
        if (QFileInfo::exists(file)) {
            wanted.append(file);
        }
        const QString folder = QFileInfo(file).absolutePath();
        if (!wantedFolders.contains(folder) && QFileInfo::exists(folder)) {
            wantedFolders.append(folder);
        }
    }
    if (!wanted.isEmpty()) {
        watcher_.addPaths(wanted);
    }
    if (!wantedFolders.isEmpty()) {
        watcher_.addPaths(wantedFolders);
    }
}

bool TReloadWatcher::TakeChanges() {
    bool changed = false;
    for (auto& [file, stamp] : stamps_) {
        const TStamp now = StampOf(file);
        if (!(now == stamp)) {
            stamp = now;
            changed = true;
        }
    }
    return changed;
}

void TReloadWatcher::NoteChange() {
    if (!enabled_) {
        return;
    }
    // A file replaced by renaming drops out of the watch; it is watched again as it is now.
    bool missingFromWatch = false;
    const QStringList watched = watcher_.files();
    for (const auto& [file, stamp] : stamps_) {
        missingFromWatch = missingFromWatch || (QFileInfo::exists(file) && !watched.contains(file));
    }
    if (missingFromWatch) {
        Rewatch();
    }
    bool differs = false;
    for (const auto& [file, stamp] : stamps_) {
        differs = differs || !(StampOf(file) == stamp);
    }
    if (differs) {
        settle_.start(); // each further change starts the wait again
    }
}

void TReloadWatcher::Settle() {
    if (!enabled_) {
        return;
    }
    if (loading_) {
        pending_ = true;
        return;
    }
    const bool changed = TakeChanges();
    if (!changed && !pending_) {
        return;
    }
    pending_ = false;
    if (!QFileInfo::exists(archive_)) {
        if (!archiveGoneSaid_) {
            archiveGoneSaid_ = true;
            emit ArchiveGone(archive_);
        }
        return;
    }
    archiveGoneSaid_ = false;
    emit ReloadDue();
}
