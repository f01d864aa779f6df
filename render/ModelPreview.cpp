#include "render/ModelPreview.h"

#include "core/base/Errors.h"
#include "core/base/Logging.h"
#include "core/formats/PalettePool.h"
#include "core/vfs/GameFiles.h"
#include "core/vfs/PodFile.h"
#include "render/FrameRender.h"
#include "render/MutedMessages.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kFieldOfView = 30; // degrees

} // namespace

TModelPreview::TModelPreview() : palettes_(std::make_unique<TPalettePool>()) {}

TModelPreview::~TModelPreview() = default;

void TModelPreview::Load(const TPodFile& pod, const std::string& name, TQRXFileFinder& finder) {
    const TLogMute quiet;
    const TMutedMessages noBoxes;
    model_.reset();
    textures_.ClearTextures();
    if (textures_.MissingTexture() == 0) {
        textures_.LoadMissingTexture();
    }
    TGameFiles files(&pod, finder);
    TStringList warnings;
    TGameLoad load(files, warnings, *palettes_);
    auto model = std::make_unique<TBINModel>();
    std::string modelName = name;
    // An animation control file only names its first model, which is what the track shows.
    for (int hop = 0; hop < 2; ++hop) {
        TOpenedGameFile found = files.Open(modelName);
        if (!found.Found()) {
            throw EDunmereError(modelName + " is neither in the archive nor in the search folders");
        }
        model->LoadFromFile(found.File, textures_, load);
        if (!model->IsAnimationControl) {
            break;
        }
        modelName = "MODELS\\" + model->FirstModelName;
    }
    model_ = std::move(model);
}

void TModelPreview::Draw(int width, int height, const TModelTurn& turn) const {
    InitGLState();
    glViewport(0, 0, width, height);
    glClearColor(0.35f, 0.38f, 0.42f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!model_) {
        return;
    }
    const TBINExtents box = MeasureExtents(model_->Vertices);
    const double unit = 1 / kBINUnitsPerWorldUnit;
    // The file's z runs into the screen; the drawing negates it.
    const double centre[3] = {(box.MinX + box.MaxX) / 2.0 * unit,
                              (box.MinY + box.MaxY) / 2.0 * unit,
                              -(box.MinZ + box.MaxZ) / 2.0 * unit};
    const double half[3] = {(box.MaxX - box.MinX) / 2.0 * unit, (box.MaxY - box.MinY) / 2.0 * unit,
                            (box.MaxZ - box.MinZ) / 2.0 * unit};
    const double radius =
        std::max(std::sqrt(half[0] * half[0] + half[1] * half[1] + half[2] * half[2]), 1e-3);
    const double distance = radius / std::sin(kFieldOfView / 2 * M_PI / 180) * 1.05;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, static_cast<double>(width) / std::max(height, 1),
                   distance - radius * 1.5 > 0 ? (distance - radius * 1.5) : distance * 0.01,
                   distance + radius * 2);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(0, 0, -distance);
    glRotated(turn.Pitch, 1, 0, 0);
    glRotated(turn.Yaw, 0, 1, 0);
    glTranslated(-centre[0], -centre[1], -centre[2]);
    glColor4f(1, 1, 1, 1);
    model_->Draw(textures_, false, 1.0);
    glFinish();
}

TPreviewImage DrawModelPicture(const TModelPreview& preview, int side) {
    preview.Draw(side, side, TModelTurn{});
    TPreviewImage image{side, side, std::vector<uint8_t>(static_cast<size_t>(side) * side * 4)};
    std::vector<uint8_t> rows(image.Rgba.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, side, side, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    const size_t stride = static_cast<size_t>(side) * 4;
    for (int y = 0; y < side; ++y) {
        std::memcpy(&image.Rgba[static_cast<size_t>(y) * stride],
                    &rows[static_cast<size_t>(side - 1 - y) * stride], stride);
    }
    return image;
}
