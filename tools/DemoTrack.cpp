#include "tools/DemoTrack.h"

#include "core/base/TextUtils.h"
#include "tools/GameWriters.h"
#include "tools/ProcModels.h"
#include "tools/ProcTextures.h"
#include "tools/Procedural.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <optional>
#include <set>
#include <stdexcept>

namespace {

constexpr int kGrid = 256;
constexpr double kPi = std::numbers::pi;
constexpr double kGameUnitsPerCell = 32;
constexpr double kCellsPerWorld = 16;

int WrapIndex(int i) {
    return ((i % kGrid) + kGrid) % kGrid;
}

// Shortest signed difference between two grid coordinates on the wrapping grid.
double WrapDelta(double d) {
    d = std::fmod(d, kGrid);
    if (d > kGrid / 2) {
        d -= kGrid;
    } else if (d < -kGrid / 2) {
        d += kGrid;
    }
    return d;
}

struct TTexChoice {
    int Number = 0;
    bool MirrorS = false;
    bool MirrorT = false;
    int Rotation = 0;
};

// Isotropic textures are turned and mirrored at random so that their tiling does not show.
TTexChoice Scattered(int number, uint32_t hash) {
    return {number, (hash & 1) != 0, (hash & 2) != 0, static_cast<int>((hash >> 2) & 3)};
}

uint32_t CellHash(int r, int c, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(r) * 73856093u ^ static_cast<uint32_t>(c) * 19349663u ^
                 seed * 83492791u;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    return h ^ (h >> 15);
}

// The six grid files of a track being made: heights in level bytes (kept as reals until they are
// written), ground boxes, texture entries and the light map computed from the finished shapes.
class TGridBuilder {
public:
    TGridBuilder()
        : height_(kGrid * kGrid, 0.0), bottom_(kGrid * kGrid, 0), top_(kGrid * kGrid, 0),
          tex_(kGrid * kGrid), boxTex_(kGrid * kGrid * 6) {}

    double& H(int r, int c) { return height_[Index(r, c)]; }
    double H(int r, int c) const { return height_[Index(r, c)]; }
    uint8_t Altitude(int r, int c) const {
        return static_cast<uint8_t>(std::clamp(std::lround(H(r, c)), 1L, 255L));
    }

    void Tex(int r, int c, TTexChoice t) { tex_[Index(r, c)] = t; }

    // Ground boxes stand on cells 0..254 only: the viewer never builds one on the last row or
    // column.
    void Box(int r, int c, int low, int high, TTexChoice side, TTexChoice lid, TTexChoice floor) {
        r = WrapIndex(r);
        c = WrapIndex(c);
        if (r > 254 || c > 254) {
            return;
        }
        bottom_[Index(r, c)] = static_cast<uint8_t>(std::clamp(low, 0, 255));
        top_[Index(r, c)] = static_cast<uint8_t>(std::clamp(high, 1, 255));
        for (int face = 0; face < 4; ++face) {
            boxTex_[Index(r, c) * 6 + face] = side;
        }
        boxTex_[Index(r, c) * 6 + 4] = lid;
        boxTex_[Index(r, c) * 6 + 5] = floor;
    }
    bool HasBox(int r, int c) const { return top_[Index(r, c)] != 0 || bottom_[Index(r, c)] != 0; }
    int BoxTop(int r, int c) const { return top_[Index(r, c)]; }

    // Ground height in level bytes at a fractional grid position.
    double HeightAt(double row, double col) const {
        const int r = static_cast<int>(std::floor(row));
        const int c = static_cast<int>(std::floor(col));
        const double fr = row - r;
        const double fc = col - c;
        const double a = Lerp(Altitude(r, c), Altitude(r + 1, c), fr);
        const double b = Lerp(Altitude(r, c + 1), Altitude(r + 1, c + 1), fr);
        return Lerp(a, b, fc);
    }

    // What an object standing there rests on: the terrain or a ground box's lid.
    double SurfaceAt(double row, double col) const {
        const int r = WrapIndex(static_cast<int>(std::floor(row)));
        const int c = WrapIndex(static_cast<int>(std::floor(col)));
        const double ground = HeightAt(row, col);
        return HasBox(r, c) ? std::max(ground, static_cast<double>(BoxTop(r, c))) : ground;
    }

    // Sunlight from the slopes, with cast shadows of terrain and ground boxes, and an ambient
    // floor so that nothing is black.
    void ComputeLight(double ambient) {
        const double sx = 0.45, sy = 0.62, sz = 0.55;
        const double len = std::sqrt(sx * sx + sy * sy + sz * sz);
        const double lx = sx / len, ly = sy / len, lz = sz / len;
        const double horizontal = std::hypot(lx, lz);
        // Height gained per cell walked towards the sun, in level bytes.
        const double risePerCell = ly / horizontal * 255.0 / kCellsPerWorld;
        light_.assign(kGrid * kGrid * 7, 0);
        for (int r = 0; r < kGrid; ++r) {
            for (int c = 0; c < kGrid; ++c) {
                const double dhdr =
                    (Altitude(r + 1, c) - Altitude(r - 1, c)) / 255.0 * kCellsPerWorld / 2;
                const double dhdc =
                    (Altitude(r, c + 1) - Altitude(r, c - 1)) / 255.0 * kCellsPerWorld / 2;
                const double nl = std::sqrt(dhdr * dhdr + 1 + dhdc * dhdc);
                const double diffuse = std::max(0.0, (-dhdr * lx + ly - dhdc * lz) / nl);
                double shadow = 1.0;
                const double start = Altitude(r, c) + 0.5;
                for (int step = 1; step < 120; ++step) {
                    const double rr = r + lx / horizontal * step;
                    const double cc = c + lz / horizontal * step;
                    const double ray = start + risePerCell * step;
                    if (ray > 255) {
                        break;
                    }
                    if (SurfaceAt(rr, cc) > ray) {
                        shadow = 0.45;
                        break;
                    }
                }
                const double value = ambient + (1 - ambient) * diffuse * shadow;
                light_[Index(r, c) * 7] =
                    static_cast<uint8_t>(std::clamp(std::lround(value * 255), 40L, 255L));
            }
        }
    }

