// "Reload when files change": watches the opened archive and every file the last load read (the
// loose files and archives of its asset log) and asks for a reload once changes have settled, no
// further change having come for kSettleMs. The file system reports changes (inotify), so
// watching costs nothing while nothing changes.
//
// A change while a load runs waits for its end (SetLoading). A reload that fails leaves the
// watcher as it is, so the next change tries again; a deleted archive is reported instead of
// reloaded, and its return counts as a change. Files replaced by renaming (as packers and editors
// save) are watched through their folders, and every notice is checked against each file's size
// and time, so that the other files of a folder (the log among them) never start a reload.
#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <map>
#include <string>

class TAssetLog;

class TReloadWatcher : public QObject {
    Q_OBJECT

public:
    static constexpr int kSettleMs = 500;

    explicit TReloadWatcher(QObject* parent = nullptr);

    // Off, nothing is watched and nothing is asked for.
    void SetEnabled(bool on);
    bool Enabled() const { return enabled_; }
    // The files of the load that has just ended; they replace those of the load before.
    void WatchLoad(const std::string& archive, const TAssetLog& assets);
    void SetLoading(bool loading);
    QStringList WatchedFiles() const;

signals:
    void ReloadDue();
    void ArchiveGone(const QString& archive);

private slots:
    void NoteChange();
    void Settle();

private:
    struct TStamp {
        bool Exists = false;
        qint64 Size = -1;
        QDateTime Modified;
        bool operator==(const TStamp&) const = default;
    };
    static TStamp StampOf(const QString& file);
    void Rewatch();
    bool TakeChanges();

    QFileSystemWatcher watcher_;
    QTimer settle_;
    QString archive_;
    std::map<QString, TStamp> stamps_;
    bool enabled_ = false;
    bool loading_ = false;
    bool pending_ = false;
    bool archiveGoneSaid_ = false;
};
