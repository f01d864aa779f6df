#include "render/PickScene.h"

#include "core/track/DMConvert.h"
#include "render/BINModel.h"
#include "render/FrameRender.h"
#include "render/RenderContext.h"

#include <GL/gl.h>

TPickScene FramePickScene(TRenderContext& render, const TViewState& view) {
    TPickScene scene{*view.Track, view, {}, [&render](const std::string& name) {
                         const TBINModel* model = render.Models().FindBINModel(name);
                         return model == nullptr ? TModelGeometry{}
                                                 : TModelGeometry{&model->Vertices, &model->Faces};
                     }};
    const TDisplaySettings& display = view.Display;
    if (!display.ShowCheckpoints && display.ObjectsMode == 0) {
        return scene;
    }
    TViewState full = view;
    full.FullFrame = true;
    const double camCol = static_cast<double>(WorldToMapUnits(view.Camera.TransZ));
    const double camRow = static_cast<double>(WorldToMapUnits(view.Camera.TransX));
    for (const auto& [offZ, offX] : ObjectCopyOffsets(full, camCol, camRow)) {
        TPickObjectCopy copy{offZ, offX, {}};
        for (const TQRXBox* object : render.DrawListForFrame().ObjectsOfCopy(
                 *view.Track, full, offZ, offX, camCol, camRow)) {
            copy.Objects.push_back(object);
        }
        scene.ObjectCopies.push_back(std::move(copy));
    }
    return scene;
}

std::vector<TTextureSize> UploadedTextureSizes(const TRenderContext& render) {
    std::vector<TTextureSize> sizes;
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    for (const auto& [key, texture] : render.Textures().Entries()) {
        TTextureSize size;
        size.Name = key;
        size.Missing = texture <= 0 || texture == render.Textures().MissingTexture();
        if (texture > 0 && glIsTexture(static_cast<GLuint>(texture))) {
            glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
            for (GLint level = 0;; ++level) {
                GLint width = 0;
                GLint height = 0;
                glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
                glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
                if (width <= 0 || height <= 0) {
                    break;
                }
                if (level == 0) {
                    size.Pixels = static_cast<int64_t>(width) * height;
                }
                // Drivers keep colour textures as four bytes a texel.
                size.Bytes += static_cast<int64_t>(width) * height * 4;
            }
        }
        sizes.push_back(size);
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    return sizes;
}

TTrackStatistics FrameTrackStatistics(TRenderContext& render, const TViewState& view,
                                      std::vector<TStepTime> loadSteps) {
    return GatherTrackStatistics(FramePickScene(render, view), UploadedTextureSizes(render),
                                 render.Prepared().BufferBytes(), std::move(loadSteps));
}