    void AddTo(TPodWriter& pod, const TLevelDescription& level) const {
        std::string altitude, bottom, top, tex, boxTex;
        for (int i = 0; i < kGrid * kGrid; ++i) {
            altitude += static_cast<char>(Altitude(i / kGrid, i % kGrid));
            bottom += static_cast<char>(bottom_[i]);
            top += static_cast<char>(top_[i]);
            const auto entry =
                TexEntryBytes(tex_[i].Number, tex_[i].MirrorS, tex_[i].MirrorT, tex_[i].Rotation);
            tex += static_cast<char>(entry[0]);
            tex += static_cast<char>(entry[1]);
            for (int face = 0; face < 6; ++face) {
                const TTexChoice& t = boxTex_[i * 6 + face];
                const auto b = TexEntryBytes(t.Number, t.MirrorS, t.MirrorT, t.Rotation);
                boxTex += static_cast<char>(b[0]);
                boxTex += static_cast<char>(b[1]);
            }
        }
        pod.Add("DATA\\" + level.AltitudeFile, altitude);
        pod.Add("DATA\\" + DerivedName(level.AltitudeFile, '0'), bottom);
        pod.Add("DATA\\" + DerivedName(level.AltitudeFile, '1'), top);
        pod.Add("DATA\\" + level.TexIndexFile, tex);
        pod.Add("DATA\\" + DerivedName(level.TexIndexFile, '0'), boxTex);
        pod.Add("DATA\\" + level.LightMapFile, std::string(light_.begin(), light_.end()));
    }

private:
    static int Index(int r, int c) { return WrapIndex(r) * kGrid + WrapIndex(c); }

