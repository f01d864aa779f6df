#include "tools/ProcModels.h"

#include "tools/GameWriters.h"
#include "tools/Procedural.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kModelUnitsPerWorld = 131072.0;
constexpr double kTexCoordOne = 16711680.0;

struct TVec {
    double X = 0, Y = 0, Z = 0;
};

TVec operator+(TVec a, TVec b) {
    return {a.X + b.X, a.Y + b.Y, a.Z + b.Z};
}
TVec operator-(TVec a, TVec b) {
    return {a.X - b.X, a.Y - b.Y, a.Z - b.Z};
}
TVec operator-(TVec a) {
    return {-a.X, -a.Y, -a.Z};
}
TVec operator*(TVec a, double s) {
    return {a.X * s, a.Y * s, a.Z * s};
}
double Dot(TVec a, TVec b) {
    return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}
TVec Cross(TVec a, TVec b) {
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}
double Length(TVec a) {
    return std::sqrt(Dot(a, a));
}
TVec Normalize(TVec a) {
    return a * (1.0 / Length(a));
}
TVec MirrorZ(TVec a) {
    return {a.X, a.Y, -a.Z};
}

const TVec kUp{0, 1, 0};

struct TUv {
    double U = 0, V = 0;
};

// A texture region: u from U0 to U1, v from V0 (top) to V1 (bottom).
struct TRegion {
    double U0 = 0, V0 = 0, U1 = 1, V1 = 1;
    TUv At(double s, double t) const { return {Lerp(U0, U1, s), Lerp(V0, V1, t)}; }
    TUv Centre() const { return At(0.5, 0.5); }
};

const TRegion kWhole{};

class TMesh {
public:
    explicit TMesh(double scale = kModelUnitsPerWorld) : scale_(scale) {}

    void Texture(const std::string& name) { bin_.Texture(name); }
    void AnimatedTexture(const std::vector<std::string>& names) { bin_.AnimatedTexture(names); }

    // A flat polygon of three or four points, wound so that it is seen from the side `toward`
    // points to.
    void Face(std::vector<TVec> points, std::vector<TUv> uvs, TVec toward,
              int32_t block = kFaceOpaque) {
        if (points.size() != uvs.size() || (points.size() != 3 && points.size() != 4)) {
            throw std::invalid_argument("faces have three or four corners with coordinates");
        }
        const TVec normal = points.size() == 4
                                ? Cross(points[2] - points[0], points[3] - points[1])
                                : Cross(points[1] - points[0], points[2] - points[0]);
        if (Length(normal) == 0) {
            throw std::invalid_argument("degenerate face");
        }
        if (Dot(normal, toward) < 0) {
            std::reverse(points.begin(), points.end());
            std::reverse(uvs.begin(), uvs.end());
        }
        std::vector<TFaceRef> refs;
        for (size_t i = 0; i < points.size(); ++i) {
            refs.push_back({bin_.Vertex(Units(points[i].X), Units(points[i].Y), Units(points[i].Z)),
                            Coord(uvs[i].U), Coord(uvs[i].V)});
        }
        bin_.Face(block, refs);
    }

    void TwoSided(const std::vector<TVec>& points, const std::vector<TUv>& uvs,
                  int32_t block = kFaceOpaque) {
        const TVec normal = Cross(points[1] - points[0], points[2] - points[0]);
        Face(points, uvs, normal, block);
        Face(points, uvs, -normal, block);
    }

    // A rectangle seen from `toward`, with `up` pointing to the top edge of its texture region,
    // mapped so that the region reads the right way round for the viewer (the viewer's mirror of
    // the z axis included).
    void Panel(TVec centre, TVec toward, TVec up, double width, double height, TRegion region,
               int32_t block = kFaceOpaque) {
        toward = Normalize(toward);
        up = Normalize(up);
        const TVec right = Normalize(MirrorZ(Cross(up, MirrorZ(toward))));
        const TVec r = right * (width / 2);
        const TVec u = up * (height / 2);
        Face({centre - r + u, centre + r + u, centre + r - u, centre - r - u},
             {region.At(0, 0), region.At(1, 0), region.At(1, 1), region.At(0, 1)}, toward, block);
    }

