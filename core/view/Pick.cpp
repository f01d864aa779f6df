#include "core/view/Pick.h"

#include "core/base/TextUtils.h"
#include "core/track/DMConvert.h"
#include "core/vfs/AssetLog.h"
#include "core/view/Camera.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kDegreesToRadians = 3.14159265358979323846 / 180;

struct TVec {
    double x = 0;
    double y = 0;
    double z = 0;
};

TVec operator-(TVec a, TVec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
TVec operator+(TVec a, TVec b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
TVec operator*(TVec a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
double Dot(TVec a, TVec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
TVec Cross(TVec a, TVec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// The rotations of glRotate about one axis, by degrees.
TVec RotateX(TVec v, double degrees) {
    const double c = std::cos(degrees * kDegreesToRadians);
    const double s = std::sin(degrees * kDegreesToRadians);
    return {v.x, v.y * c - v.z * s, v.y * s + v.z * c};
}
TVec RotateY(TVec v, double degrees) {
    const double c = std::cos(degrees * kDegreesToRadians);
    const double s = std::sin(degrees * kDegreesToRadians);
    return {v.x * c + v.z * s, v.y, -v.x * s + v.z * c};
}
TVec RotateZ(TVec v, double degrees) {
    const double c = std::cos(degrees * kDegreesToRadians);
    const double s = std::sin(degrees * kDegreesToRadians);
    return {v.x * c - v.y * s, v.x * s + v.y * c, v.z};
}

struct TRay {
    TVec Origin;
    TVec Direction;
};

// The depth at which the ray meets triangle a-b-c, when the frame draws that triangle from this
// side: faces the view sees wound counter-clockwise are culled.
double HitTriangle(const TRay& ray, TVec a, TVec b, TVec c) {
    constexpr double kMiss = std::numeric_limits<double>::infinity();
    const TVec e1 = b - a;
    const TVec e2 = c - a;
    if (Dot(Cross(e1, e2), ray.Direction) <= 0) {
        return kMiss;
    }
    const TVec p = Cross(ray.Direction, e2);
    const double det = Dot(e1, p);
    if (std::abs(det) < 1e-300) {
        return kMiss;
    }
    const TVec t = ray.Origin - a;
    const double u = Dot(t, p) / det;
    if (u < 0 || u > 1) {
        return kMiss;
    }
    const TVec q = Cross(t, e1);
    const double v = Dot(ray.Direction, q) / det;
    if (v < 0 || u + v > 1) {
        return kMiss;
    }
    return Dot(e2, q) / det;
}

// Slab test of the box low..high; the depth range [enter, leave] it returns may be empty.
bool CrossesBox(const TRay& ray, TVec low, TVec high, double nearDepth, double farDepth) {
    const double origin[3] = {ray.Origin.x, ray.Origin.y, ray.Origin.z};
    const double direction[3] = {ray.Direction.x, ray.Direction.y, ray.Direction.z};
    const double lo[3] = {low.x, low.y, low.z};
    const double hi[3] = {high.x, high.y, high.z};
    double enter = nearDepth;
    double leave = farDepth;
    for (int axis = 0; axis < 3; ++axis) {
        if (direction[axis] == 0) {
            if (origin[axis] < lo[axis] || origin[axis] > hi[axis]) {
                return false;
            }
            continue;
        }
        double t0 = (lo[axis] - origin[axis]) / direction[axis];
        double t1 = (hi[axis] - origin[axis]) / direction[axis];
        if (t0 > t1) {
            std::swap(t0, t1);
        }
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
        if (enter > leave) {
            return false;
        }
    }
    return true;
}

TVec ModelVertex(const TBINVertex& v) {
    // As the display list bakes it: 131072 model units to the world unit, z mirrored.
    return TVec{static_cast<double>(v.X), static_cast<double>(v.Y), -static_cast<double>(v.Z)} *
           (1 / kBINUnitsPerWorldUnit);
}

struct TModelBox {
    TVec Low;
    TVec High;
};

TModelBox ModelBox(const std::vector<TBINVertex>& vertices) {
    const TBINExtents e = MeasureExtents(vertices);
    return {ModelVertex({e.MinX, e.MinY, e.MaxZ}), ModelVertex({e.MaxX, e.MaxY, e.MinZ})};
}

// Where the frame draws an object of a copy: translated, then turned about y, x and z.
struct TPlacement {
    TVec Position;
    TPlacementTransform Turn;
};

TPlacement PlacementInCopy(const TQRXBox& box, double offZ, double offX, double viewerX,
                           double viewerZ) {
    const TPlacementTransform t = PlacementTransform(box, DrawnHeading(box, viewerX, viewerZ));
    return {{t.Position[0] + offX, t.Position[1], t.Position[2] + offZ}, t};
}

// Where the object pass draws object in the wrap-around copy (offZ, offX), turned for the camera
// of scene as that copy sees it.
TPlacement ObjectPlacement(const TPickScene& scene, const TQRXBox& object, double offZ,
                           double offX) {
    const double camCol = static_cast<double>(WorldToMapUnits(scene.View.Camera.TransZ));
    const double camRow = static_cast<double>(WorldToMapUnits(scene.View.Camera.TransX));
    return PlacementInCopy(object, offZ, offX, camCol - 16 * offZ, camRow - 16 * offX);
}

// The stadium stands once, on the terrain at its rectangle's corner, in every view.
TPlacement StadiumPlacement(const TTrackData& track) {
    TQRXBox stadium = *track.Stadium;
    stadium.Y = StadiumGroundHeight(track);
    return PlacementInCopy(stadium, 0, 0, 0, 0);
}

TVec ToModel(const TPlacement& placement, TVec world, bool isPoint) {
    TVec v = isPoint ? world - placement.Position : world;
    v = RotateY(v, -placement.Turn.YawY);
    v = RotateX(v, -placement.Turn.PitchX);
    return RotateZ(v, -placement.Turn.RollZ);
}

double HitModel(const TRay& worldRay, const TPlacement& placement, const TModelGeometry& model,
                double nearDepth, double farDepth) {
    const TRay ray{ToModel(placement, worldRay.Origin, true),
                   ToModel(placement, worldRay.Direction, false)};
    const TModelBox box = ModelBox(*model.Vertices);
    double best = std::numeric_limits<double>::infinity();
    if (!CrossesBox(ray, box.Low, box.High, nearDepth, farDepth)) {
        return best;
    }
    for (const TBINFace& face : *model.Faces) {
        if (!IsDrawableFace(face, *model.Vertices)) {
            continue;
        }
        const auto corner = [&](int k) {
            return ModelVertex((*model.Vertices)[static_cast<size_t>(face.Indices[k])]);
        };
        // The quad splits like the other quads; its two halves cover the same face either way.
        best = std::min(best, HitTriangle(ray, corner(0), corner(1), corner(2)));
        if (face.VertexCount == 4) {
            best = std::min(best, HitTriangle(ray, corner(0), corner(2), corner(3)));
        }
    }
    return best;
}

int StoredIndex(int index) {
    const int m = index % kGridSize;
    return m < 0 ? m + kGridSize : m;
}

// The shift the grid passes give a visited cell beyond an edge.
TVec WrapShift(int column, int row) {
    TVec shift;
    shift.z = column > kGridSize - 1 ? 16 : (column < 0 ? -16 : 0);
    shift.x = row > kGridSize - 1 ? 16 : (row < 0 ? -16 : 0);
    return shift;
}

TVec QuadCorner(const TDrawQuad& quad, int k) {
    return {quad.Positions[k][0], quad.Positions[k][1], quad.Positions[k][2]};
}

double HitQuad(const TRay& ray, const TDrawQuad& quad, TVec shift) {
    const auto corner = [&](int k) { return QuadCorner(quad, k) + shift; };
    return std::min(HitTriangle(ray, corner(0), corner(1), corner(2)),
                    HitTriangle(ray, corner(0), corner(2), corner(3)));
}

// Whether the ray's path across the ground, from the near to the far depth, passes within reach
// of the centre of a cell: a cheap test before the cell's triangles.
class TGroundPath {
public:
    TGroundPath(const TRay& ray, double nearDepth, double farDepth)
        : start_{ray.Origin.x + ray.Direction.x * nearDepth,
                 ray.Origin.z + ray.Direction.z * nearDepth},
          along_{ray.Direction.x * (farDepth - nearDepth),
                 ray.Direction.z * (farDepth - nearDepth)},
          length2_(along_[0] * along_[0] + along_[1] * along_[1]) {}

    bool Passes(double x, double z) const {
        // Half a cell's diagonal with room for rounding.
        constexpr double kReach2 = (0.75 / 16) * (0.75 / 16);
        double t = 0;
        if (length2_ > 0) {
            t = ((x - start_[0]) * along_[0] + (z - start_[1]) * along_[1]) / length2_;
            t = std::clamp(t, 0.0, 1.0);
        }
        const double dx = start_[0] + along_[0] * t - x;
        const double dz = start_[1] + along_[1] * t - z;
        return dx * dx + dz * dz <= kReach2;
    }

private:
    double start_[2];
    double along_[2];
    double length2_;
};

void Keep(TPickHit& best, const TPickHit& candidate) {
    if (candidate.Kind != TPickKind::Nothing &&
        (best.Kind == TPickKind::Nothing || candidate.Depth < best.Depth)) {
        best = candidate;
    }
}

void PickCells(const TPickScene& scene, const TRay& ray, const TPickRay& pickRay, TPickHit& best) {
    const TTrackData& track = scene.Track;
    const TViewState& view = scene.View;
    const int camCol = static_cast<int>(RoundTiesToEven(WorldToMapUnits(view.Camera.TransZ)));
    const int camRow = static_cast<int>(RoundTiesToEven(WorldToMapUnits(view.Camera.TransX)));
    const bool boxes = view.Display.ShowGroundBoxes;
    const int d = view.ViewDistance;
    const int loop = view.MapView ? 128 : d;
    const TGroundPath path(ray, pickRay.Near, std::min(pickRay.Far, best.Depth));
    for (int a = camCol - loop; a <= camCol + loop; ++a) {
        for (int b = camRow - loop; b <= camRow + loop; ++b) {
            if (!path.Passes((b + 0.5 - 128) / 16, (a + 0.5 - 128) / 16)) {
                continue;
            }
            const int am = StoredIndex(a);
            const int bm = StoredIndex(b);
            const TVec shift = WrapShift(a, b);
            TPickHit hit;
            hit.Row = bm;
            hit.Column = am;
            const int dc = camCol - a;
            const int dr = camRow - b;
            const bool inRound = std::sqrt(static_cast<double>(dc * dc + dr * dr)) < d;
            if (boxes && inRound && track.GroundBoxCells[bm][am].HasBox) {
                for (int face = 0; face < 6; ++face) {
                    const double depth =
                        HitQuad(ray, track.GroundBoxCells[bm][am].Faces[face], shift);
                    if (depth >= pickRay.Near && depth <= pickRay.Far) {
                        hit.Kind = TPickKind::GroundBox;
                        hit.Depth = depth;
                        hit.GroundBoxFace = face;
                        Keep(best, hit);
                    }
                }
            }
            const TDrawQuad& quad = track.TerrainQuads[bm][am];
            if (!CellInViewArea(view, dr, dc) || (boxes && track.TerrainInGroundBox[bm][am]) ||
                quad.VertexCount != 4) {
                continue;
            }
            const double depth = HitQuad(ray, quad, shift);
            if (depth >= pickRay.Near && depth <= pickRay.Far) {
                hit.Kind = TPickKind::Terrain;
                hit.Depth = depth;
                hit.GroundBoxFace = -1;
                Keep(best, hit);
            }
        }
    }
}

void PickObjects(const TPickScene& scene, const TRay& ray, const TPickRay& pickRay,
                 TPickHit& best) {
    const TTrackData& track = scene.Track;
    for (const TPickObjectCopy& copy : scene.ObjectCopies) {
        for (const TQRXBox* object : copy.Objects) {
            const TModelGeometry model = scene.ModelOf(object->ModelName);
            if (model.Vertices == nullptr || model.Faces == nullptr || object->ModelName.empty()) {
                continue;
            }
            const TPlacement placement = ObjectPlacement(scene, *object, copy.OffZ, copy.OffX);
            const double depth = HitModel(ray, placement, model, pickRay.Near, pickRay.Far);
            if (!(depth >= pickRay.Near && depth <= pickRay.Far)) {
                continue;
            }
            TPickHit hit;
            hit.Kind = object->IsCheckpointMarker ? TPickKind::CheckpointMarker : TPickKind::Object;
            hit.Depth = depth;
            hit.CopyOffZ = copy.OffZ;
            hit.CopyOffX = copy.OffX;
            for (size_t i = 0; i < track.TrackObjects.size(); ++i) {
                if (track.TrackObjects[i].get() == object) {
                    hit.ObjectIndex = static_cast<int>(i);
                }
            }
            Keep(best, hit);
        }
    }
    if (track.StadiumFlag != 1 || !track.Stadium) {
        return;
    }
    const TModelGeometry model = scene.ModelOf(track.Stadium->ModelName);
    if (model.Vertices == nullptr || model.Faces == nullptr || track.Stadium->ModelName.empty()) {
        return;
    }
    TPickHit hit;
    hit.Depth = HitModel(ray, StadiumPlacement(track), model, pickRay.Near, pickRay.Far);
    if (hit.Depth >= pickRay.Near && hit.Depth <= pickRay.Far) {
        hit.Kind = TPickKind::Stadium;
        Keep(best, hit);
    }
}

std::string Number(double value, int decimals) {
    // A value that rounds to zero prints without a minus sign.
    if (std::abs(value) < 0.5 * std::pow(10.0, -decimals)) {
        value = 0;
    }
    return Format("%.*f", decimals, value);
}

std::string Numbers(const std::vector<double>& values, int decimals) {
    std::string text;
    for (const double value : values) {
        text += (text.empty() ? "" : ", ") + Number(value, decimals);
    }
    return text;
}

// Where a file the load asked for came from, in the asset report's words.
std::string SourceOf(const TAssetLog* assets, const std::string& name) {
    if (assets == nullptr) {
        return "unknown";
    }
    for (const TAssetRecord& record : assets->Records()) {
        if (SameText(record.Name, name)) {
            const std::string line = FormatAssetLine(record);
            const size_t first = line.find('\t');
            return line.substr(first + 1, line.rfind('\t') - first - 1);
        }
    }
    return "missing";
}

void AddField(std::vector<TPickField>& fields, std::string key, std::string label, std::string text,
              std::vector<double> numbers = {}) {
    fields.push_back({std::move(key), std::move(label), std::move(text), std::move(numbers)});
}

// Which record of the track description an object comes from.
std::string RecordText(const TTrackData& track, int index, std::string& kind) {
    const int boxes = track.BoxCount;
    const int topCrushEnd = boxes + 2 * track.TopCrushCount;
    if (index < boxes) {
        kind = "box";
        return Format("box %d of %d", index, boxes);
    }
    if (index < topCrushEnd) {
        const int entry = (index - boxes) / 2;
        kind = (index - boxes) % 2 == 0 ? "top-crush body" : "top-crush cab";
        return Format("top crush %d of %d (%s)", entry, track.TopCrushCount,
                      (index - boxes) % 2 == 0 ? "body" : "cab");
    }
    kind = "checkpoint marker";
    // Markers follow the checkpoints among the boxes in order.
    int marker = index - topCrushEnd;
    for (int i = 0; i < boxes && i < static_cast<int>(track.TrackObjects.size()); ++i) {
        if (track.TrackObjects[static_cast<size_t>(i)]->IsCheckpoint() && marker-- == 0) {
            return Format("marker of box %d", i);
        }
    }
    return "marker";
}

void DescribeObject(const TPickHit& hit, const TTrackData& track, const TAssetLog* assets,
                    const TModelLookup& modelOf, std::vector<TPickField>& fields) {
    const bool stadium = hit.Kind == TPickKind::Stadium;
    TQRXBox object =
        stadium ? *track.Stadium : *track.TrackObjects[static_cast<size_t>(hit.ObjectIndex)];
    AddField(fields, "model", "Model", object.ModelName);
    AddField(fields, "model_file", "Model file", SourceOf(assets, object.ModelName));
    if (stadium) {
        object.Y = StadiumGroundHeight(track);
        AddField(fields, "kind", "Kind", "stadium");
    } else {
        std::string kind;
        const std::string record = RecordText(track, hit.ObjectIndex, kind);
        AddField(fields, "record", "Record", record, {static_cast<double>(hit.ObjectIndex)});
        AddField(fields, "kind", "Kind", kind);
    }
    AddField(fields, "position", "Position (game units)",
             Numbers({object.X, object.Y, object.Z}, 2), {object.X, object.Y, object.Z});
    AddField(fields, "angles", "Angles (theta, phi, psi)",
             Numbers({object.Theta, object.Phi, object.Psi}, 4),
             {object.Theta, object.Phi, object.Psi});
    AddField(fields, "type_flags", "Type flags", object.TypeFlags);
    const TModelGeometry model = modelOf(object.ModelName);
    if (model.Vertices != nullptr && !model.Vertices->empty()) {
        const TBINExtents e = MeasureExtents(*model.Vertices);
        const std::vector<double> extents = {double(e.MinX), double(e.MinY), double(e.MinZ),
                                             double(e.MaxX), double(e.MaxY), double(e.MaxZ)};
        AddField(fields, "bounding_box", "Bounding box (model units)",
                 Numbers({extents[0], extents[1], extents[2]}, 0) + " to " +
                     Numbers({extents[3], extents[4], extents[5]}, 0),
                 extents);
    }
    AddField(fields, "copy", "Wrap-around copy", Numbers({hit.CopyOffX, hit.CopyOffZ}, 0),
             {hit.CopyOffX, hit.CopyOffZ});
}

void DescribeTexture(const TTexEntry& entry, const TTrackData& track, const TAssetLog* assets,
                     std::vector<TPickField>& fields) {
    const int number = entry.Number();
    AddField(fields, "texture_entry", "Texture entry",
             Format("number %d, mirror s %d, mirror t %d, rotation %d", number, entry.MirrorS(),
                    entry.MirrorT(), entry.Rotation()),
             {double(number), double(entry.MirrorS()), double(entry.MirrorT()),
              double(entry.Rotation())});
    if (number < static_cast<int>(track.TextureNames.size())) {
        const std::string name = "ART\\" + track.TextureNames[static_cast<size_t>(number)];
        AddField(fields, "texture", "Texture", name);
        AddField(fields, "texture_file", "Texture file", SourceOf(assets, name));
    } else {
        AddField(fields, "texture", "Texture", "none (past the texture list)");
    }
}

void DescribeCell(const TPickHit& hit, const TTrackData& track, const TAssetLog* assets,
                  std::vector<TPickField>& fields) {
    const int r = hit.Row;
    const int c = hit.Column;
    AddField(fields, "cell", "Cell", Format("row %d, column %d", r, c), {double(r), double(c)});
    // The heights were level bytes; single precision leaves them a little off.
    const auto levelUnits = [](float height) {
        return std::round(static_cast<double>(HeightToLevelUnits(height)) * 1000) / 1000;
    };
    const std::vector<double> heights = {levelUnits(track.TerrainVertices[r][c].y),
                                         levelUnits(track.GroundBoxBottom[r][c].y),
                                         levelUnits(track.GroundBoxTop[r][c].y)};
    AddField(fields, "heights", "Heights (terrain, box bottom, box top)", Numbers(heights, 0),
             heights);
    if (hit.Kind == TPickKind::GroundBox) {
        AddField(fields, "face", "Face", std::to_string(hit.GroundBoxFace),
                 {double(hit.GroundBoxFace)});
        DescribeTexture(track.GroundBoxTexIndex[r][c][hit.GroundBoxFace], track, assets, fields);
    } else {
        DescribeTexture(track.TerrainTexIndex[r][c], track, assets, fields);
    }
    AddField(fields, "light", "Light", std::to_string(track.LightMap[r][c][0]),
             {double(track.LightMap[r][c][0])});
}

} // namespace

TPickRay PickRay(const TViewState& view, int width, int height, int x, int y) {
    const TCameraPos& camera = view.Camera;
    width = std::max(width, 1);
    height = std::max(height, 1);
    const double aspect = static_cast<double>(width) / height;
    const double halfHeight = std::tan(camera.FOV / 2 * kDegreesToRadians);
    const double ndcX = 2 * (x + 0.5) / width - 1;
    const double ndcY = 1 - 2 * (y + 0.5) / height;
    // Back through the rotations the frame applies, last first.
    TVec direction{ndcX * halfHeight * aspect, ndcY * halfHeight, -1};
    direction = RotateX(direction, -camera.Tilt);
    direction = RotateY(direction, -camera.Heading);
    direction = RotateZ(direction, -camera.Roll);

    TVec translation{camera.TransX, camera.TransY, camera.TransZ};
    if (view.FollowTerrain) {
        translation.y =
            -GroundHeightAt(view, camera.TransX, camera.TransZ) - view.HeightAboveGround;
    }
    TPickRay ray;
    ray.Origin[0] = -translation.x;
    ray.Origin[1] = -translation.y;
    ray.Origin[2] = -translation.z;
    ray.Direction[0] = direction.x;
    ray.Direction[1] = direction.y;
    ray.Direction[2] = direction.z;
    ray.Far = view.MapView ? 5000 : 30;
    return ray;
}

TPickHit Pick(const TPickScene& scene, const TPickRay& pickRay) {
    const TRay ray{{pickRay.Origin[0], pickRay.Origin[1], pickRay.Origin[2]},
                   {pickRay.Direction[0], pickRay.Direction[1], pickRay.Direction[2]}};
    TPickHit best;
    best.Depth = std::numeric_limits<double>::infinity();
    PickObjects(scene, ray, pickRay, best);
    PickCells(scene, ray, pickRay, best);
    if (best.Kind == TPickKind::Nothing) {
        return TPickHit{};
    }
    const TVec point = ray.Origin + ray.Direction * best.Depth;
    best.Point[0] = point.x;
    best.Point[1] = point.y;
    best.Point[2] = point.z;
    return best;
}

namespace {

void AddEdge(std::vector<TPickEdge>& edges, TVec from, TVec to) {
    edges.push_back({{from.x, from.y, from.z}, {to.x, to.y, to.z}});
}

void AddModelBoxEdges(std::vector<TPickEdge>& edges, const TPlacement& placement,
                      const TModelBox& box) {
    // Back from the model's frame into the world: the turns of ToModel undone, last first.
    const auto toWorld = [&placement](TVec v) {
        v = RotateZ(v, placement.Turn.RollZ);
        v = RotateX(v, placement.Turn.PitchX);
        return RotateY(v, placement.Turn.YawY) + placement.Position;
    };
    TVec corners[8];
    for (int i = 0; i < 8; ++i) {
        corners[i] =
            toWorld({(i & 1) != 0 ? box.High.x : box.Low.x, (i & 2) != 0 ? box.High.y : box.Low.y,
                     (i & 4) != 0 ? box.High.z : box.Low.z});
    }
    // Corners one bit apart share an edge.
    for (int i = 0; i < 8; ++i) {
        for (const int bit : {1, 2, 4}) {
            if ((i & bit) == 0) {
                AddEdge(edges, corners[i], corners[i | bit]);
            }
        }
    }
}

// The whole-grid shift that brings a stored quad to where the hit met it.
TVec ShiftToHit(const TDrawQuad& quad, const TPickHit& hit) {
    TVec centre;
    for (int k = 0; k < 4; ++k) {
        centre = centre + QuadCorner(quad, k) * 0.25;
    }
    constexpr double kGridWorldUnits = 16;
    return {std::round((hit.Point[0] - centre.x) / kGridWorldUnits) * kGridWorldUnits, 0,
            std::round((hit.Point[2] - centre.z) / kGridWorldUnits) * kGridWorldUnits};
}

void AddQuadEdges(std::vector<TPickEdge>& edges, const TDrawQuad& quad, TVec shift) {
    for (int k = 0; k < 4; ++k) {
        AddEdge(edges, QuadCorner(quad, k) + shift, QuadCorner(quad, (k + 1) % 4) + shift);
    }
}

} // namespace

std::vector<TPickEdge> PickOutline(const TPickScene& scene, const TPickHit& hit) {
    const TTrackData& track = scene.Track;
    std::vector<TPickEdge> edges;
    switch (hit.Kind) {
    case TPickKind::Nothing:
        break;
    case TPickKind::Object:
    case TPickKind::CheckpointMarker:
    case TPickKind::Stadium: {
        const bool stadium = hit.Kind == TPickKind::Stadium;
        if (stadium ? !track.Stadium
                    : hit.ObjectIndex < 0 ||
                          hit.ObjectIndex >= static_cast<int>(track.TrackObjects.size())) {
            break;
        }
        const TQRXBox& object =
            stadium ? *track.Stadium : *track.TrackObjects[static_cast<size_t>(hit.ObjectIndex)];
        const TModelGeometry model = scene.ModelOf(object.ModelName);
        if (model.Vertices == nullptr || model.Vertices->empty()) {
            break;
        }
        const TPlacement placement =
            stadium ? StadiumPlacement(track)
                    : ObjectPlacement(scene, object, hit.CopyOffZ, hit.CopyOffX);
        AddModelBoxEdges(edges, placement, ModelBox(*model.Vertices));
        break;
    }
    case TPickKind::GroundBox: {
        const TGroundBoxCell& cell = track.GroundBoxCells[hit.Row][hit.Column];
        const TVec shift = ShiftToHit(cell.Faces[0], hit);
        for (const TDrawQuad& face : cell.Faces) {
            AddQuadEdges(edges, face, shift);
        }
        break;
    }
    case TPickKind::Terrain: {
        const TDrawQuad& quad = track.TerrainQuads[hit.Row][hit.Column];
        AddQuadEdges(edges, quad, ShiftToHit(quad, hit));
        break;
    }
    }
    return edges;
}

std::vector<TPickField> DescribePick(const TPickHit& hit, const TTrackData& track,
                                     const TAssetLog* assets, const TModelLookup& modelOf) {
    std::vector<TPickField> fields;
    switch (hit.Kind) {
    case TPickKind::Nothing:
        AddField(fields, "picked", "Picked", "nothing");
        return fields;
    case TPickKind::Object:
    case TPickKind::CheckpointMarker:
    case TPickKind::Stadium:
        AddField(fields, "picked", "Picked",
                 hit.Kind == TPickKind::Object
                     ? "object"
                     : (hit.Kind == TPickKind::Stadium ? "stadium" : "checkpoint marker"));
        DescribeObject(hit, track, assets, modelOf, fields);
        break;
    case TPickKind::GroundBox:
    case TPickKind::Terrain:
        AddField(fields, "picked", "Picked",
                 hit.Kind == TPickKind::Terrain ? "terrain cell" : "ground box");
        DescribeCell(hit, track, assets, fields);
        break;
    }
    AddField(fields, "point", "Point (world units)",
             Numbers({hit.Point[0], hit.Point[1], hit.Point[2]}, 3),
             {hit.Point[0], hit.Point[1], hit.Point[2]});
    return fields;
}

std::string FormatPickText(const std::vector<TPickField>& fields) {
    std::string text;
    for (const TPickField& field : fields) {
        text += field.Label + ": " + field.Text + "\n";
    }
    return text;
}

std::string FormatPickJson(const std::vector<TPickField>& fields) {
    // Whole numbers (indices, bytes, flags) print as integers.
    const auto number = [](double value) {
        return std::abs(value) < 1e15 && value == std::floor(value)
                   ? nlohmann::ordered_json(static_cast<int64_t>(value))
                   : nlohmann::ordered_json(value);
    };
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    for (const TPickField& field : fields) {
        if (field.Numbers.size() == 1) {
            object[field.Key] = number(field.Numbers[0]);
        } else if (!field.Numbers.empty()) {
            nlohmann::ordered_json list = nlohmann::ordered_json::array();
            for (const double value : field.Numbers) {
                list.push_back(number(value));
            }
            object[field.Key] = list;
        } else {
            object[field.Key] = Cp1252ToUtf8(field.Text);
        }
    }
    return object.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}