    std::vector<double> height_;
    std::vector<uint8_t> bottom_;
    std::vector<uint8_t> top_;
    std::vector<TTexChoice> tex_;
    std::vector<TTexChoice> boxTex_;
    std::vector<uint8_t> light_;
};

// Placement in grid terms: a position in cells, a height in level bytes and the direction the
// model's front (+x) is to point, as a step along rows and columns.
struct TPlace {
    double Row = 0;
    double Col = 0;
    double Level = 0;
    double DirRow = 0;
    double DirCol = 1;
};

// The model's front turns to (-sin psi, cos psi) in (row, column) terms.
double PsiFor(double dirRow, double dirCol) {
    return FileAngle(std::atan2(-dirRow, dirCol));
}

double GameX(double col) {
    return std::fmod(col + kGrid, kGrid) * kGameUnitsPerCell;
}
double GameZ(double row) {
    return std::fmod(row + kGrid, kGrid) * kGameUnitsPerCell;
}
double GameY(double level) {
    return level * 2;
} // objects are drawn at Y / 510, levels at / 255

TBoxRecord Box(const std::string& label, const std::string& model, const TPlace& p,
               const std::string& flags = "7,0") {
    TBoxRecord box;
    box.Label = label;
    box.Model = model;
    box.X = GameX(p.Col);
    box.Z = GameZ(p.Row);
    box.Y = GameY(p.Level);
    box.Psi = PsiFor(p.DirRow, p.DirCol);
    box.TypeFlags = flags;
    return box;
}

TTopCrushRecord Truck(const std::string& label, const TPlace& p) {
    const double len = std::hypot(p.DirRow, p.DirCol);
    const double ahead = ((kTrailerLength + kCabLength) / 2 + 0.004) * kCellsPerWorld;
    TTopCrushRecord truck;
    truck.Label = label;
    truck.BodyModel = "TRAILER.BIN";
    truck.CabModel = "TRUCKCAB.BIN";
    truck.X = GameX(p.Col);
    truck.Z = GameZ(p.Row);
    truck.Y = GameY(p.Level);
    truck.X2 = GameX(p.Col + p.DirCol / len * ahead);
    truck.Z2 = GameZ(p.Row + p.DirRow / len * ahead);
    truck.Y2 = truck.Y;
    truck.Psi = PsiFor(p.DirRow, p.DirCol);
    return truck;
}

// The start grid: the eye a little above the road, looking along dir and slightly down.
void SetStart(TTrackDescription& track, const TPlace& p) {
    track.GridPos = {GameX(p.Col), 512.0 * (p.Level / 255.0 + 0.1), GameZ(p.Row)};
    const double heading = std::atan2(p.DirRow, -p.DirCol); // camera heading, radians
    track.GridRot = {-FileAngle(12 * kPi / 180), 0, FileAngle(heading - kPi / 2)};
}

// Everything a track's objects need that is not a texture of its list: models, sky boxes and the
// textures they name.
void AddModelsAndTextures(TPodWriter& pod, const std::vector<std::string>& listedTextures) {
    std::set<std::string> textures(listedTextures.begin(), listedTextures.end());
    for (const TModelAsset& model : DemoModels()) {
        pod.Add("MODELS\\" + model.Name, model.Bytes);
        textures.insert(model.Textures.begin(), model.Textures.end());
    }
    for (const TModelAsset& sky : SkyBoxModels()) {
        pod.Add(sky.Name, sky.Bytes);
        textures.insert(sky.Textures.begin(), sky.Textures.end());
    }
    for (const std::string& name : textures) {
        const TTextureAsset asset = MakeDemoTexture(name);
        pod.Add("ART\\" + name, RawBytes(asset.Image));
        pod.Add("ART\\" + PaletteNameFor(name), ActBytes(asset.Palette));
    }
}

// Every file of a demo track is named after its stem: STEM.SIT names the level file STEM.LVL, which
// names the grid files STEM.ALT and STEM.TXI (with the ground-box files derived from them), the
// texture list STEM.TXL and the light map STEM.LIT.
TLevelDescription LevelFiles(const std::string& stem) {
    TLevelDescription level;
    level.AltitudeFile = stem + ".ALT";
    level.TexIndexFile = stem + ".TXI";
    level.TextureListFile = stem + ".TXL";
    level.LightMapFile = stem + ".LIT";
    return level;
}

// The track's description, level and grid files under stem; waterValue, when given, goes into the
// level file after !WATERHEIGHT.
void AddTrack(TPodWriter& pod, const std::string& stem, TTrackDescription track,
              std::optional<double> waterValue, const std::vector<std::string>& textures,
              const TGridBuilder& grid) {
    TLevelDescription level = LevelFiles(stem);
    if (waterValue) {
        level.HasWater = true;
        level.WaterValue = *waterValue;
    }
    track.LevelFile = stem + ".LVL";
    pod.Add(stem + ".SIT", SitText(track));
    pod.Add("LEVELS\\" + track.LevelFile, LvlText(level));
    grid.AddTo(pod, level);
    pod.Add("DATA\\" + level.TextureListFile, TextureListText(textures));
}

// ----- Dunmere Valley -----

namespace valley {

enum : int {
    Grass,
    Grass2,
    Rock,
    Sand,
    Asphalt,
    KerbTex,
    Mud,
    Concrete,
    SnowTex,
    GravelTex,
    DirtTex
};
const std::vector<std::string> kTextures = {"GRASS.RAW",   "GRASS2.RAW", "ROCK.RAW", "SAND.RAW",
                                            "ASPHALT.RAW", "KERB.RAW",   "MUD.RAW",  "CONCRETE.RAW",
                                            "SNOW.RAW",    "GRAVEL.RAW", "DIRT.RAW"};
constexpr double kWater = 30;      // level bytes
constexpr double kCentreRow = 100; // circuit centre
constexpr double kCentreCol = 112;
constexpr double kServiceCol = 150; // the road that crosses the river
constexpr double kRoadHalf = 2.6;   // cells
constexpr double kKerbOuter = 3.6;

struct TLoopPoint {
    double Row, Col, DirRow, DirCol, Curvature;
};

// The circuit: a perturbed ellipse round the centre, driven with rising t.
TLoopPoint Loop(double t) {
    auto at = [](double s) {
        const double r = kCentreRow + 44 * std::sin(s) * (1 + 0.12 * std::sin(3 * s));
        const double c = kCentreCol + 64 * std::cos(s) * (1 + 0.08 * std::cos(2 * s));
        return std::pair{r, c};
    };
    const double h = 1e-3;
    const auto [r, c] = at(t);
    const auto [r1, c1] = at(t + h);
    const auto [r0, c0] = at(t - h);
    const double dr = (r1 - r0) / (2 * h), dc = (c1 - c0) / (2 * h);
    const double ddr = (r1 - 2 * r + r0) / (h * h), ddc = (c1 - 2 * c + c0) / (h * h);
    const double speed = std::hypot(dr, dc);
    return {r, c, dr / speed, dc / speed, std::abs(dr * ddc - dc * ddr) / (speed * speed * speed)};
}

double RiverRow(double col) {
    return 205 + 14 * std::sin(2 * kPi * col / kGrid) +
           6 * std::sin(2 * kPi * 3 * col / kGrid + 1.3);
}

struct TRoadCell {
    double Distance = 1e9;
    int Sample = -1;
};

constexpr int kLoopSamples = 2048;
constexpr double kStartT = 1.5 * kPi + 0.15;

double SampleT(int i) {
    return 2 * kPi * i / kLoopSamples;
}

TPodWriter& Build(TPodWriter& pod) {
    TGridBuilder grid;
    const TTileNoise hills(101), peaks(102), plainNoise(103), patches(104);

    // Distance of every cell near the circuit to the centre line.
    std::vector<TRoadCell> road(kGrid * kGrid);
    std::vector<TLoopPoint> samples;
    for (int i = 0; i < kLoopSamples; ++i) {
        samples.push_back(Loop(SampleT(i)));
        const TLoopPoint& p = samples.back();
        for (int dr = -8; dr <= 8; ++dr) {
            for (int dc = -8; dc <= 8; ++dc) {
                const int r = WrapIndex(static_cast<int>(std::floor(p.Row)) + dr);
                const int c = WrapIndex(static_cast<int>(std::floor(p.Col)) + dc);
                const double d = std::hypot(WrapDelta(r + 0.5 - p.Row), WrapDelta(c + 0.5 - p.Col));
                TRoadCell& cell = road[r * kGrid + c];
                if (d < cell.Distance) {
                    cell = {d, i};
                }
            }
        }
    }

    // Terrain: hills everywhere, peaks where a broad mask allows, a gentle plain round the
    // circuit and the river valley.
    for (int r = 0; r < kGrid; ++r) {
        for (int c = 0; c < kGrid; ++c) {
            const double u = c / 256.0, v = r / 256.0;
            double h = 96 + 115 * hills.Fbm(u * 4, v * 4, 4, 5);
            const double mask = SmoothStep(-0.1, 0.5, peaks.Value(u * 2, v * 2, 2));
            h += 190 * mask * peaks.Ridged(u * 4 + 1, v * 4 + 2, 4, 4);
            const double plain = 60 + 7 * plainNoise.Fbm(u * 8, v * 8, 8, 3);
            const double dr = WrapDelta(r - kCentreRow) / (44 + 16);
            const double dc = WrapDelta(c - kCentreCol) / (64 + 16);
            const double plainWeight = 1 - SmoothStep(0.85, 1.3, std::hypot(dr, dc));
            h = Lerp(h, plain, plainWeight);
            const double river = std::abs(WrapDelta(r - RiverRow(c)));
            h = Lerp(h, 14, 1 - SmoothStep(3, 20, river));
            grid.H(r, c) = std::clamp(h, 4.0, 250.0);
        }
    }

    // The circuit follows the plain, flattened across and smoothed along its length.
    std::vector<double> profile(kLoopSamples);
    for (int i = 0; i < kLoopSamples; ++i) {
        profile[i] = grid.H(static_cast<int>(samples[i].Row), static_cast<int>(samples[i].Col));
    }
    for (int pass = 0; pass < 3; ++pass) {
        std::vector<double> smooth(kLoopSamples);
        for (int i = 0; i < kLoopSamples; ++i) {
            double sum = 0;
            for (int k = -40; k <= 40; ++k) {
                sum += profile[(i + k + kLoopSamples) % kLoopSamples];
            }
            smooth[i] = sum / 81;
        }
        profile = smooth;
    }
    for (int r = 0; r < kGrid; ++r) {
        for (int c = 0; c < kGrid; ++c) {
            const TRoadCell& cell = road[r * kGrid + c];
            if (cell.Sample >= 0 && cell.Distance < 7) {
                grid.H(r, c) = Lerp(profile[cell.Sample], grid.H(r, c),
                                    SmoothStep(kKerbOuter, 7, cell.Distance));
            }
        }
    }

    // The service road runs south from the circuit over the river on a bridge of ground boxes.
    const int serviceStart = 138; // where the circuit passes the service road's column
    const int serviceEnd = 244;
    std::vector<double> deck(kGrid, 0);
    for (int r = serviceStart; r <= serviceEnd; ++r) {
        deck[r] = std::max(grid.H(r, static_cast<int>(kServiceCol)), kWater + 14);
    }
    for (int pass = 0; pass < 3; ++pass) {
        std::vector<double> smooth = deck;
        for (int r = serviceStart + 1; r < serviceEnd; ++r) {
            double sum = 0;
            int n = 0;
            for (int k = -7; k <= 7; ++k) {
                const int rr = std::clamp(r + k, serviceStart, serviceEnd);
                sum += deck[rr];
                ++n;
            }
            smooth[r] = sum / n;
        }
        deck = smooth;
    }
    // Ground boxes have flat lids, so a deck that climbs from row to row over them is a staircase
    // of separate slabs: the deck stays level wherever it stands on boxes, and the approaches on
    // the ground, whose heights blend between cells, ramp up to it.
    const auto onBoxes = [&](int r) {
        for (int dc = -2; dc <= 2; ++dc) {
            if (grid.H(r, static_cast<int>(kServiceCol) + dc) < std::round(deck[r]) - 3) {
                return true;
            }
        }
        return false;
    };
    for (bool changed = true; changed;) {
        changed = false;
        for (int a = serviceStart; a <= serviceEnd; ++a) {
            if (!onBoxes(a)) {
                continue;
            }
            int b = a;
            while (b < serviceEnd && onBoxes(b + 1)) {
                ++b;
            }
            const double level =
                std::round(*std::max_element(deck.begin() + a, deck.begin() + b + 1));
            const int ramp = 10;
            for (int r = std::max(serviceStart, a - ramp); r <= std::min(serviceEnd, b + ramp);
                 ++r) {
                const int away = std::max({0, a - r, r - b});
                const double wanted = Lerp(level, deck[r], static_cast<double>(away) / (ramp + 1));
                if (wanted > deck[r] + 1e-9) {
                    deck[r] = wanted;
                    changed = true;
                }
            }
            a = b;
        }
    }
    std::vector<bool> serviceRoad(kGrid * kGrid, false);
    for (int r = serviceStart; r <= serviceEnd; ++r) {
        for (int dc = -2; dc <= 2; ++dc) {
            const int c = static_cast<int>(kServiceCol) + dc;
            const double target = std::round(deck[r]);
            serviceRoad[r * kGrid + c] = true;
            if (grid.H(r, c) < target - 3) {
                const bool pier = (std::abs(dc) == 2) && (r % 6 == 0);
                grid.Box(r, c, pier ? 0 : static_cast<int>(target) - 3, static_cast<int>(target),
                         Scattered(Concrete, CellHash(r, c, 1)), {Asphalt, false, false, 0},
                         {Concrete, false, false, 0});
            } else {
                grid.H(r, c) = target;
            }
        }
        for (int dc : {-4, -3, 3, 4}) {
            const int c = static_cast<int>(kServiceCol) + dc;
            if (!grid.HasBox(r, c) && grid.H(r, c) > kWater + 3) {
                grid.H(r, c) =
                    Lerp(grid.H(r, c), std::round(deck[r]), std::abs(dc) == 3 ? 0.7 : 0.35);
            }
        }
    }
    // A parking lot at the far end of the service road.
    const double lotLevel = std::round(deck[serviceEnd]);
    for (int r = serviceEnd - 2; r <= serviceEnd + 8; ++r) {
        for (int c = static_cast<int>(kServiceCol) - 9; c <= static_cast<int>(kServiceCol) + 9;
             ++c) {
            grid.H(r, c) = lotLevel;
            serviceRoad[WrapIndex(r) * kGrid + WrapIndex(c)] = true;
        }
    }

    // The paddock inside the circuit by the start: concrete with raised blocks in steps.
    const int paddockRow = static_cast<int>(kCentreRow - 44 + 10);
    const int paddockCol = static_cast<int>(kCentreCol - 12);
    const double paddockLevel = std::round(grid.H(paddockRow + 6, paddockCol + 12));
    std::vector<bool> paddock(kGrid * kGrid, false);
    for (int r = paddockRow; r < paddockRow + 14; ++r) {
        for (int c = paddockCol; c < paddockCol + 26; ++c) {
            grid.H(r, c) = paddockLevel;
            paddock[r * kGrid + c] = true;
        }
    }
    for (int step = 0; step < 4; ++step) {
        for (int r = paddockRow + 2; r < paddockRow + 5; ++r) {
            for (int c = paddockCol + 2 + 3 * step; c < paddockCol + 5 + 3 * step; ++c) {
                grid.Box(r, c, 0, static_cast<int>(paddockLevel) + 3 + 3 * step,
                         {Concrete, false, false, 0}, {Concrete, false, false, step & 3},
                         {Concrete, false, false, 0});
            }
        }
    }

    // Textures by what each cell is.
    for (int r = 0; r < kGrid; ++r) {
        for (int c = 0; c < kGrid; ++c) {
            const double a = grid.H(r, c), b = grid.H(r + 1, c), cc = grid.H(r + 1, c + 1),
                         d = grid.H(r, c + 1);
            const double mean = (a + b + cc + d) / 4;
            const double slope = std::max({a, b, cc, d}) - std::min({a, b, cc, d});
            const uint32_t hash = CellHash(r, c, 7);
            const TRoadCell& cell = road[r * kGrid + c];
            const double patch = patches.Fbm(c / 256.0 * 16, r / 256.0 * 16, 16, 3);
            TTexChoice t;
            if (cell.Distance <= kRoadHalf || serviceRoad[r * kGrid + c]) {
                t = Scattered(Asphalt, hash);
            } else if (cell.Distance <= kKerbOuter) {
                const TLoopPoint& p = samples[cell.Sample];
                t = {KerbTex, false, false, std::abs(p.DirCol) >= std::abs(p.DirRow) ? 0 : 1};
            } else if (cell.Distance <= 6 && samples[cell.Sample].Curvature > 0.03) {
                t = Scattered(GravelTex, hash);
            } else if (paddock[r * kGrid + c]) {
                t = Scattered(Concrete, hash);
            } else if (mean < kWater - 6) {
                t = Scattered(Mud, hash);
            } else if (mean < kWater + 3) {
                t = Scattered(Sand, hash);
            } else if (mean > 205) {
                t = Scattered(slope > 14 ? Rock : SnowTex, hash);
            } else if (slope > 7 || (mean > 170 && slope > 4)) {
                t = Scattered(Rock, hash);
            } else if (patch < -0.5) {
                t = Scattered(mean < 80 ? Mud : DirtTex, hash);
            } else {
                t = Scattered(patch > 0.1 ? Grass2 : Grass, hash);
            }
            grid.Tex(r, c, t);
        }
    }
    grid.ComputeLight(0.34);

    // Objects.
    TTrackDescription track;
    track.TrackName = "Dunmere Valley";
    track.BackdropType = 1;
    track.Backdrops = {"MOUNTAIN.BIN", "FOOTHILL.BIN"};
    auto along = [&](double t, double offset) {
        const TLoopPoint p = Loop(t);
        // Offsets are measured to the left of the driving direction.
        const double row = p.Row - p.DirCol * offset;
        const double col = p.Col + p.DirRow * offset;
        return TPlace{row, col, grid.SurfaceAt(row, col), p.DirRow, p.DirCol};
    };

    const TPlace start = along(kStartT, 0);
    SetStart(track, start);

    for (int k = 0; k < 6; ++k) {
        const TPlace p = along(kStartT + 0.08 + 2 * kPi * k / 6, 0);
        track.Boxes.push_back(Box(Format("Checkpoint %d", k + 1), "CHKGATE.BIN", p, "6,0"));
    }
    // Marker poles on both sides, tyre walls and gravel traps where the circuit bends hardest.
    int poleNumber = 0;
    for (int i = 0; i < 48; ++i) {
        const double t = 2 * kPi * (i + 0.5) / 48;
        for (double side : {-4.4, 4.4}) {
            track.Boxes.push_back(Box(Format("Pole %d", ++poleNumber), "POLE.BIN", along(t, side)));
        }
    }
    int tyreNumber = 0;
    for (int i = 0; i < kLoopSamples; i += 16) {
        const TLoopPoint p = samples[i];
        if (p.Curvature > 0.035) {
            const double cross = (p.Row - kCentreRow) * -p.DirCol + (p.Col - kCentreCol) * p.DirRow;
            const double outside = cross > 0 ? 6.5 : -6.5;
            track.Boxes.push_back(
                Box(Format("Tyres %d", ++tyreNumber), "TYRES.BIN", along(SampleT(i), outside)));
        }
    }
    for (double t : {kPi / 2 - 0.12, kPi / 2 + 0.1}) {
        track.Boxes.push_back(Box("Ramp", "RAMP.BIN", along(t, 0.6)));
    }
    for (int i = 0; i < 8; ++i) {
        const double t = kPi + 0.25 + 0.03 * i;
        track.Boxes.push_back(
            Box(Format("Cone %d", i + 1), "CONE.BIN", along(t, i % 2 ? 1.8 : -1.8)));
    }
    // The paddock: crates stacked on the highest block, barrels along the edge, flags and signs.
    const double topBlock = paddockLevel + 12;
    const double crateCells = kCrateSide * kCellsPerWorld;
    int crateNumber = 0;
    for (int layer = 0; layer < 3; ++layer) {
        for (int i = 0; i < 3 - layer; ++i) {
            const double row = paddockRow + 3.5;
            const double col = paddockCol + 11 + (i + layer * 0.5) * crateCells * 1.05;
            track.Boxes.push_back(Box(Format("Crate %d", ++crateNumber), "CRATE.BIN",
                                      {row, col, topBlock + layer * kCrateSide * 255, 0, 1}));
        }
    }
    for (int i = 0; i < 6; ++i) {
        const double row = paddockRow + 12.5;
        const double col = paddockCol + 3 + 3.5 * i;
        track.Boxes.push_back(
            Box(Format("Barrel %d", i + 1), "BARREL.BIN", {row, col, paddockLevel, 0, 1}));
    }
    for (int i = 0; i < 3; ++i) {
        const TPlace p = along(kStartT - 0.05 + 0.05 * i, 5.5);
        track.Boxes.push_back(Box(Format("Flag %d", i + 1), "FLAGANIM.BIN", p));
    }
    for (double t : {kStartT - 0.12, kStartT + 0.3}) {
        track.Boxes.push_back(Box("Sign", "SIGN.BIN", along(t, -6.5), "8,0"));
    }
    // Pine trees on the hillsides, away from roads, water and rock faces.
    TRandom random(105);
    int pineNumber = 0;
    for (int attempt = 0; attempt < 4000 && pineNumber < 90; ++attempt) {
        const double row = random.Range(0, kGrid);
        const double col = random.Range(0, kGrid);
        const int r = static_cast<int>(row), c = static_cast<int>(col);
        const double level = grid.HeightAt(row, col);
        const double slope =
            std::abs(grid.H(r + 1, c) - grid.H(r, c)) + std::abs(grid.H(r, c + 1) - grid.H(r, c));
        if (level < kWater + 8 || level > 185 || slope > 8 || road[r * kGrid + c].Distance < 9 ||
            std::abs(c - kServiceCol) < 7 || grid.HasBox(r, c)) {
            continue;
        }
        track.Boxes.push_back(Box(Format("Pine %d", ++pineNumber), "PINE.BIN",
                                  {row, col, level, random.Range(-1, 1), random.Range(-1, 1)}));
    }
    // Trucks in the paddock and at the parking lot.
    for (int i = 0; i < 2; ++i) {
        const double row = paddockRow + 8.5 + 3 * i;
        track.TopCrush.push_back(
            Truck(Format("Paddock truck %d", i + 1), {row, paddockCol + 16.0, paddockLevel, 0, 1}));
    }
    for (int i = 0; i < 2; ++i) {
        const double col = kServiceCol - 5 + 10 * i;
        track.TopCrush.push_back(Truck(Format("Lot truck %d", i + 1),
                                       {serviceEnd + 4.0, col, lotLevel, 1, 0.2 - 0.4 * i}));
    }

    AddTrack(pod, "VALLEY", track, kWater / 255 * 1024, kTextures, grid);
    return pod;
}

} // namespace valley

// ----- Dunmere Arena -----

namespace arena {

enum : int { DirtTex, MudTex, GrassTex, ConcreteTex, KerbTex, AsphaltTex, SandTex, SteelTex };
const std::vector<std::string> kTextures = {"DIRT.RAW", "MUD.RAW",     "GRASS.RAW", "CONCRETE.RAW",
                                            "KERB.RAW", "ASPHALT.RAW", "SAND.RAW",  "STEEL.RAW"};
constexpr int kCentre = 128;
constexpr int kHalf = 32; // the stadium's rectangle: 64 cells on each side
constexpr double kFloor = 24;
constexpr double kStraight = 10; // half the length of each straight, cells
constexpr double kRadius = 15;   // of the centre line round the two bends
constexpr double kTrackHalf = 3.5;

// Distance to the segment between the two bend centres, and the nearest point on it.
double SegmentDistance(double row, double col, double* nearestCol = nullptr) {
    const double c = std::clamp(col, kCentre - kStraight, kCentre + kStraight);
    if (nearestCol != nullptr) {
        *nearestCol = c;
    }
    return std::hypot(row - kCentre, col - c);
}

// A point of the centre line driven clockwise seen from above, with its direction.
TPlace OvalPoint(double t, double offset, const TGridBuilder& grid) {
    // t in [0, 4): 0..1 top straight, 1..2 right bend, 2..3 bottom straight, 3..4 left bend.
    double row, col, dr, dc;
    if (t < 1) {
        row = kCentre - kRadius, col = kCentre - kStraight + 2 * kStraight * t, dr = 0, dc = 1;
    } else if (t < 2) {
        const double a = -kPi / 2 + kPi * (t - 1);
        row = kCentre + kRadius * std::sin(a), col = kCentre + kStraight + kRadius * std::cos(a);
        dr = std::cos(a), dc = -std::sin(a);
    } else if (t < 3) {
        row = kCentre + kRadius, col = kCentre + kStraight - 2 * kStraight * (t - 2), dr = 0,
        dc = -1;
    } else {
        const double a = kPi / 2 + kPi * (t - 3);
        row = kCentre + kRadius * std::sin(a), col = kCentre - kStraight + kRadius * std::cos(a);
        dr = std::cos(a), dc = -std::sin(a);
    }
    row -= dc * offset;
    col += dr * offset;
    return {row, col, grid.SurfaceAt(row, col), dr, dc};
}

TPodWriter& Build(TPodWriter& pod) {
    TGridBuilder grid;
    const TTileNoise bumps(201);
    for (int r = 0; r < kGrid; ++r) {
        for (int c = 0; c < kGrid; ++c) {
            double h = kFloor + 1.5 * bumps.Fbm(c / 256.0 * 16, r / 256.0 * 16, 16, 2);
            // A jump across the bottom straight and a low mound in the infield.
            const double jumpAlong = std::abs(c - kCentre + 0.5);
            const double jumpAcross = std::abs(r - (kCentre + kRadius));
            if (jumpAlong < 4 && jumpAcross < kTrackHalf + 1) {
                h += 10 * std::pow(std::cos(kPi / 2 * jumpAlong / 4), 2);
            }
            const double mound = std::hypot(r - kCentre, (c - kCentre) / 2.5);
            h += 8 * (1 - SmoothStep(0, 6, mound));
            grid.H(r, c) = h;
        }
    }

    const int low = kCentre - kHalf;
    const int high = kCentre + kHalf;
    for (int r = low; r <= high; ++r) {
        for (int c = low; c <= high; ++c) {
            const double centreDistance = SegmentDistance(r + 0.5, c + 0.5);
            const double offset = centreDistance - kRadius;
            const uint32_t hash = CellHash(r, c, 9);
            TTexChoice t;
            if (std::abs(offset) <= kTrackHalf) {
                const bool bend = std::abs(c + 0.5 - kCentre) > kStraight;
                t = Scattered(bend ? MudTex : DirtTex, hash);
            } else if (offset < 0) {
                t = Scattered(offset > -kTrackHalf - 1 ? SandTex : GrassTex, hash);
            } else if (r < kCentre - kRadius - 7 && r >= low + 6) {
                t = Scattered(AsphaltTex, hash); // the pit lane
            } else {
                t = Scattered(ConcreteTex, hash);
            }
            grid.Tex(r, c, t);
            // The outer wall: a ring of blocks just outside the racing surface.
            if (offset > kTrackHalf + 0.6 && offset <= kTrackHalf + 1.6) {
                grid.Box(r, c, 0, static_cast<int>(kFloor) + 7, {ConcreteTex, false, false, 1},
                         {KerbTex, false, false, std::abs(c + 0.5 - kCentre) > kStraight ? 1 : 0},
                         {ConcreteTex, false, false, 0});
            }
        }
    }
    // Pit garages along the top edge, with gaps between them.
    for (int g = 0; g < 6; ++g) {
        for (int r = low + 1; r < low + 4; ++r) {
            for (int c = kCentre - 27 + 9 * g; c < kCentre - 21 + 9 * g; ++c) {
                grid.Box(r, c, 0, static_cast<int>(kFloor) + 16, {ConcreteTex, false, false, 0},
                         {SteelTex, false, false, 0}, {ConcreteTex, false, false, 0});
            }
        }
    }
    grid.ComputeLight(0.5);

    TTrackDescription track;
    track.TrackName = "Dunmere Arena";
    track.BackdropType = 2;
    track.Backdrops = {"SKYLINE.BIN"};
    track.StadiumFlag = 1;
    track.StadiumX = kCentre;
    track.StadiumZ = kCentre;
    track.StadiumSX = 2 * kHalf;
    track.StadiumSZ = 2 * kHalf;
    track.StadiumModel = "STADIUM.BIN";
    SetStart(track, OvalPoint(0.2, 1.2, grid));

    for (int k = 0; k < 4; ++k) {
        track.Boxes.push_back(
            Box(Format("Checkpoint %d", k + 1), "CHKGATE.BIN", OvalPoint(0.5 + k, 0, grid), "6,0"));
    }
    int tyres = 0;
    for (int i = 0; i < 28; ++i) {
        track.Boxes.push_back(Box(Format("Tyres %d", ++tyres), "TYRES.BIN",
                                  OvalPoint(4.0 * i / 28, -(kTrackHalf + 0.8), grid)));
    }
    for (int i = 0; i < 8; ++i) {
        track.Boxes.push_back(Box(Format("Cone %d", i + 1), "CONE.BIN",
                                  OvalPoint(2.2 + 0.05 * i, i % 2 ? 2.5 : -2.5, grid)));
    }
    for (double t : {0.55, 0.7}) {
        track.Boxes.push_back(Box("Ramp", "RAMP.BIN", OvalPoint(t, -1.0, grid)));
    }
    const double pitRow = low + 5.5;
    for (int i = 0; i < 6; ++i) {
        track.Boxes.push_back(Box(Format("Crate %d", i + 1), "CRATE.BIN",
                                  {pitRow, kCentre - 24.0 + 9 * i, kFloor, 0, 1}));
        track.Boxes.push_back(Box(Format("Barrel %d", i + 1), "BARREL.BIN",
                                  {pitRow + 1.2, kCentre - 22.0 + 9 * i, kFloor, 0, 1}));
    }
    for (int i = 0; i < 2; ++i) {
        track.Boxes.push_back(Box(Format("Flag %d", i + 1), "FLAGANIM.BIN",
                                  {kCentre + 0.0, kCentre - 6.0 + 12 * i,
                                   grid.HeightAt(kCentre, kCentre - 6.0 + 12 * i), 0, 1}));
    }
    track.Boxes.push_back(
        Box("Sign", "SIGN.BIN", {kCentre - 4.0, kCentre + 0.0, kFloor + 4, 0, 1}, "8,0"));
    for (int i = 0; i < 2; ++i) {
        track.TopCrush.push_back(Truck(Format("Pit truck %d", i + 1),
                                       {pitRow + 3.0, kCentre + 8.0 + 9 * i, kFloor, 0, -1}));
    }

    AddTrack(pod, "ARENA", track, std::nullopt, kTextures, grid);
    return pod;
}

} // namespace arena

} // namespace