    // An axis-aligned box seen from outside; `bottom` adds the face underneath.
    void Box(TVec low, TVec high, TRegion region, bool bottom = false) {
        BoxFaces(low, high, {region, region, region, region, region, region}, bottom);
    }

    // Regions in the order +x, -x, +z, -z, top, bottom.
    void BoxFaces(TVec low, TVec high, const std::array<TRegion, 6>& regions, bool bottom) {
        const TVec c = (low + high) * 0.5;
        const TVec size = high - low;
        Panel({high.X, c.Y, c.Z}, {1, 0, 0}, kUp, size.Z, size.Y, regions[0]);
        Panel({low.X, c.Y, c.Z}, {-1, 0, 0}, kUp, size.Z, size.Y, regions[1]);
        Panel({c.X, c.Y, high.Z}, {0, 0, 1}, kUp, size.X, size.Y, regions[2]);
        Panel({c.X, c.Y, low.Z}, {0, 0, -1}, kUp, size.X, size.Y, regions[3]);
        Panel({c.X, high.Y, c.Z}, {0, 1, 0}, {1, 0, 0}, size.Z, size.X, regions[4]);
        if (bottom) {
            Panel({c.X, low.Y, c.Z}, {0, -1, 0}, {1, 0, 0}, size.Z, size.X, regions[5]);
        }
    }

    // A many-sided frustum standing on (x, y0, z), seen from outside; radius1 0 makes a cone.
    void Frustum(TVec base, double radius0, double radius1, double y0, double y1, int sides,
                 TRegion region, bool topCap, bool bottomCap) {
        auto ring = [&](double radius, double y, int i) {
            const double a = 2 * kPi * i / sides;
            return TVec{base.X + radius * std::cos(a), y, base.Z + radius * std::sin(a)};
        };
        for (int i = 0; i < sides; ++i) {
            const double a = 2 * kPi * (i + 0.5) / sides;
            const TVec out{std::cos(a), (radius0 - radius1) / (y1 - y0), std::sin(a)};
            const double s0 = static_cast<double>(i) / sides;
            const double s1 = static_cast<double>(i + 1) / sides;
            if (radius1 == 0) {
                Face({ring(radius0, y0, i), ring(radius0, y0, i + 1), TVec{base.X, y1, base.Z}},
                     {region.At(s0, 1), region.At(s1, 1), region.At((s0 + s1) / 2, 0)}, out);
            } else {
                Face({ring(radius0, y0, i), ring(radius0, y0, i + 1), ring(radius1, y1, i + 1),
                      ring(radius1, y1, i)},
                     {region.At(s0, 1), region.At(s1, 1), region.At(s1, 0), region.At(s0, 0)}, out);
            }
        }
        const TUv centre = region.Centre();
        for (int i = 0; i < sides; ++i) {
            if (topCap && radius1 > 0) {
                Face({TVec{base.X, y1, base.Z}, ring(radius1, y1, i), ring(radius1, y1, i + 1)},
                     {centre, centre, centre}, kUp, kFaceNoCoords);
            }
            if (bottomCap) {
                Face({TVec{base.X, y0, base.Z}, ring(radius0, y0, i), ring(radius0, y0, i + 1)},
                     {centre, centre, centre}, -kUp);
            }
        }
    }

    TBinWriter& Writer() { return bin_; }
    TModelAsset Built() const { return {"", bin_.Bytes(), bin_.TextureNames()}; }

private:
    int32_t Units(double world) const { return static_cast<int32_t>(std::lround(world * scale_)); }
    static int32_t Coord(double t) { return static_cast<int32_t>(std::lround(t * kTexCoordOne)); }

    double scale_;
    TBinWriter bin_;
};

TRegion Quarter(int column, int row) {
    // Inset by a texel of the 64 x 64 atlas so that filtering stays inside the quarter.
    const double inset = 1.0 / 64;
    return {column * 0.5 + inset, row * 0.5 + inset, column * 0.5 + 0.5 - inset,
            row * 0.5 + 0.5 - inset};
}

