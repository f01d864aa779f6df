// Reload when files change: what starts a reload, what waits and what is reported instead.
#include "shell/ReloadWatcher.h"
#include "core/vfs/AssetLog.h"
#include "tests/support/ShellTestSupport.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kPatience = 20000; // ms; a notice arrives long before on any machine

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// As packers and editors save: a new file renamed over the old one.
void Replace(const QString& path, const QByteArray& bytes) {
    Write(path + ".new", bytes);
    QFile::remove(path);
    ASSERT_TRUE(QFile::rename(path + ".new", path));
}

class ReloadWatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        ASSERT_TRUE(dir_.isValid());
        archive_ = dir_.filePath("TRACK.POD");
        texture_ = dir_.filePath("ROAD.RAW");
        Write(archive_, "pod");
        Write(texture_, "raw");
        Write(dir_.filePath("DunmereGL.log"), "log");
        assets_.Record(
            {"ART\\ROAD.RAW", TAssetPlace::SearchFolder, texture_.toStdString(), false, 3});
        assets_.Record({"ART\\MUD.RAW", TAssetPlace::Missing, "", false, -1});
        // After the application, so that the watcher gets the file system's notices.
        watcher_ = std::make_unique<TReloadWatcher>();
        reloads_ = std::make_unique<QSignalSpy>(watcher_.get(), &TReloadWatcher::ReloadDue);
        gone_ = std::make_unique<QSignalSpy>(watcher_.get(), &TReloadWatcher::ArchiveGone);
        watcher_->SetEnabled(true);
        watcher_->WatchLoad(archive_.toStdString(), assets_);
    }

    QTemporaryDir dir_;
    QString archive_;
    QString texture_;
    TAssetLog assets_;
    std::unique_ptr<TReloadWatcher> watcher_;
    std::unique_ptr<QSignalSpy> reloads_;
    std::unique_ptr<QSignalSpy> gone_;
};

TEST_F(ReloadWatcherTest, ChangesSettleIntoOneReloadAndAChangeDuringALoadWaitsForItsEnd) {
    EXPECT_EQ(watcher_->WatchedFiles().size(), 2)
        << watcher_->WatchedFiles().join(", ").toStdString();

    // Another file of the folder (the log) changes nothing.
    Write(dir_.filePath("DunmereGL.log"), "log, longer");
    Write(texture_, "raw, rewritten");
    Write(texture_, "raw, rewritten again");
    ASSERT_TRUE(reloads_->wait(kPatience));
    EXPECT_EQ(reloads_->count(), 1);

    watcher_->SetLoading(true);
    Replace(archive_, "pod, repacked");
    // Nothing may come while the load runs, however long it takes.
    EXPECT_FALSE(reloads_->wait(3 * TReloadWatcher::kSettleMs));
    watcher_->WatchLoad(archive_.toStdString(), assets_);
    watcher_->SetLoading(false);
    if (reloads_->count() == 1) {
        ASSERT_TRUE(reloads_->wait(kPatience));
    }
    EXPECT_EQ(reloads_->count(), 2);

    // The replaced archive is watched again.
    Write(archive_, "pod, repacked twice");
    ASSERT_TRUE(reloads_->wait(kPatience));
    EXPECT_EQ(gone_->count(), 0);
}

TEST_F(ReloadWatcherTest, ADeletedArchiveIsReportedOnceAndItsReturnReloads) {
    ASSERT_TRUE(QFile::remove(archive_));
    ASSERT_TRUE(gone_->wait(kPatience));
    EXPECT_EQ(gone_->takeFirst().at(0).toString(), archive_);
    EXPECT_EQ(reloads_->count(), 0);

    Write(archive_, "pod, back");
    ASSERT_TRUE(reloads_->wait(kPatience));
    EXPECT_EQ(gone_->count(), 0);
}

TEST_F(ReloadWatcherTest, SwitchedOffNothingIsWatched) {
    watcher_->SetEnabled(false);
    EXPECT_TRUE(watcher_->WatchedFiles().isEmpty());
    watcher_->WatchLoad(archive_.toStdString(), assets_);
    EXPECT_TRUE(watcher_->WatchedFiles().isEmpty());
    watcher_->SetEnabled(true);
    EXPECT_EQ(watcher_->WatchedFiles().size(), 2);
}

} // namespace
