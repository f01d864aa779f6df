#include "shell/TrackReloader.h"

#include "core/base/Errors.h"
#include "core/settings/IniFile.h"
#include "core/view/ViewCommands.h"
#include "shell/MainFormDialogs.h"
#include "shell/TrackView.h"
#include "shell/dialogs/FormProgress.h"

#include <QAction>
#include <QApplication>
#include <QEvent>

TTrackReloader::TTrackReloader(TTrackSession& session, TTrackView& view, TMainFormDialogs& dialogs,
                               TTrackReloadHost& host, QAction* reloadEntry, QAction* watchEntry,
                               const std::function<void(const std::function<void()>&)>& run,
                               QWidget* window)
    : QObject(window), session_(session), view_(view), dialogs_(dialogs), host_(host),
      watchEntry_(watchEntry), window_(window) {
    connect(reloadEntry, &QAction::triggered, this,
            [this, run] { run([this] { ReloadByHand(); }); });
    connect(watchEntry, &QAction::triggered, this,
            [this, run] { run([this] { ToggleWatching(); }); });
    // Queued: a change that waited for a load is reported as that load ends, and the reload
    // runs once the load has wholly finished.
    connect(&watcher_, &TReloadWatcher::ReloadDue, this, &TTrackReloader::ReloadOnChange,
            Qt::QueuedConnection);
    connect(&watcher_, &TReloadWatcher::ArchiveGone, this, &TTrackReloader::ArchiveGone);

    const bool watching =
        UpperCase(session_.Ini().ReadString(kPreferencesSection, kReloadOnChangeKey, "N")) == "Y";
    watcher_.SetEnabled(watching);
    watchEntry_->setChecked(watching);
}

void TTrackReloader::TrackLoaded() {
    if (session_.Archive() != nullptr) {
        watcher_.WatchLoad(session_.Archive()->ArchivePath(), session_.Assets());
    }
}

void TTrackReloader::ToggleWatching() {
    const bool watching = !watcher_.Enabled();
    watcher_.SetEnabled(watching);
    watchEntry_->setChecked(watching);
    session_.Ini().WriteString(kPreferencesSection, kReloadOnChangeKey, watching ? "Y" : "N");
}

void TTrackReloader::Reload() {
    const bool ran = host_.RunAsLoad([this] {
        // A fly-through follows the course of the track it was started on.
        if (view_.FlyThrough().Active()) {
            view_.FlyThrough().Stop();
        }
        TFormProgress progress(window_);
        progress.SetCaption("Reloading track");
        progress.show();
        QApplication::processEvents();
        view_.LoadTrackStaged(
            [this, &progress](TTrackLoader& loader) { session_.ReloadTrack(progress, loader); });
        view_.UploadMinimap();
        view_.ShowOpenedTrack(TViewResult{});
        TrackLoaded();
        host_.TrackReplaced();
    });
    if (!ran) {
        throw EDunmereError("A track is being loaded.");
    }
}

void TTrackReloader::ReloadByHand() {
    if (!session_.TrackLoaded()) {
        return;
    }
    Reload();
    const TStringList& warnings = session_.Warnings();
    host_.ShowReloadStatus("Reloaded", "");
    if (!warnings.empty()) {
        dialogs_.ShowMessage(window_, LoadWarningsMessage(warnings), kApplicationTitle);
    }
}

void TTrackReloader::ReloadOnChange() {
    if (!session_.TrackLoaded()) {
        return;
    }
    // A modal dialog runs its own event loop, and a track replaced under it would leave it showing
    // or working on the one before (the track report, the recording settings, a load's warnings).
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (waitingFor_ != modal) {
            if (waitingFor_) {
                waitingFor_->removeEventFilter(this);
            }
            waitingFor_ = modal;
            modal->installEventFilter(this);
        }
        host_.ShowReloadStatus("Reload waits for the dialog to close", "");
        return;
    }
    try {
        Reload();
    } catch (const std::exception& error) {
        const std::string text = ErrorTextWithPlace(error);
        host_.ShowReloadStatus("Reload failed: " + text, text);
        return;
    }
    const TStringList& warnings = session_.Warnings();
    if (warnings.empty()) {
        host_.ShowReloadStatus("Reloaded", "");
    } else {
        host_.ShowReloadStatus("Reloaded, " + std::to_string(warnings.size()) + " warnings",
                               LoadWarningsMessage(warnings));
    }
}

bool TTrackReloader::eventFilter(QObject* watched, QEvent* event) {
    if (watched == waitingFor_ && event->type() == QEvent::Hide) {
        waitingFor_->removeEventFilter(this);
        waitingFor_ = nullptr;
        // After the dialog's own loop has ended, with the next dialog, if any, already up.
        QMetaObject::invokeMethod(this, &TTrackReloader::ReloadOnChange, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void TTrackReloader::ArchiveGone(const QString& archive) {
    host_.ShowReloadStatus("Archive gone, track kept", archive.toStdString());
}