TModelAsset Crate() {
    TMesh mesh;
    mesh.Texture("CRATE.RAW");
    const double h = kCrateSide / 2;
    mesh.Box({-h, 0, -h}, {h, kCrateSide, h}, kWhole);
    std::vector<std::array<int32_t, 3>> normals;
    for (int i = 0; i < mesh.Writer().VertexCount(); ++i) {
        normals.push_back({0, 65536, 0});
    }
    mesh.Writer().Normals(normals);
    return mesh.Built();
}

TModelAsset Ramp() {
    TMesh mesh;
    const double l = 0.06, w = 0.045, h = 0.035;
    mesh.Texture("CHEVRON.RAW");
    mesh.Face({{-l, 0, -w}, {-l, 0, w}, {l, h, w}, {l, h, -w}}, {{0, 1}, {1, 1}, {1, 0}, {0, 0}},
              {-h, 2 * l, 0});
    mesh.Texture("STEEL.RAW");
    mesh.Face({{l, 0, -w}, {l, 0, w}, {l, h, w}, {l, h, -w}}, {{0, 1}, {1, 1}, {1, 0}, {0, 0}},
              {1, 0, 0});
    for (double side : {-w, w}) {
        mesh.Face({{-l, 0, side}, {l, 0, side}, {l, h, side}}, {{0, 1}, {1, 1}, {1, 0}},
                  {0, 0, side});
    }
    return mesh.Built();
}

TModelAsset Pole() {
    TMesh mesh;
    mesh.Texture("POLE.RAW");
    mesh.Frustum({}, 0.006, 0.006, 0, 0.22, 8, kWhole, true, false);
    return mesh.Built();
}

TModelAsset Barrel() {
    TMesh mesh;
    mesh.Texture("BARREL.RAW");
    mesh.Frustum({}, 0.016, 0.016, 0, 0.045, 12, kWhole, true, false);
    return mesh.Built();
}

TModelAsset Cone() {
    TMesh mesh;
    mesh.Texture("CONE.RAW");
    mesh.Box({-0.016, 0, -0.016}, {0.016, 0.004, 0.016}, {0.1, 0.8, 0.9, 0.95});
    mesh.Frustum({}, 0.012, 0.002, 0.004, 0.042, 8, kWhole, true, false);
    return mesh.Built();
}

TModelAsset Pine() {
    TMesh mesh;
    mesh.Texture("PINE.RAW");
    mesh.Frustum({}, 0.006, 0.005, 0, 0.04, 8, {0.02, 0.02, 0.48, 0.98}, false, false);
    const TRegion needles{0.52, 0.02, 0.98, 0.98};
    mesh.Frustum({}, 0.055, 0, 0.03, 0.12, 8, needles, false, true);
    mesh.Frustum({}, 0.045, 0, 0.08, 0.17, 8, needles, false, true);
    mesh.Frustum({}, 0.032, 0, 0.13, 0.22, 8, needles, false, true);
    return mesh.Built();
}

TModelAsset Sign() {
    TMesh mesh;
    mesh.Texture("STEEL.RAW");
    for (double x : {-0.07, 0.07}) {
        mesh.Box({x - 0.004, 0, -0.004}, {x + 0.004, 0.06, 0.004}, kWhole);
    }
    mesh.Box({-0.085, 0.06, -0.004}, {0.085, 0.14, 0.004}, kWhole);
    // The board turns to face the viewer along its z axis; both sides carry the picture.
    mesh.AnimatedTexture({"SIGN1.RAW", "SIGN2.RAW"});
    const double eps = 0.0005;
    mesh.Panel({0, 0.1, 0.004 + eps}, {0, 0, 1}, kUp, 0.16, 0.08, kWhole);
    mesh.Panel({0, 0.1, -0.004 - eps}, {0, 0, -1}, kUp, 0.16, 0.08, kWhole);
    return mesh.Built();
}

TModelAsset Tyres() {
    TMesh mesh;
    mesh.Texture("TYRES.RAW");
    for (int i = 0; i < 3; ++i) {
        mesh.Frustum({}, 0.022, 0.022, i * 0.013, (i + 1) * 0.013, 12, kWhole, i == 2, false);
    }
    return mesh.Built();
}