TPodWriter BuildDemoArchive() {
    TPodWriter pod;
    pod.SetDescription("Dunmere GL demo tracks");
    valley::Build(pod);
    arena::Build(pod);
    std::vector<std::string> listed = valley::kTextures;
    listed.insert(listed.end(), arena::kTextures.begin(), arena::kTextures.end());
    AddModelsAndTextures(pod, listed);
    return pod;
}

TPodWriter BuildStressArchive() {
    constexpr int kTextureCount = 512;
    TPodWriter pod;
    pod.SetDescription("Dunmere GL stress track");
    TGridBuilder grid;
    const TTileNoise noise(301);
    for (int r = 0; r < kGrid; ++r) {
        for (int c = 0; c < kGrid; ++c) {
            grid.H(r, c) = 60 + 40 * noise.Fbm(c / 256.0 * 8, r / 256.0 * 8, 8, 4);
        }
    }
    for (int r = 0; r < kGrid; ++r) {
        for (int c = 0; c < kGrid; ++c) {
            const uint32_t hash = CellHash(r, c, 11);
            grid.Tex(r, c, Scattered((r * 7 + c * 13) % kTextureCount, hash));
            const int base = static_cast<int>(std::ceil(std::max(
                {grid.H(r, c), grid.H(r + 1, c), grid.H(r, c + 1), grid.H(r + 1, c + 1)})));
            const int height = 3 + static_cast<int>(hash % 10);
            grid.Box(r, c, base + 1, base + 1 + height,
                     Scattered((hash >> 4) % kTextureCount, hash),
                     Scattered((hash >> 13) % kTextureCount, hash >> 3),
                     Scattered((hash >> 22) % kTextureCount, hash >> 5));
        }
    }
    grid.ComputeLight(0.4);

    TTrackDescription track;
    track.TrackName = "Dunmere Stress";
    track.BackdropType = 1;
    track.Backdrops = {"MOUNTAIN.BIN", "FOOTHILL.BIN", "SKYLINE.BIN"};
    const std::vector<std::string> models = {"CRATE.BIN", "RAMP.BIN",    "POLE.BIN",  "BARREL.BIN",
                                             "CONE.BIN",  "PINE.BIN",    "TYRES.BIN", "CHKGATE.BIN",
                                             "SIGN.BIN",  "FLAGANIM.BIN"};
    TRandom random(302);
    for (int i = 0; i < 900; ++i) {
        const double row = random.Range(0, 255);
        const double col = random.Range(0, 255);
        const std::string& model = models[random.Int(0, static_cast<int>(models.size()) - 1)];
        const std::string flags = model == "CHKGATE.BIN" ? "6,0"
                                  : model == "SIGN.BIN"  ? "8,0"
                                                         : "7,0";
        track.Boxes.push_back(Box(
            Format("Stress %d", i + 1), model,
            {row, col, grid.SurfaceAt(row, col), random.Range(-1, 1), random.Range(-1, 1)}, flags));
    }
    for (int i = 0; i < 50; ++i) {
        const double row = random.Range(0, 250);
        const double col = random.Range(0, 250);
        track.TopCrush.push_back(
            Truck(Format("Stress truck %d", i + 1), {row, col, grid.SurfaceAt(row, col), 0, 1}));
    }
    SetStart(track, {128, 128, grid.SurfaceAt(128, 128), 0, 1});

    std::vector<std::string> textures;
    for (int n = 0; n < kTextureCount; ++n) {
        textures.push_back(StressTextureName(n));
    }
    AddTrack(pod, "STRESS", track, 256, textures, grid);
    for (int n = 0; n < kTextureCount; ++n) {
        const TTextureAsset asset = StressTexture(n);
        pod.Add("ART\\" + asset.Name, RawBytes(asset.Image));
        pod.Add("ART\\" + PaletteNameFor(asset.Name), ActBytes(asset.Palette));
    }
    AddModelsAndTextures(pod, {});
    return pod;
}

