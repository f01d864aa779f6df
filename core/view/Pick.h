// Picking: what the frame shows under one pixel of the view, found without GL from the same
// camera transform and projection the frame uses (rotation by Tilt, Heading, Roll, then the
// camera translation; perspective over the panel's aspect, near plane 0.01, far plane 30, or 5000
// in map view). The ray is tested against what the frame draws: the placed objects of every
// wrap-around copy and the stadium (each model's bounding box first, then its triangles as
// drawn), the ground
// boxes and the terrain cells around the camera cell, with the frame's area tests and culling of
// faces the frame does not show. The nearest hit wins, as the depth test makes it. Sky,
// backdrops and the translucent water are not pickable: the eye sees through the water.
//
// Pixel (x, y) counts from the top-left corner of the view, as in a screenshot.
#pragma once

#include "core/formats/BINParse.h"
#include "core/track/TrackData.h"
#include "core/view/ViewState.h"

#include <functional>
#include <string>
#include <vector>

class TAssetLog;

struct TPickRay {
    double Origin[3] = {};
    // Scaled so that a step of 1 along it goes 1 world unit deeper into the view: a hit's
    // parameter is its depth in front of the eye.
    double Direction[3] = {};
    double Near = 0.01;
    double Far = 30;
};

// The ray through the centre of pixel (x, y) of a width x height view.
TPickRay PickRay(const TViewState& view, int width, int height, int x, int y);

// A model's geometry as the model store keeps it; both null when the store has no such model.
struct TModelGeometry {
    const std::vector<TBINVertex>* Vertices = nullptr;
    const std::vector<TBINFace>* Faces = nullptr;
};
using TModelLookup = std::function<TModelGeometry(const std::string& modelName)>;

// One wrap-around copy of the object pass: its shift in world units and the objects it draws.
struct TPickObjectCopy {
    double OffZ = 0;
    double OffX = 0;
    std::vector<const TQRXBox*> Objects;
};

// What one frame draws, as the picker needs it. The render layer fills ObjectCopies from its own
// object pass (render/PickScene.h) so that picking and drawing leave out the same objects.
struct TPickScene {
    const TTrackData& Track;
    const TViewState& View;
    std::vector<TPickObjectCopy> ObjectCopies;
    TModelLookup ModelOf;
};

enum class TPickKind { Nothing, Object, CheckpointMarker, Stadium, GroundBox, Terrain };

struct TPickHit {
    TPickKind Kind = TPickKind::Nothing;
    double Depth = 0;     // in front of the eye, world units
    double Point[3] = {}; // world position of the hit
    int ObjectIndex = -1; // into Track.TrackObjects
    double CopyOffZ = 0;  // the wrap-around copy the object was hit in
    double CopyOffX = 0;
    int Row = -1; // the stored cell (0..255) of a terrain or ground-box hit
    int Column = -1;
    int GroundBoxFace = -1; // 0..5
};

TPickHit Pick(const TPickScene& scene, const TPickRay& ray);

// One edge of a picked thing's outline, in world units.
struct TPickEdge {
    double From[3] = {};
    double To[3] = {};
};

// Where the frame draws what hit picked, as edges to outline it with: the bounding box of an
// object's, marker's or the stadium's model as placed (in the hit's wrap-around copy, turned as
// it was drawn from the camera of scene), the sides of a terrain cell or of every face of a ground
// box (beyond a grid edge where the hit was). None for a miss.
std::vector<TPickEdge> PickOutline(const TPickScene& scene, const TPickHit& hit);

// One line of the answer: Label and Text for people, Key and Numbers (when it has any) for JSON.
struct TPickField {
    std::string Key;
    std::string Label;
    std::string Text;
    std::vector<double> Numbers;
};

// The answer to a pick in the words the pick panel and the tool both print. assets (may be null)
// tells where the model and texture files came from.
std::vector<TPickField> DescribePick(const TPickHit& hit, const TTrackData& track,
                                     const TAssetLog* assets, const TModelLookup& modelOf);
// "Label: Text" lines.
std::string FormatPickText(const std::vector<TPickField>& fields);
// One JSON object, keys in field order; a field with one number is that number, with several an
// array of them, without any its text.
std::string FormatPickJson(const std::vector<TPickField>& fields);
