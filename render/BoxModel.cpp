#include "render/BoxModel.h"
#include "core/base/Errors.h"

#include "core/base/Logging.h"
#include "core/track/QRXBox.h"
#include "core/vfs/GameFiles.h"
#include "render/BINModel.h"
#include "render/ModelBuffers.h"
#include "render/RenderContext.h"

#include <GL/gl.h>
#include <cmath>
#include <memory>

namespace {

// Keeps the matrix stack balanced when drawing a model raises.
class TMatrixScope {
public:
    TMatrixScope() { glPushMatrix(); }
    ~TMatrixScope() { glPopMatrix(); }
    TMatrixScope(const TMatrixScope&) = delete;
    TMatrixScope& operator=(const TMatrixScope&) = delete;
};

} // namespace

void LoadModel(TRenderContext& render, const TQRXBox& box, TGameLoad& load) {
    if (Trim(box.ModelName).empty() || render.Models().FindBINModel(box.ModelName) != nullptr) {
        return;
    }
    WriteLog(box.ModelName);
    TOpenedGameFile found;
    try {
        found = load.Files.Open(box.ModelName);
    } catch (const EInOutError& error) {
        // An unreadable loose model is passed over like a missing one; the track still loads.
        load.WarnOnce("Error: BIN Model \"" + box.ModelName + "\" not found: " + error.what());
        WriteLog("Error opening BIN file.");
        return;
    }
    if (!found.Found()) {
        load.WarnOnce("Error: BIN Model \"" + box.ModelName + "\" not found");
        WriteLog("Error opening BIN file.");
        return;
    }
    auto model = std::make_unique<TBINModel>();
    model->LoadFromFile(found.File, render.TexturesForLoad(), load);
    found.File.Close();

    if (model->IsAnimationControl) {
        const std::string firstName = "MODELS\\" + model->FirstModelName;
        model = std::make_unique<TBINModel>();
        TOpenedGameFile first = load.Files.Open(firstName);
        if (first.Found()) {
            model->LoadFromFile(first.File, render.TexturesForLoad(), load);
            first.File.Close();
        } else {
            WriteLog("Error opening BIN file.");
        }
    }
    // An animation whose first model is missing (or is itself an animation control file) would
    // otherwise be stored without a list and fail every frame it is drawn in; an empty list
    // draws nothing instead.
    if (model->ListId == 0) {
        model->BuildList(render.Textures(), false, 1.0);
    }
    render.ModelsForLoad().StoreBINModel(std::move(model), box.ModelName);
}

void LoadModels(TRenderContext& render, const std::vector<const TQRXBox*>& objects,
                TGameLoad& load) {
    for (const TQRXBox* object : objects) {
        LoadModel(render, *object, load);
    }
}

void DrawBox(const TRenderContext& render, const TQRXBox& box, bool forceBlend, double viewerX,
             double viewerZ, double scale, TModelPass* pass) {
    if (box.ModelName.empty()) {
        return;
    }
    const TMatrixScope matrix;
    const TPlacementTransform transform =
        PlacementTransform(box, DrawnHeading(box, viewerX, viewerZ));
    glTranslatef(static_cast<GLfloat>(transform.Position[0]),
                 static_cast<GLfloat>(transform.Position[1]),
                 static_cast<GLfloat>(transform.Position[2]));
    glRotatef(static_cast<GLfloat>(transform.YawY), 0, 1, 0);
    glRotatef(static_cast<GLfloat>(transform.PitchX), 1, 0, 0);
    glRotatef(static_cast<GLfloat>(transform.RollZ), 0, 0, 1);
    const TBINModel* model = render.Models().FindBINModel(box.ModelName);
    if (model == nullptr) {
        WriteLog("Error drawing BIN Model " + box.ModelName + ": no data found.");
    } else if (scale == 1.0 && !forceBlend) {
        if (pass != nullptr && model->ListBuffers.Built()) {
            pass->Draw(model->ListBuffers);
        } else {
            model->DrawList();
            if (pass != nullptr) {
                pass->DrewOtherwise();
            }
        }
    } else if (pass != nullptr && !forceBlend && model->ScaledBuffers.Built()) {
        // As Draw scales: through the matrix, the vertices as they are.
        const auto s = static_cast<GLfloat>(scale / kBINUnitsPerWorldUnit);
        glScalef(s, s, s);
        pass->Draw(model->ScaledBuffers);
    } else {
        model->Draw(render.Textures(), forceBlend, scale);
        if (pass != nullptr) {
            pass->DrewOtherwise();
        }
    }
}

void PrepareScaledDrawing(TRenderContext& render, const TQRXBox* box) {
    if (box == nullptr) {
        return;
    }
    if (TBINModel* model = render.ModelsForLoad().FindBINModel(box->ModelName)) {
        model->PrepareScaledDrawing(render.Textures());
    }
}
