#include "shell/FlyThroughPlayer.h"

TFlyThroughPlayer::TFlyThroughPlayer(TFlyThroughHost& host) : host_(host) {
    frameTimer_.setInterval(0);
    connect(&frameTimer_, &QTimer::timeout, this, &TFlyThroughPlayer::NextFrame);
}

void TFlyThroughPlayer::Play(TCameraPath path) {
    host_.ApplyFlyThrough(playback_.Start(std::move(path), host_.FlyThroughView(),
                                          TFlyThroughPlayback::TClock::now()));
    frameTimer_.start();
}

void TFlyThroughPlayer::Stop() {
    frameTimer_.stop();
    const TViewResult result = playback_.Stop(host_.FlyThroughView());
    host_.ShowFlyThroughText(std::string());
    host_.ApplyFlyThrough(result);
}

bool TFlyThroughPlayer::KeyPress(int key) {
    if (!Active()) {
        return false;
    }
    if (key == Qt::Key_Escape) {
        Stop();
        return true;
    }
    if (key == Qt::Key_Space) {
        const auto now = TFlyThroughPlayback::TClock::now();
        playback_.TogglePause(now);
        // A paused fly-through draws nothing until it goes on.
        if (Paused()) {
            frameTimer_.stop();
        } else {
            frameTimer_.start();
        }
        host_.ShowFlyThroughText(playback_.OverlayText(now));
        return true;
    }
    return false;
}

void TFlyThroughPlayer::NextFrame() {
    const auto now = TFlyThroughPlayback::TClock::now();
    const TViewResult result = playback_.Advance(host_.FlyThroughView(), now);
    if (!Active()) {
        frameTimer_.stop();
    }
    host_.ShowFlyThroughText(playback_.OverlayText(now));
    host_.ApplyFlyThrough(result);
}

void TFlyThroughPlayer::AddKeyframe(const TViewState& view) {
    TCameraKeyframe key;
    key.Camera = view.Camera;
    key.ViewDistance = view.ViewDistance;
    keyframes_.push_back(key);
}

void TFlyThroughPlayer::RemoveLastKeyframe() {
    if (!keyframes_.empty()) {
        keyframes_.pop_back();
    }
}

void TFlyThroughPlayer::ClearKeyframes() {
    keyframes_.clear();
}

void TFlyThroughPlayer::SavePath(const std::string& fileName) const {
    WriteCameraPathFile(fileName, keyframes_);
}

void TFlyThroughPlayer::LoadPath(const std::string& fileName) {
    keyframes_ = ReadCameraPathFile(fileName);
}