TModelAsset Gate() {
    TMesh mesh;
    const double s = kGateHalfSpan;
    mesh.Texture("POLE.RAW");
    for (double z : {-s, s}) {
        mesh.Box({-0.006, 0, z - 0.006}, {0.006, 0.175, z + 0.006}, kWhole);
    }
    // The bar ends inside the posts, so that no faces of the two lie in one plane.
    mesh.Texture("STEEL.RAW");
    mesh.Box({-0.005, 0.125, -s}, {0.005, 0.17, s}, kWhole, true);
    mesh.Texture("BANNER.RAW");
    const double eps = 0.0005;
    for (double side : {-1.0, 1.0}) {
        mesh.Panel({side * (0.006 + eps), 0.1475, 0}, {side, 0, 0}, kUp, 2 * s, 0.045, kWhole);
    }
    return mesh.Built();
}

void Wheels(TMesh& mesh, std::initializer_list<double> axles, double halfWidth) {
    mesh.Texture("TYRES.RAW");
    for (double x : axles) {
        for (double side : {-1.0, 1.0}) {
            const double z = side * halfWidth;
            mesh.Box({x - 0.013, 0, z - 0.004}, {x + 0.013, 0.026, z + 0.004}, kWhole);
        }
    }
}

TModelAsset Trailer() {
    TMesh mesh;
    const double l = kTrailerLength / 2, w = 0.026;
    const TRegion steel = kWhole;
    mesh.Texture("TRAILER.RAW");
    // Sides carry the lettering; ends and roof are plain.
    mesh.Panel({0, 0.044, w}, {0, 0, 1}, kUp, kTrailerLength, 0.06, kWhole);
    mesh.Panel({0, 0.044, -w}, {0, 0, -1}, kUp, kTrailerLength, 0.06, kWhole);
    mesh.Texture("STEEL.RAW");
    mesh.Panel({l, 0.044, 0}, {1, 0, 0}, kUp, 2 * w, 0.06, steel);
    mesh.Panel({-l, 0.044, 0}, {-1, 0, 0}, kUp, 2 * w, 0.06, steel);
    mesh.Panel({0, 0.074, 0}, {0, 1, 0}, {1, 0, 0}, 2 * w, kTrailerLength, steel);
    mesh.Panel({0, 0.014, 0}, {0, -1, 0}, {1, 0, 0}, 2 * w, kTrailerLength, steel);
    mesh.Box({l - 0.02, 0, -0.004}, {l - 0.012, 0.014, 0.004}, steel);
    Wheels(mesh, {-l + 0.02, -l + 0.05}, w - 0.002);
    return mesh.Built();
}

TModelAsset TruckCab() {
    TMesh mesh;
    const double l = kCabLength / 2, w = 0.026;
    const TRegion red{0.01, 0.9, 0.06, 0.98};
    mesh.Texture("TRUCKCAB.RAW");
    mesh.BoxFaces({-l, 0.012, -w}, {l, 0.07, w}, {kWhole, red, red, red, red, red}, true);
    Wheels(mesh, {-l + 0.012, l - 0.012}, w - 0.002);
    return mesh.Built();
}

TModelAsset FlagModel() {
    TMesh mesh;
    mesh.Texture("STEEL.RAW");
    mesh.Frustum({}, 0.004, 0.003, 0, 0.25, 6, kWhole, true, false);
    mesh.Texture("FLAG.RAW");
    const int segments = 4;
    auto wave = [](double x) { return 0.01 * std::sin(2 * kPi * x / 0.08); };
    for (int i = 0; i < segments; ++i) {
        const double x0 = 0.004 + 0.03 * i;
        const double x1 = x0 + 0.03;
        const double s0 = static_cast<double>(i) / segments;
        const double s1 = static_cast<double>(i + 1) / segments;
        mesh.TwoSided({{x0, 0.245, wave(x0)},
                       {x1, 0.245, wave(x1)},
                       {x1, 0.175, wave(x1)},
                       {x0, 0.175, wave(x0)}},
                      {{s0, 0}, {s1, 0}, {s1, 1}, {s0, 1}});
    }
    return mesh.Built();
}