TPodWriter BuildDenseArchive(int objects, int mostFaces) {
    TPodWriter pod;
    pod.SetDescription("Dunmere GL dense track");
    TGridBuilder grid;
    const TTileNoise noise(401);
    for (int r = 0; r < kGrid; ++r) {
        for (int c = 0; c < kGrid; ++c) {
            grid.H(r, c) = 50 + 30 * noise.Fbm(c / 256.0 * 6, r / 256.0 * 6, 6, 4);
            grid.Tex(r, c, Scattered(static_cast<int>(CellHash(r, c, 41) % 4), CellHash(r, c, 42)));
        }
    }
    grid.ComputeLight(0.4);

    TTrackDescription track;
    track.TrackName = "Dunmere Dense";
    track.BackdropType = 1;
    track.Backdrops = {"MOUNTAIN.BIN", "FOOTHILL.BIN", "SKYLINE.BIN"};
    std::vector<std::string> models;
    for (const int faces : kDenseModelFaces) {
        if (faces <= mostFaces) {
            models.push_back(DenseModelName(faces));
        }
    }
    if (models.empty()) {
        throw std::invalid_argument("no dense model has at most " + std::to_string(mostFaces) +
                                    " faces");
    }
    constexpr double kStart = 128;
    TRandom random(402);
    for (int i = 0; i < objects; ++i) {
        // A third stands around the start, where the views begin; the rest anywhere, so that the
        // copies beyond the grid edges carry objects too.
        const bool near = i % 3 == 0;
        const double row = near ? kStart + random.Range(-20, 20) : random.Range(0, 255);
        const double col = near ? kStart + random.Range(-20, 20) : random.Range(0, 255);
        const bool gate = i % 25 == 0;
        const std::string model =
            gate ? "CHKGATE.BIN" : models[static_cast<size_t>(i) % models.size()];
        track.Boxes.push_back(
            Box(Format("Dense %d", i + 1), model,
                {row, col, grid.SurfaceAt(row, col), random.Range(-1, 1), random.Range(-1, 1)},
                gate ? "6,0" : "7,0"));
    }
    SetStart(track, {kStart, kStart, grid.SurfaceAt(kStart, kStart), 0, 1});

    const std::vector<std::string> textures = {"GRASS.RAW", "GRASS2.RAW", "DIRT.RAW", "ROCK.RAW"};
    AddTrack(pod, "DENSE", track, 100, textures, grid);
    std::vector<std::string> listed = textures;
    for (const TModelAsset& model : DenseModels()) {
        pod.Add("MODELS\\" + model.Name, model.Bytes);
        listed.insert(listed.end(), model.Textures.begin(), model.Textures.end());
    }
    AddModelsAndTextures(pod, listed);
    return pod;
}
