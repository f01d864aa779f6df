// TQRXBox: one placed object (a box, a top-crush body or cab, a backdrop, the stadium, a sky box
// or a checkpoint marker). This is the placement only; its model is loaded and drawn by the
// render layer (render/BoxModel.h), which finds the model in the model store by ModelName.
//
// Record syntax: a key alone on a line (compared trimmed and upper-cased), its value on the next.
//   kind 0 (box):          "IPOS"  x,y,z   "MODEL"        name
//   kind 1 (top-crush):    "IPOS"  x,y,z   "MODELNAME"    name
//   kind 2 (top-crush cab):"IPOS2" x,y,z   "CABMODELNAME" name
//   every kind:            "THETA,PHI,PSI" three radians, "!TYPE,FLAGS" e.g. 6,0
// Positions are game units: 32 per grid cell, 8192 across the grid.
#pragma once

#include "core/base/TextUtils.h"

#include <string>

class TQRXBox {
public:
    // Raises EConvertError "'%s' ist kein gültiger Gleitkommawert" for a number that is not one.
    void ParseLines(const TStringList& lines, int kind);
    bool IsCheckpoint() const { return TypeFlags == "6,0"; }

    double X = 0;
    double Y = 0;
    double Z = 0;
    double Theta = 0;
    double Phi = 0;
    double Psi = 0;
    std::string ModelName;
    std::string TypeFlags;
    bool IsCheckpointMarker = false;
};

// The game's own conversion takes pi as 3.14; placements only look right with the same factor.
inline constexpr double kGameDegreesPerRadian = 57.32484076433121;

// Where and how a placement stands in world units and degrees: moved to Position, then turned
// by YawY about y, PitchX about x and RollZ about z, in that order. The game stores x and z
// swapped against the viewer's world.
struct TPlacementTransform {
    double Position[3] = {};
    double YawY = 0;
    double PitchX = 0;
    double RollZ = 0;
};
// headingDegrees is the heading the game's angles give (Psi) or one chosen by the caller.
TPlacementTransform PlacementTransform(const TQRXBox& box, double headingDegrees);
// The heading an object is drawn with: Psi, or for the objects that turn to face the viewer
// ("8,0", "9,0") the plain arc tangent of the quotient towards the viewer at (viewerX, viewerZ)
// cells, so it stays within +-90 degrees.
double DrawnHeading(const TQRXBox& box, double viewerX, double viewerZ);

// Brings a game-unit x or z into [0, 8192) the way the game data expects: values just below the
// far edge (above 8160) count as negative first.
void WrapGamePosition(double& x, double& z);