// A ring round the viewer, seen from inside: `top(i)` gives the height of the ring's upper edge
// at segment edge i; the texture's v follows the height so that snow lines stay level.
template <typename TTop>
TModelAsset Ring(const std::string& texture, int segments, double base, double vTop, double vSpan,
                 double uRepeats, TTop top, const std::vector<double>& radii) {
    TMesh mesh;
    mesh.Texture(texture);
    for (int i = 0; i < segments; ++i) {
        const double a0 = 2 * kPi * i / segments;
        const double a1 = 2 * kPi * (i + 1) / segments;
        const double r0 = radii[i % segments];
        const double r1 = radii[(i + 1) % segments];
        const double h0 = top(i);
        const double h1 = top(i + 1);
        const TVec b0{r0 * std::cos(a0), base, r0 * std::sin(a0)};
        const TVec b1{r1 * std::cos(a1), base, r1 * std::sin(a1)};
        const TVec t0{b0.X, h0, b0.Z};
        const TVec t1{b1.X, h1, b1.Z};
        const double u0 = -uRepeats * i / segments;
        const double u1 = -uRepeats * (i + 1) / segments;
        auto v = [&](double y) { return (vTop - y) / vSpan; };
        const double mid = (a0 + a1) / 2;
        mesh.Face({b0, b1, t1, t0}, {{u0, v(base)}, {u1, v(base)}, {u1, v(h1)}, {u0, v(h0)}},
                  {-std::cos(mid), 0, -std::sin(mid)});
    }
    return mesh.Built();
}

TModelAsset Mountains() {
    const int segments = 64;
    const TTileNoise noise(70);
    std::vector<double> peaks(segments + 1);
    std::vector<double> radii(segments);
    for (int i = 0; i <= segments; ++i) {
        const double n = noise.Fbm(8.0 * i / segments, 0.5, 8, 4);
        peaks[i] = 0.05 + 0.11 * Clamp01(0.5 + 1.1 * n);
    }
    for (int i = 0; i < segments; ++i) {
        radii[i] = 1.0 + 0.04 * noise.Value(16.0 * i / segments, 3.5, 16);
    }
    peaks[segments] = peaks[0];
    return Ring(
        "MOUNTAIN.RAW", segments, -0.06, 0.16, 0.22, 16, [&](int i) { return peaks[i]; }, radii);
}

TModelAsset Foothills() {
    const int segments = 64;
    const TTileNoise noise(71);
    std::vector<double> tops(segments + 1);
    for (int i = 0; i <= segments; ++i) {
        tops[i] = 0.018 + 0.04 * Clamp01(0.5 + noise.Fbm(6.0 * i / segments, 0.5, 6, 3));
    }
    tops[segments] = tops[0];
    return Ring(
        "FOOTHILL.RAW", segments, -0.05, 0.06, 0.11, 24, [&](int i) { return tops[i]; },
        std::vector<double>(segments, 1.0));
}

TModelAsset Skyline() {
    const int segments = 48;
    TMesh mesh;
    mesh.Texture("WINDOWS.RAW");
    TRandom random(72);
    const double base = -0.035;
    for (int i = 0; i < segments; ++i) {
        const double a0 = 2 * kPi * i / segments;
        const double a1 = 2 * kPi * (i + 1) / segments;
        const double radius = random.Range(0.95, 1.05);
        const double top = random.Range(0.015, 0.09);
        const TVec b0{radius * std::cos(a0), base, radius * std::sin(a0)};
        const TVec b1{radius * std::cos(a1), base, radius * std::sin(a1)};
        const double u0 = random.Range(0, 1);
        const double floors = (top - base) / 0.06;
        const double mid = (a0 + a1) / 2;
        mesh.Face({b0, b1, {b1.X, top, b1.Z}, {b0.X, top, b0.Z}},
                  {{u0, floors}, {u0 - 1, floors}, {u0 - 1, 0}, {u0, 0}},
                  {-std::cos(mid), 0, -std::sin(mid)});
    }
    return mesh.Built();
}

