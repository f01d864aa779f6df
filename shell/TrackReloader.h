// TTrackReloader: View > "Reload track" (F5) and "Reload when files change". A reload loads the
// current track again from the same archive path and search folders, all or nothing: the camera,
// the view distance and the display settings stay, and a load that fails keeps the old track on
// screen and usable. Watching (TReloadWatcher, remembered in the INI) reloads once the files of
// the last load have settled after a change; what such a reload has to say goes to the status
// bar, never into a message box, so that a file caught half-written does not stop the user's
// work. A reload by hand tells a failure in the usual error box and shows the warnings as an open
// does.
#pragma once

#include "core/session/TrackSession.h"
#include "shell/ReloadWatcher.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

class QAction;
class QWidget;
class TMainFormDialogs;
class TTrackView;

// What a reload asks of the window around the view.
class TTrackReloadHost {
public:
    virtual ~TTrackReloadHost() = default;
    // Runs load as the window runs a track open (no other command meanwhile, the view Busy, a
    // draw after); false, without running it, while another load runs. Errors pass through.
    virtual bool RunAsLoad(const std::function<void()>& load) = 0;
    // The track was replaced: captions and entries that show it.
    virtual void TrackReplaced() = 0;
    // One line for the status bar; empty clears it.
    virtual void ShowReloadStatus(const std::string& text, const std::string& details) = 0;
};

// The INI key of "Reload when files change" in section "Preferences", "Y" or "N".
inline constexpr const char* kReloadOnChangeKey = "ReloadWhenFilesChange";

class TTrackReloader : public QObject {
    Q_OBJECT
public:
    // The two entries run through run, as every menu command does.
    TTrackReloader(TTrackSession& session, TTrackView& view, TMainFormDialogs& dialogs,
                   TTrackReloadHost& host, QAction* reloadEntry, QAction* watchEntry,
                   const std::function<void(const std::function<void()>&)>& run, QWidget* window);

    // After every load, an open or a reload: its files are the ones watched from now on.
    void TrackLoaded();
    // A load starts or has ended: a change in between waits for its end.
    void SetLoading(bool loading) { watcher_.SetLoading(loading); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ReloadByHand();
    void ReloadOnChange();
    void ToggleWatching();
    void ArchiveGone(const QString& archive);
    // The reload itself; raises when the load failed, with the old track still shown.
    void Reload();

    TTrackSession& session_;
    TTrackView& view_;
    TMainFormDialogs& dialogs_;
    TTrackReloadHost& host_;
    QAction* watchEntry_;
    QWidget* window_;
    TReloadWatcher watcher_;
    // The modal dialog a reload on change waits for; it runs once the dialog has closed.
    QPointer<QWidget> waitingFor_;
};
