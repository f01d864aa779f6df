// One BIN model of an archive drawn on its own, for the archive explorer: the small view that
// turns on a drag and the still picture of the tool, both from the same drawing with the model's
// own textures and the viewer's GL state (InitGLState), so back faces stay culled as in a track.
//
// Loads and draws in the GL context current on the calling thread; the owner destroys it while
// that context is current.
#pragma once

#include "core/explore/EntryPreview.h"
#include "render/BINModel.h"
#include "render/TexturePool.h"

#include <memory>
#include <string>

class TPalettePool;
class TPodFile;
class TQRXFileFinder;

// Degrees: yaw turns the model about its upright axis, pitch tilts the view down onto it.
struct TModelTurn {
    double Yaw = 145;
    double Pitch = 30;
};

class TModelPreview {
public:
    TModelPreview();
    ~TModelPreview();
    TModelPreview(const TModelPreview&) = delete;
    TModelPreview& operator=(const TModelPreview&) = delete;

    // Reads the model name (through the archive, then finder) with its textures; raises the
    // reader's error, or EDunmereError when the model is nowhere. Shows no messages: a texture
    // its loader refuses draws as the missing texture.
    void Load(const TPodFile& pod, const std::string& name, TQRXFileFinder& finder);
    bool Loaded() const { return model_ != nullptr; }
    // Clears the viewport (width x height) and draws the model filling it, centred.
    void Draw(int width, int height, const TModelTurn& turn) const;

private:
    TTexturePool textures_;
    // Its own, so that looking at another archive's models leaves the track's palettes alone.
    std::unique_ptr<TPalettePool> palettes_;
    // Made anew for each model: a model compiles its display list once.
    std::unique_ptr<TBINModel> model_;
};

// The still picture: the fixed three-quarter view, side x side pixels read back from a headless
// context's framebuffer (which must be at least that large), first row at the top.
TPreviewImage DrawModelPicture(const TModelPreview& preview, int side);