// The square stadium round a 64 x 64 cell arena (4 world units): an advertising wall, six tiers
// of seats, a back wall, a roof over the upper tiers and a floodlight tower at each corner.
TModelAsset Stadium() {
    TMesh mesh;
    // The wall stands just inside the floor the viewer builds (2 world units each way from the
    // centre), and reaches below it over the floor's bumps: anywhere else the ground under the
    // stadium, which is never built, shows through between the two.
    const double inner = 1.98;
    const double footing = -0.03;
    const double wall = 0.05;
    const double tierDepth = 0.1;
    const double tierRise = 0.06;
    const int tiers = 6;
    const double outer = inner + tiers * tierDepth;
    const double top = wall + tiers * tierRise;

    // One side of the square, turned by quarter turns; (a, b) are the offsets across and along.
    auto point = [](int side, double across, double y, double along) {
        switch (side) {
        case 0:
            return TVec{across, y, along};
        case 1:
            return TVec{-along, y, across};
        case 2:
            return TVec{-across, y, -along};
        default:
            return TVec{along, y, -across};
        }
    };
    auto inward = [&](int side) { return -point(side, 1, 0, 0); };
    auto riser = [&](int side, double a, double y0, double y1, TRegion region, TVec toward) {
        const double repeats = std::round(2 * a / 0.3);
        mesh.Face({point(side, a, y0, -a), point(side, a, y0, a), point(side, a, y1, a),
                   point(side, a, y1, -a)},
                  {{region.U0, region.V1},
                   {region.U0 + repeats, region.V1},
                   {region.U0 + repeats, region.V0},
                   {region.U0, region.V0}},
                  toward);
    };

    mesh.Texture("ADBOARD.RAW");
    for (int side = 0; side < 4; ++side) {
        riser(side, inner, footing, wall, {0, 0.3, 1, 0.7}, inward(side));
    }
    mesh.Texture("CROWD.RAW");
    for (int k = 0; k < tiers; ++k) {
        const double a = inner + k * tierDepth;
        for (int side = 0; side < 4; ++side) {
            riser(side, a, wall + k * tierRise, wall + (k + 1) * tierRise, {0, 0, 1, 0.5},
                  inward(side));
        }
    }
    mesh.Texture("CONCRETE.RAW");
    for (int k = 0; k < tiers; ++k) {
        const double a0 = inner + k * tierDepth;
        const double a1 = a0 + tierDepth;
        const double y = wall + (k + 1) * tierRise;
        for (int side = 0; side < 4; ++side) {
            mesh.Face({point(side, a0, y, -a0), point(side, a0, y, a0), point(side, a1, y, a1),
                       point(side, a1, y, -a1)},
                      {{0, 0}, {2 * a0 / 0.5, 0}, {2 * a1 / 0.5, 0.2}, {0, 0.2}}, kUp);
        }
    }
    for (int side = 0; side < 4; ++side) {
        riser(side, outer, 0, top, {0, 0, 1, 1}, -inward(side));
    }

    mesh.Texture("STEEL.RAW");
    const double roofLow = top + 0.11;
    const double roofHigh = top + 0.16;
    const double roofIn = outer - 0.42;
    for (int side = 0; side < 4; ++side) {
        mesh.TwoSided({point(side, roofIn, roofLow, -roofIn), point(side, roofIn, roofLow, roofIn),
                       point(side, outer + 0.02, roofHigh, outer + 0.02),
                       point(side, outer + 0.02, roofHigh, -outer - 0.02)},
                      {{0, 1}, {8, 1}, {8, 0}, {0, 0}});
        for (double along : {-0.9, 0.0, 0.9}) {
            const TVec c = point(side, outer - 0.01, 0, along);
            mesh.Box({c.X - 0.01, top, c.Z - 0.01}, {c.X + 0.01, roofHigh, c.Z + 0.01}, kWhole);
        }
    }
    const double towerAt = outer + 0.12;
    const double towerTop = 1.0;
    for (int side = 0; side < 4; ++side) {
        const TVec c = point(side, towerAt, 0, towerAt);
        mesh.Texture("STEEL.RAW");
        mesh.Box({c.X - 0.015, 0, c.Z - 0.015}, {c.X + 0.015, towerTop, c.Z + 0.015}, kWhole);
        const TVec toCentre = Normalize(TVec{-c.X, 0, -c.Z});
        const TVec headCentre = TVec{c.X, towerTop + 0.05, c.Z} + toCentre * 0.02;
        const TVec tilt = Normalize(toCentre + TVec{0, -0.5, 0});
        const TVec up = Normalize(Cross(Cross(tilt, kUp), tilt));
        mesh.Panel(headCentre, -tilt, up, 0.18, 0.11, kWhole);
        mesh.Texture("LIGHTS.RAW");
        mesh.Panel(headCentre, tilt, up, 0.18, 0.11, kWhole);
    }
    return mesh.Built();
}

