#include "render/BoxModel.h"

#include "core/base/Logging.h"
#include "core/track/QRXBox.h"
#include "core/vfs/GameFile.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "render/BINModel.h"
#include "render/BINStore.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// The game's own conversion takes pi as 3.14; placements only look right with the same factor.
constexpr double kDegreesPerRadian = 57.32484076433121;

bool OpenModelFile(TGameFile& file, const std::string& name, const TPodFile* pod,
                   TQRXFileFinder& finder) {
    if (pod != nullptr && pod->OpenEntry(file, name)) {
        return true;
    }
    return finder.OpenFile(file, name) != -1;
}

// Keeps the matrix stack balanced when drawing a model raises.
class TMatrixScope {
public:
    TMatrixScope() { glPushMatrix(); }
    ~TMatrixScope() { glPopMatrix(); }
    TMatrixScope(const TMatrixScope&) = delete;
    TMatrixScope& operator=(const TMatrixScope&) = delete;
};

bool FacesViewer(const TQRXBox& box) {
    return box.TypeFlags == "8,0" || box.TypeFlags == "9,0";
}

// The heading of a viewer-facing object: the plain arc tangent of the quotient, so it stays
// within +-90 degrees.
double ViewerHeading(const TQRXBox& box, double viewerX, double viewerZ) {
    const double across = viewerX - box.X / 32;
    const double along = viewerZ - box.Z / 32;
    if (along == 0) {
        if (across == 0) {
            return 0; // the viewer stands on the object: any fixed heading will do
        }
        return across > 0 ? 90 : -90;
    }
    return std::atan(across / along) * kDegreesPerRadian;
}

} // namespace

void LoadModel(TQRXBox& box, const TPodFile* pod, TQRXFileFinder& finder, TStringList& warnings) {
    if (Trim(box.ModelName).empty() || FindBINModel(box.ModelName) != nullptr) {
        return;
    }
    WriteLog(box.ModelName);
    TGameFile file;
    if (!OpenModelFile(file, box.ModelName, pod, finder)) {
        const std::string warning = "Error: BIN Model \"" + box.ModelName + "\" not found";
        if (std::find(warnings.begin(), warnings.end(), warning) == warnings.end()) {
            warnings.push_back(warning);
        }
        WriteLog("Error opening BIN file.");
        return;
    }
    auto model = std::make_unique<TBINModel>();
    model->LoadFromFile(file, pod, finder, warnings);
    file.Close();

    if (model->IsAnimationControl) {
        const std::string firstName = "MODELS\\" + model->FirstModelName;
        model = std::make_unique<TBINModel>();
        if (OpenModelFile(file, firstName, pod, finder)) {
            model->LoadFromFile(file, pod, finder, warnings);
            file.Close();
        } else {
            WriteLog("Error opening BIN file.");
        }
    }
    // An animation whose first model is missing (or is itself an animation control file) would
    // otherwise be stored without a list and fail every frame it is drawn in; an empty list
    // draws nothing instead.
    if (model->ListId == 0) {
        model->BuildList(false, 1.0);
    }
    StoreBINModel(std::move(model), box.ModelName);
}

void DrawBox(const TQRXBox& box, bool forceBlend, double viewerX, double viewerZ, double scale) {
    if (box.ModelName.empty()) {
        return;
    }
    const TMatrixScope matrix;
    glTranslatef(static_cast<GLfloat>(box.Z / 512 - 8), static_cast<GLfloat>(box.Y / 510),
                 static_cast<GLfloat>(box.X / 512 - 8));
    const double heading =
        FacesViewer(box) ? ViewerHeading(box, viewerX, viewerZ) : box.Psi * kDegreesPerRadian;
    glRotatef(static_cast<GLfloat>(270 - heading), 0, 1, 0);
    glRotatef(static_cast<GLfloat>(-box.Theta * kDegreesPerRadian), 1, 0, 0);
    glRotatef(static_cast<GLfloat>(box.Phi * kDegreesPerRadian), 0, 0, 1);
    const TBINModel* model = FindBINModel(box.ModelName);
    if (model == nullptr) {
        WriteLog("Error drawing BIN Model " + box.ModelName + ": no data found.");
    } else if (scale == 1.0 && !forceBlend) {
        model->DrawList();
    } else {
        model->Draw(forceBlend, scale);
    }
}
