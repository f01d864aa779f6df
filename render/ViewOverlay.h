// Drawing over a finished frame: the minimap in its corner, from a texture made once per track,
// with the camera's marker, and a prepared picture of the overlay text. Owned by the window that
// owns the GL context; its texture is freed by Release while that context is current.
#pragma once

#include "core/view/ViewOverlay.h"

#include <cstdint>

// RGBA pixels, rows from the top down.
struct TOverlayPicture {
    int Width = 0;
    int Height = 0;
    const uint8_t* Rgba = nullptr;
};

struct TOverlayFrame {
    int ViewWidth = 1; // the viewport, in pixels
    int ViewHeight = 1;
    bool ShowMinimap = false;
    TViewRect Minimap;     // in viewport pixels from the top left
    TMinimapMarker Marker; // in pixels of the minimap
    TOverlayPicture Text;  // drawn at TextLeft, TextTop when it has pixels
    int TextLeft = 0;
    int TextTop = 0;
};

class TViewOverlayRender {
public:
    TViewOverlayRender() = default;
    TViewOverlayRender(const TViewOverlayRender&) = delete;
    TViewOverlayRender& operator=(const TViewOverlayRender&) = delete;

    // Replaces the minimap texture; the context must be current.
    void UploadMinimap(const TMinimapPicture& picture);
    bool HasMinimap() const { return minimapTexture_ != 0; }
    // Draws over what the frame left in the back buffer and restores the GL state it changed.
    void Draw(const TOverlayFrame& frame) const;
    void Release();

private:
    uint32_t minimapTexture_ = 0;
};