TModelAsset SkyDome(const std::string& texture) {
    // 20000 model units; at the sky's scale that is about 3800 world units, inside the far
    // plane the sky is drawn with.
    TMesh mesh(20000.0);
    mesh.Texture(texture);
    const int segments = 24;
    const int bands = 12;
    const double inset = 0.5 / 256;
    auto v = [&](int band) { return inset + (1 - 2 * inset) * band / bands; };
    auto point = [&](int band, int i) {
        const double elevation = kPi / 2 - kPi * band / bands;
        const double a = 2 * kPi * i / segments;
        return TVec{std::cos(elevation) * std::cos(a), std::sin(elevation),
                    std::cos(elevation) * std::sin(a)};
    };
    for (int band = 0; band < bands; ++band) {
        for (int i = 0; i < segments; ++i) {
            const double u0 = -static_cast<double>(i) / segments;
            const double u1 = -static_cast<double>(i + 1) / segments;
            const TVec inwards = -(point(band, i) + point(band + 1, i + 1));
            if (band == 0) {
                mesh.Face({point(0, i), point(1, i + 1), point(1, i)},
                          {{(u0 + u1) / 2, v(0)}, {u1, v(1)}, {u0, v(1)}}, inwards);
            } else if (band == bands - 1) {
                mesh.Face({point(band, i), point(band, i + 1), point(bands, i)},
                          {{u0, v(band)}, {u1, v(band)}, {(u0 + u1) / 2, v(bands)}}, inwards);
            } else {
                mesh.Face({point(band, i), point(band, i + 1), point(band + 1, i + 1),
                           point(band + 1, i)},
                          {{u0, v(band)}, {u1, v(band)}, {u1, v(band + 1)}, {u0, v(band + 1)}},
                          inwards);
            }
        }
    }
    return mesh.Built();
}

} // namespace

TModelAsset MarkerModel() {
    TMesh mesh;
    mesh.Texture("DMGLCHK.RAW");
    const TRegion checker = Quarter(0, 0);
    const TRegion stripes = Quarter(1, 0);
    const TRegion orange = Quarter(0, 1);
    const TRegion white = Quarter(1, 1);
    mesh.Box({-0.03, 0, -0.03}, {0.03, 0.012, 0.03}, white);
    mesh.Box({-0.007, 0.012, -0.007}, {0.007, 0.42, 0.007}, stripes);
    mesh.Box({0.007, 0.3, -0.002}, {0.16, 0.41, 0.002}, checker, true);
    // An eight-sided arrow pointing down at the checkpoint, open to no side.
    const int sides = 8;
    const double radius = 0.05;
    const double tipY = 0.15;
    const double topY = 0.26;
    for (int i = 0; i < sides; ++i) {
        const double a0 = 2 * kPi * i / sides;
        const double a1 = 2 * kPi * (i + 1) / sides;
        const TVec p0{radius * std::cos(a0), topY, radius * std::sin(a0)};
        const TVec p1{radius * std::cos(a1), topY, radius * std::sin(a1)};
        const double mid = (a0 + a1) / 2;
        mesh.Face({p0, p1, {0, tipY, 0}}, {orange.At(0, 0), orange.At(1, 0), orange.At(0.5, 1)},
                  {std::cos(mid), -radius / (topY - tipY), std::sin(mid)});
        mesh.Face({p0, p1, {0, topY, 0}}, {orange.At(0, 0), orange.At(1, 0), orange.At(0.5, 0.5)},
                  kUp);
    }
    return mesh.Built();
}

