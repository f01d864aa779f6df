// TGLState: what the passes drawing into one target share besides GL itself: the texture bound
// last, so that a pass binds a texture only when it changes, and the size of the viewport that
// the projections are made for. The view and the command-line tool keep one beside their render
// context; a recording draws into a target of its own size and keeps its own.
//
// The bind cache is trusted only within a pass. Display lists, other targets and GL calls outside
// render/ bind textures behind its back, so every pass that skips repeated binds starts with
// Forget().
#pragma once

#include <cstdint>

class TGLState {
public:
    // Binds texture to GL_TEXTURE_2D unless it is the one this state bound last.
    void Bind(int32_t texture);
    void Forget() { boundTexture_ = kNoTexture; }
    // The texture bound last through Bind; -1 when forgotten.
    int32_t BoundTexture() const { return boundTexture_; }

    // Never below 1, so that a panel shrunk to nothing does not turn the aspect ratio into an
    // infinity.
    void SetPanelSize(int width, int height);
    int PanelWidth() const { return panelWidth_; }
    int PanelHeight() const { return panelHeight_; }
    double AspectRatio() const { return static_cast<double>(panelWidth_) / panelHeight_; }

private:
    static constexpr int32_t kNoTexture = -1;
    int32_t boundTexture_ = kNoTexture;
    int panelWidth_ = 1;
    int panelHeight_ = 1;
};
