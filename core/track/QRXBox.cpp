#include "core/track/QRXBox.h"

#include "core/track/RecordFields.h"

#include <cmath>

namespace {

constexpr double kGridGameUnits = 8192;
constexpr double kFarEdge = 8160; // the last cell's start: values past it belong below 0

// Equivalent to "while v > 8160: v -= 8192", in closed form so that a huge value cannot spin.
void LowerPastFarEdge(double& v) {
    if (!(v > kFarEdge)) {
        return;
    }
    const double excess = std::fmod(v - kFarEdge, kGridGameUnits);
    v = excess == 0 ? kFarEdge : kFarEdge + excess - kGridGameUnits;
}

// Equivalent to "while v < 0: v += 8192".
void RaiseBelowZero(double& v) {
    if (!(v < 0)) {
        return;
    }
    const double deficit = std::fmod(-v, kGridGameUnits);
    v = deficit == 0 ? 0 : kGridGameUnits - deficit;
}

struct TRecordKeys {
    const char* Position;
    const char* Model;
};

TRecordKeys KeysOfKind(int kind) {
    switch (kind) {
    case 1:
        return {"IPOS", "MODELNAME"};
    case 2:
        return {"IPOS2", "CABMODELNAME"};
    default:
        return {"IPOS", "MODEL"};
    }
}

} // namespace

void WrapGamePosition(double& x, double& z) {
    LowerPastFarEdge(z);
    LowerPastFarEdge(x);
    RaiseBelowZero(z);
    RaiseBelowZero(x);
}

void TQRXBox::ParseLines(const TStringList& lines, int kind) {
    const TRecordKeys keys = KeysOfKind(kind);
    TypeFlags = "7,0";
    // The last line can only be a value, never a key.
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        const std::string key = UpperCase(Trim(lines[i]));
        const std::string& value = lines[i + 1];
        if (key == keys.Position) {
            const auto position = RecordTriple(value);
            X = position[0];
            Y = position[1];
            Z = position[2];
            WrapGamePosition(X, Z);
        } else if (key == "THETA,PHI,PSI") {
            const auto angles = RecordTriple(value);
            Theta = angles[0];
            Phi = angles[1];
            Psi = angles[2];
        } else if (key == keys.Model) {
            ModelName = "MODELS\\" + Trim(value);
        } else if (key == "!TYPE,FLAGS") {
            TypeFlags = Trim(value);
        }
    }
}

TPlacementTransform PlacementTransform(const TQRXBox& box, double headingDegrees) {
    TPlacementTransform transform;
    transform.Position[0] = box.Z / 512 - 8;
    transform.Position[1] = box.Y / 510;
    transform.Position[2] = box.X / 512 - 8;
    transform.YawY = 270 - headingDegrees;
    transform.PitchX = -box.Theta * kGameDegreesPerRadian;
    transform.RollZ = box.Phi * kGameDegreesPerRadian;
    return transform;
}

double DrawnHeading(const TQRXBox& box, double viewerX, double viewerZ) {
    if (box.TypeFlags != "8,0" && box.TypeFlags != "9,0") {
        return box.Psi * kGameDegreesPerRadian;
    }
    const double across = viewerX - box.X / 32;
    const double along = viewerZ - box.Z / 32;
    if (along == 0) {
        if (across == 0) {
            return 0; // the viewer stands on the object: any fixed heading will do
        }
        return across > 0 ? 90 : -90;
    }
    return std::atan(across / along) * kGameDegreesPerRadian;
}