namespace {

TModelAsset DenseTower(int faces) {
    // Rings of 16 quads under a cap of 16 triangles. The texture changes every eight rings (128
    // faces, so a tower of 2000 faces names a texture 16 times, as a detailed game model might),
    // and some lattice bands are blended, others opaque.
    constexpr int kSides = 16;
    constexpr double kHeight = 0.25;
    const int rings = std::max(1, faces / kSides - 1);
    const char* const textures[3] = {"CRATE.RAW", "LATTICE.RAW", "STEEL.RAW"};
    const auto radius = [&](int ring) {
        return 0.02 + 0.012 * std::sin(3.0 * ring / rings * kPi) + 0.01 * (rings - ring) / rings;
    };
    const auto corner = [&](int ring, int side) {
        const double a = 2 * kPi * side / kSides;
        const double r = radius(ring);
        return TVec{r * std::cos(a), kHeight * ring / rings, r * std::sin(a)};
    };
    TMesh mesh;
    for (int ring = 0; ring < rings; ++ring) {
        const int band = ring / 8;
        if (ring % 8 == 0) {
            mesh.Texture(textures[band % 3]);
        }
        const int32_t block = band % 6 == 4 ? kFaceBlended : kFaceOpaque;
        for (int side = 0; side < kSides; ++side) {
            const double a = 2 * kPi * (side + 0.5) / kSides;
            const double s0 = static_cast<double>(side) / kSides;
            const double s1 = static_cast<double>(side + 1) / kSides;
            mesh.Face({corner(ring, side), corner(ring, side + 1), corner(ring + 1, side + 1),
                       corner(ring + 1, side)},
                      {{s0, 1}, {s1, 1}, {s1, 0}, {s0, 0}}, {std::cos(a), 0, std::sin(a)}, block);
        }
    }
    mesh.Texture("CHEVRON.RAW");
    const TVec top{0, kHeight * 1.08, 0};
    for (int side = 0; side < kSides; ++side) {
        mesh.Face({corner(rings, side), corner(rings, side + 1), top},
                  {{0.1, 0.9}, {0.9, 0.9}, {0.5, 0.1}}, kUp);
    }
    return mesh.Built();
}

TModelAsset Named(const std::string& name, TModelAsset model) {
    model.Name = name;
    return model;
}

} // namespace

std::vector<TModelAsset> DemoModels() {
    return {
        Named("CRATE.BIN", Crate()),
        Named("RAMP.BIN", Ramp()),
        Named("POLE.BIN", Pole()),
        Named("BARREL.BIN", Barrel()),
        Named("CONE.BIN", Cone()),
        Named("PINE.BIN", Pine()),
        Named("SIGN.BIN", Sign()),
        Named("TYRES.BIN", Tyres()),
        Named("CHKGATE.BIN", Gate()),
        Named("TRAILER.BIN", Trailer()),
        Named("TRUCKCAB.BIN", TruckCab()),
        {"FLAGANIM.BIN", AnimationControlBytes("FLAG1.BIN"), {}},
        Named("FLAG1.BIN", FlagModel()),
        Named("MOUNTAIN.BIN", Mountains()),
        Named("FOOTHILL.BIN", Foothills()),
        Named("SKYLINE.BIN", Skyline()),
        Named("STADIUM.BIN", Stadium()),
    };
}

std::vector<TModelAsset> SkyBoxModels() {
    return {Named("SKYBOX_CLOUDY2.BIN", SkyDome("SKYCLEAR.RAW")),
            Named("SKYBOX_CCLOUDS.BIN", SkyDome("SKYCLOUD.RAW")),
            Named("SKYBOX_DUSKSKY.BIN", SkyDome("SKYDUSK.RAW")),
            Named("SKYBOX_NITESKY.BIN", SkyDome("SKYNIGHT.RAW"))};
}

std::vector<TModelAsset> DenseModels() {
    std::vector<TModelAsset> models;
    for (const int faces : kDenseModelFaces) {
        models.push_back(Named(DenseModelName(faces), DenseTower(faces)));
    }
    return models;
}

std::string DenseModelName(int faces) {
    return "TOWER" + std::to_string(faces) + ".BIN";
}
