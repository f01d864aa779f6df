// TFlyThroughPlayer: plays a camera path in the viewer and keeps the path the user is editing.
// While playing, a zero-interval timer asks for one frame after the other; the viewer draws and
// presents each before returning, so frames follow at the display's pace, each placed by the
// clock (TFlyThroughPlayback). Space pauses and resumes, Esc stops; stopping puts the camera back
// where it was. The host applies the results and shows the overlay text.
#pragma once

#include "core/view/CameraPathSources.h"
#include "core/view/FlyThrough.h"

#include <QObject>
#include <QTimer>

#include <string>
#include <vector>

class TFlyThroughHost {
public:
    virtual ~TFlyThroughHost() = default;
    virtual TViewState& FlyThroughView() = 0;
    // Projection update and redraw, as for any other view command.
    virtual void ApplyFlyThrough(const TViewResult& result) = 0;
    // The time while playing, empty once stopped.
    virtual void ShowFlyThroughText(const std::string& text) = 0;
};

class TFlyThroughPlayer : public QObject {
    Q_OBJECT
public:
    explicit TFlyThroughPlayer(TFlyThroughHost& host);

    bool Active() const { return playback_.Active(); }
    bool Paused() const { return playback_.Paused(); }
    void Play(TCameraPath path);
    void Stop();
    // Space (pause, resume) and Esc (stop) while playing; true when the key was taken.
    bool KeyPress(int key);

    // The path being edited, for playing and saving. Keyframes added here carry no time, so the
    // path flies them at an even speed.
    const std::vector<TCameraKeyframe>& Keyframes() const { return keyframes_; }
    void AddKeyframe(const TViewState& view);
    void RemoveLastKeyframe();
    void ClearKeyframes();
    // Raise what the path file functions raise; a failed load keeps the path as it was.
    void SavePath(const std::string& fileName) const;
    void LoadPath(const std::string& fileName);

private slots:
    void NextFrame();

private:
    TFlyThroughHost& host_;
    TFlyThroughPlayback playback_;
    QTimer frameTimer_;
    std::vector<TCameraKeyframe> keyframes_;
};
