// TFlyThroughCommands: the Camera menu's fly-through entries and File > "Record fly-through...":
// playing the edited path (or the course when there is none), editing its keyframes, saving and
// loading it, and recording a path into a video file. The view's player flies the paths; the
// saved locations are read from the session's INI file.
#pragma once

#include "core/view/FlyThrough.h"
#include "shell/dialogs/FormRecordSettings.h"

class QWidget;
class TMainFormDialogs;
class TTrackSession;
class TTrackView;
struct TViewState;

class TFlyThroughCommands {
public:
    // parent is the window the dialogs belong to.
    TFlyThroughCommands(TTrackSession& session, TTrackView& view, TMainFormDialogs& dialogs,
                        QWidget* parent);

    void Play();
    void AddKeyframe();
    void RemoveLastKeyframe();
    void ClearKeyframes();
    void SavePath();
    void LoadPath();
    // Asks what to record and where, then records a copy of the view; the view's camera stays.
    void Record();

private:
    // The path a fly-through of source takes; seconds is the length of an untimed one. A path of
    // saved locations sets view's view distance to the first one's, as they were saved from it.
    TCameraPath Path(TFlyThroughSource source, double courseHeight, double seconds,
                     TViewState& view) const;

    TTrackSession& session_;
    TTrackView& view_;
    TMainFormDialogs& dialogs_;
    QWidget* parent_;
};
