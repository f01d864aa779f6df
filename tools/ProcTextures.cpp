#include "tools/ProcTextures.h"

#include "core/base/TextUtils.h"
#include "tools/Procedural.h"

#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <stdexcept>

namespace {

constexpr double kPi = std::numbers::pi;

// A 5 x 7 pixel font for the few words painted on boards, banners and test textures.
const std::map<char, std::array<const char*, 7>>& Font() {
    static const std::map<char, std::array<const char*, 7>> font = {
        {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
        {'B', {"#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "}},
        {'C', {" ####", "#    ", "#    ", "#    ", "#    ", "#    ", " ####"}},
        {'D', {"#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "}},
        {'E', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
        {'F', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "}},
        {'G', {" ####", "#    ", "#    ", "#  ##", "#   #", "#   #", " ####"}},
        {'H', {"#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
        {'I', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "#####"}},
        {'J', {"  ###", "   # ", "   # ", "   # ", "   # ", "#  # ", " ##  "}},
        {'K', {"#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"}},
        {'L', {"#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"}},
        {'M', {"#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"}},
        {'N', {"#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"}},
        {'O', {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
        {'P', {"#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "}},
        {'Q', {" ### ", "#   #", "#   #", "#   #", "# # #", "#  # ", " ## #"}},
        {'R', {"#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"}},
        {'S', {" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "}},
        {'T', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "}},
        {'U', {"#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
        {'V', {"#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  "}},
        {'W', {"#   #", "#   #", "#   #", "# # #", "# # #", "## ##", "#   #"}},
        {'X', {"#   #", "#   #", " # # ", "  #  ", " # # ", "#   #", "#   #"}},
        {'Y', {"#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "}},
        {'Z', {"#####", "    #", "   # ", "  #  ", " #   ", "#    ", "#####"}},
        {'0', {" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "}},
        {'1', {"  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
        {'2', {" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"}},
        {'3', {"#### ", "    #", "    #", " ### ", "    #", "    #", "#### "}},
        {'4', {"   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "}},
        {'5', {"#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "}},
        {'6', {" ### ", "#    ", "#    ", "#### ", "#   #", "#   #", " ### "}},
        {'7', {"#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "}},
        {'8', {" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "}},
        {'9', {" ### ", "#   #", "#   #", " ####", "    #", "    #", " ### "}},
        {'?', {" ### ", "#   #", "    #", "   # ", "  #  ", "     ", "  #  "}},
        {'-', {"     ", "     ", "     ", "#####", "     ", "     ", "     "}},
    };
    return font;
}

// Width in pixels of text at a scale: 6 columns per character less the last gap.
int TextWidth(const std::string& text, int scale) {
    return text.empty() ? 0 : (6 * static_cast<int>(text.size()) - 1) * scale;
}

void ForEachTextPixel(const std::string& text, int left, int top, int scale,
                      const std::function<void(int, int)>& plot) {
    for (size_t i = 0; i < text.size(); ++i) {
        const auto glyph = Font().find(text[i]);
        if (glyph == Font().end()) {
            continue;
        }
        for (int row = 0; row < 7; ++row) {
            for (int col = 0; col < 5; ++col) {
                if (glyph->second[row][col] != '#') {
                    continue;
                }
                for (int dy = 0; dy < scale; ++dy) {
                    for (int dx = 0; dx < scale; ++dx) {
                        plot(left + (static_cast<int>(i) * 6 + col) * scale + dx,
                             top + row * scale + dy);
                    }
                }
            }
        }
    }
}

void DrawText(TRgbImage& image, const std::string& text, int centreX, int centreY, int scale,
              TRgb color) {
    const int left = centreX - TextWidth(text, scale) / 2;
    const int top = centreY - 7 * scale / 2;
    ForEachTextPixel(text, left, top, scale, [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < image.Width && y < image.Height) {
            image.At(x, y) = color;
        }
    });
}

double Frac(double x) {
    return x - std::floor(x);
}

// Fills a side x side image from a function of the pixel centre's (u, v) in [0, 1).
TRgbImage Paint(int side, const std::function<TRgb(double, double, int, int)>& shade) {
    TRgbImage image(side, side);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            image.At(x, y) = shade((x + 0.5) / side, (y + 0.5) / side, x, y);
        }
    }
    return image;
}

uint32_t PixelHash(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

double PixelRandom(int x, int y, uint32_t seed) {
    return PixelHash(x, y, seed) / 4294967296.0;
}

TRgbImage Grass(int side, bool lush) {
    const TTileNoise noise(lush ? 11 : 10);
    return Paint(side, [&](double u, double v, int x, int y) {
        const double broad = noise.Fbm(u * 4, v * 4, 4, 5);
        const double fine = noise.Value(u * 32, v * 32, 32);
        TRgb c =
            lush ? Ramp({{-1, {30, 70, 24}}, {0, {52, 104, 36}}, {1, {86, 140, 52}}}, broad * 1.6)
                 : Ramp({{-1, {58, 92, 30}}, {0, {86, 126, 44}}, {1, {132, 152, 62}}}, broad * 1.6);
        c = Scale(c, 0.9 + 0.14 * fine + 0.1 * (PixelRandom(x, y, 3) - 0.5));
        const double fleck = PixelRandom(x, y, lush ? 21 : 20);
        if (lush && fleck < 0.006) {
            return fleck < 0.003 ? TRgb{235, 232, 220} : TRgb{225, 200, 60};
        }
        if (!lush && fleck < 0.012) {
            return TRgb{165, 158, 84};
        }
        return c;
    });
}

TRgbImage Rock(int side) {
    const TTileNoise noise(12);
    return Paint(side, [&](double u, double v, int x, int y) {
        const double ridge = noise.Ridged(u * 4, v * 4, 4, 5);
        const double tone = noise.Fbm(u * 2, v * 2, 2, 3);
        TRgb c = Ramp({{0, {70, 66, 60}}, {0.5, {120, 114, 104}}, {1, {170, 164, 150}}},
                      ridge * 0.8 + 0.2 * (tone + 1) / 2);
        const double crack = std::abs(noise.Fbm(u * 6 + 3, v * 6 + 5, 6, 3));
        if (crack < 0.035) {
            c = Scale(c, 0.55);
        }
        return Scale(c, 0.93 + 0.14 * PixelRandom(x, y, 5));
    });
}

TRgbImage Sand(int side) {
    const TTileNoise noise(13);
    return Paint(side, [&](double u, double v, int x, int y) {
        const double broad = noise.Fbm(u * 4, v * 4, 4, 4);
        const double ripple = std::sin(2 * kPi * (v * 6 + 0.35 * noise.Fbm(u * 3, v * 3, 3, 2)));
        TRgb c = Ramp({{-1, {176, 152, 104}}, {1, {222, 204, 150}}}, broad + 0.25 * ripple);
        return Scale(c, 0.94 + 0.12 * PixelRandom(x, y, 7));
    });
}

TRgbImage Asphalt(int side) {
    const TTileNoise noise(14);
    return Paint(side, [&](double u, double v, int x, int y) {
        const double stain = noise.Fbm(u * 3, v * 3, 3, 4);
        const double grain = PixelRandom(x, y, 9);
        TRgb c = Mix({66, 66, 72}, {50, 50, 54}, SmoothStep(0.2, 0.6, stain));
        c = Scale(c, 0.88 + 0.24 * grain);
        if (PixelRandom(x, y, 10) < 0.02) {
            c = {118, 116, 112};
        }
        return c;
    });
}

TRgbImage Kerb(int side) {
    const TTileNoise noise(15);
    return Paint(side, [&](double u, double v, int x, int y) {
        TRgb c = u < 0.5 ? TRgb{196, 34, 30} : TRgb{232, 230, 224};
        const double dirt = noise.Fbm(u * 4, v * 4, 4, 3);
        c = Scale(c, 0.88 + 0.1 * dirt + 0.06 * PixelRandom(x, y, 11));
        const double edge = std::min(std::abs(u - 0.5), std::min(u, 1 - u));
        return edge < 0.02 ? Scale(c, 0.7) : c;
    });
}

TRgbImage Mud(int side) {
    const TTileNoise noise(16);
    return Paint(side, [&](double u, double v, int x, int y) {
        const double broad = noise.Fbm(u * 4, v * 4, 4, 5);
        TRgb c = Ramp({{-1, {70, 50, 32}}, {1, {124, 94, 62}}}, broad * 1.3);
        const double track = std::abs(std::sin(2 * kPi * (u * 3 + 0.1 * broad)));
        if (track > 0.96) {
            c = Scale(c, 0.8);
        }
        if (broad < -0.3) {
            c = Mix(c, {58, 46, 34}, 0.8);
            if (PixelRandom(x, y, 13) < 0.05) {
                c = {120, 110, 100};
            }
        }
        return Scale(c, 0.93 + 0.12 * PixelRandom(x, y, 12));
    });
}

TRgbImage Dirt(int side) {
    const TTileNoise noise(17);
    return Paint(side, [&](double u, double v, int x, int y) {
        const double broad = noise.Fbm(u * 4, v * 4, 4, 5);
        TRgb c = Ramp({{-1, {140, 94, 58}}, {1, {184, 134, 86}}}, broad * 1.4);
        const double stone = noise.Cells(u * 16, v * 16, 16);
        if (stone < 0.12) {
            c = Mix(c, {170, 160, 146}, 0.7);
        }
        return Scale(c, 0.92 + 0.14 * PixelRandom(x, y, 14));
    });
}

TRgbImage Concrete(int side) {
    const TTileNoise noise(18);
    return Paint(side, [&](double u, double v, int x, int y) {
        const double stain = noise.Fbm(u * 4, v * 4, 4, 4);
        TRgb c = Ramp({{-1, {150, 150, 146}}, {1, {196, 196, 190}}}, stain * 1.2);
        const double ju = std::min(Frac(u * 2), 1 - Frac(u * 2));
        const double jv = std::min(Frac(v * 2), 1 - Frac(v * 2));
        if (std::min(ju, jv) < 0.012) {
            c = Scale(c, 0.62);
        }
        return Scale(c, 0.94 + 0.1 * PixelRandom(x, y, 15));
    });
}

TRgbImage Snow(int side) {
    const TTileNoise noise(19);
    return Paint(side, [&](double u, double v, int x, int y) {
        const double drift = noise.Fbm(u * 4, v * 4, 4, 4);
        TRgb c = Ramp({{-1, {196, 208, 226}}, {1, {246, 248, 252}}}, drift * 1.5);
        if (PixelRandom(x, y, 17) < 0.01) {
            c = {255, 255, 255};
        }
        return c;
    });
}

TRgbImage Gravel(int side) {
    const TTileNoise noise(20);
    const TRgb stones[] = {
        {128, 122, 112}, {150, 140, 124}, {104, 100, 96}, {166, 156, 140}, {118, 104, 88}};
    return Paint(side, [&](double u, double v, int x, int y) {
        const double cx = u * 16;
        const double cy = v * 16;
        const double d = noise.Cells(cx, cy, 16);
        // The nearest point's cell decides the stone's colour.
        int best = 0;
        double bestDistance = 1e9;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int gx = static_cast<int>(std::floor(cx)) + dx;
                const int gy = static_cast<int>(std::floor(cy)) + dy;
                const uint32_t h = noise.CellHash(gx, gy, 16);
                const double px = gx + (h & 0xFFFF) / 65536.0;
                const double py = gy + (h >> 16) / 65536.0;
                const double dist = std::hypot(px - cx, py - cy);
                if (dist < bestDistance) {
                    bestDistance = dist;
                    best = static_cast<int>(h % 5);
                }
            }
        }
        TRgb c = Scale(stones[best], 1.1 - 0.6 * SmoothStep(0.2, 0.75, d));
        return Scale(c, 0.94 + 0.12 * PixelRandom(x, y, 18));
    });
}

TRgbImage Crate(int side) {
    const TTileNoise noise(21);
    return Paint(side, [&](double u, double v, int x, int y) {
        const double border = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
        const double grain = noise.Fbm(u * 2, v * 24, 2, 3);
        const double plank = Frac(v * 4);
        TRgb c = Ramp({{-1, {140, 96, 52}}, {1, {186, 136, 80}}}, grain * 1.5);
        if (plank < 0.04) {
            c = {80, 54, 30};
        }
        if (border < 0.1) {
            c = Scale(Ramp({{-1, {104, 70, 38}}, {1, {136, 96, 56}}}, grain * 1.5), 0.95);
            if (border < 0.015) {
                c = {60, 40, 24};
            }
        }
        const double diag = std::abs(u - v);
        if (border >= 0.1 && diag < 0.05) {
            c = Scale(Ramp({{-1, {110, 74, 40}}, {1, {150, 106, 62}}}, grain * 1.5), 1.0);
        }
        return Scale(c, 0.95 + 0.08 * PixelRandom(x, y, 19));
    });
}

TRgbImage Chevrons(int side) {
    return Paint(side, [&](double u, double v, int x, int y) {
        const double stripe = Frac((u + std::abs(v - 0.5)) * 3);
        TRgb c = stripe < 0.5 ? TRgb{236, 196, 24} : TRgb{34, 34, 36};
        return Scale(c, 0.92 + 0.12 * PixelRandom(x, y, 22));
    });
}

TRgbImage PoleBands(int side) {
    return Paint(side, [&](double, double v, int x, int y) {
        TRgb c = Frac(v * 4) < 0.5 ? TRgb{210, 36, 30} : TRgb{236, 236, 232};
        return Scale(c, 0.93 + 0.1 * PixelRandom(x, y, 23));
    });
}

TRgbImage Barrel(int side) {
    return Paint(side, [&](double u, double v, int x, int y) {
        TRgb c = Scale(TRgb{40, 84, 160}, 0.8 + 0.35 * std::pow(std::sin(kPi * u), 2));
        const double rib = std::min(std::abs(v - 0.2), std::abs(v - 0.8));
        if (rib < 0.03) {
            c = Scale(c, 0.65);
        }
        if (std::abs(v - 0.5) < 0.08) {
            c = Mix(c, {236, 210, 40}, 0.85);
        }
        return Scale(c, 0.95 + 0.08 * PixelRandom(x, y, 24));
    });
}

TRgbImage Cone(int side) {
    return Paint(side, [&](double, double v, int x, int y) {
        TRgb c = {240, 110, 20};
        if (v > 0.35 && v < 0.55) {
            c = {236, 236, 236};
        }
        return Scale(c, 0.92 + 0.1 * PixelRandom(x, y, 25));
    });
}

TRgbImage Pine(int side) {
    const TTileNoise noise(26);
    return Paint(side, [&](double u, double v, int x, int y) {
        if (u < 0.5) {
            const double bark = noise.Fbm(u * 16, v * 2, 16, 3);
            return Scale(Ramp({{-1, {62, 42, 26}}, {1, {108, 76, 48}}}, bark * 1.5),
                         0.9 + 0.15 * PixelRandom(x, y, 26));
        }
        const double needles = noise.Fbm(u * 8, v * 8, 8, 4);
        TRgb c = Ramp({{-1, {20, 52, 28}}, {1, {52, 100, 48}}}, needles * 1.6);
        return Scale(c, 0.85 + 0.3 * PixelRandom(x, y, 27));
    });
}

TRgbImage Tyres(int side) {
    return Paint(side, [&](double u, double v, int x, int y) {
        TRgb c = {36, 36, 38};
        if (Frac(u * 16 + (Frac(v * 4) < 0.5 ? 0.25 : 0)) < 0.3) {
            c = {24, 24, 26};
        }
        if (std::abs(Frac(v * 2) - 0.5) < 0.03) {
            c = {220, 220, 220};
        }
        return Scale(c, 0.9 + 0.2 * PixelRandom(x, y, 28));
    });
}

TRgbImage Trailer(int side) {
    TRgbImage image = Paint(side, [&](double u, double v, int x, int y) {
        TRgb c = Scale(TRgb{44, 86, 156}, 0.82 + 0.2 * std::abs(std::sin(kPi * u * 24)));
        if (v > 0.9) {
            c = {40, 40, 44};
        }
        if (v < 0.05) {
            c = {180, 180, 184};
        }
        return Scale(c, 0.96 + 0.06 * PixelRandom(x, y, 29));
    });
    DrawText(image, "DUNMERE", side / 2, side * 45 / 100, side / 64, {244, 244, 240});
    return image;
}

TRgbImage TruckCab(int side) {
    return Paint(side, [&](double u, double v, int x, int y) {
        TRgb c = {190, 30, 28};
        if (v < 0.42 && v > 0.08 && u > 0.08 && u < 0.92) {
            c = Mix({40, 60, 92}, {130, 160, 190}, SmoothStep(0.2, 0.9, u - v * 0.4));
        }
        if (v > 0.6 && v < 0.85 && u > 0.25 && u < 0.75) {
            c = Frac(v * 16) < 0.5 ? TRgb{150, 150, 156} : TRgb{70, 70, 76};
        }
        if (v > 0.62 && v < 0.76 && (u < 0.18 || u > 0.82) && u > 0.04 && u < 0.96) {
            c = {250, 236, 150};
        }
        return Scale(c, 0.95 + 0.08 * PixelRandom(x, y, 30));
    });
}

TRgbImage SignBoard(int side, TRgb board, TRgb text) {
    TRgbImage image = Paint(side, [&](double u, double v, int x, int y) {
        const double border = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
        TRgb c = border < 0.05 ? TRgb{230, 230, 226} : board;
        return Scale(c, 0.96 + 0.06 * PixelRandom(x, y, 31));
    });
    DrawText(image, "DUNMERE", side / 2, side * 36 / 100, side / 48, text);
    DrawText(image, "GL", side / 2, side * 68 / 100, side / 24, text);
    return image;
}

TRgbImage Banner(int side) {
    TRgbImage image = Paint(side, [&](double u, double v, int x, int y) {
        TRgb c = {238, 200, 30};
        if (v < 0.22 || v > 0.78) {
            const bool light = (static_cast<int>(u * 16) + static_cast<int>(v * 16)) % 2 == 0;
            c = light ? TRgb{240, 240, 240} : TRgb{26, 26, 28};
        }
        return Scale(c, 0.95 + 0.08 * PixelRandom(x, y, 32));
    });
    DrawText(image, "CHECK", side / 2, side / 2, side / 40, {30, 30, 34});
    return image;
}

TRgbImage Flag(int side) {
    return Paint(side, [&](double, double v, int x, int y) {
        TRgb c = v < 1.0 / 3   ? TRgb{30, 120, 60}
                 : v < 2.0 / 3 ? TRgb{240, 240, 236}
                               : TRgb{36, 70, 160};
        return Scale(c, 0.94 + 0.08 * PixelRandom(x, y, 33));
    });
}

TRgbImage Mountain(int side) {
    const TTileNoise noise(34);
    return Paint(side, [&](double u, double v, int x, int y) {
        const double ridge = noise.Ridged(u * 8, v * 8, 8, 5);
        const double edge = noise.Fbm(u * 8, v * 2, 8, 3) * 0.08;
        TRgb rock = Ramp({{0, {84, 82, 90}}, {1, {150, 146, 150}}}, ridge);
        TRgb c;
        if (v < 0.22 + edge) {
            c = Mix({250, 250, 255}, {206, 214, 232}, ridge);
        } else if (v < 0.62 + edge) {
            c = rock;
        } else {
            c = Mix(rock, Scale(TRgb{48, 80, 52}, 0.8 + 0.4 * ridge), SmoothStep(0.62, 0.75, v));
        }
        // Distant mountains take the colour of the air.
        c = Mix(c, {160, 178, 200}, 0.25);
        return Scale(c, 0.96 + 0.06 * PixelRandom(x, y, 34));
    });
}

TRgbImage Foothill(int side) {
    const TTileNoise noise(35);
    return Paint(side, [&](double u, double v, int x, int y) {
        const double crowns = noise.Cells(u * 24, v * 24, 24);
        const double tone = noise.Fbm(u * 4, v * 4, 4, 3);
        TRgb c = Ramp({{-1, {34, 66, 36}}, {1, {78, 112, 58}}}, tone * 1.4);
        c = Scale(c, 1.1 - 0.5 * SmoothStep(0.3, 0.8, crowns));
        c = Mix(c, {140, 160, 168}, 0.3 - 0.2 * v);
        return Scale(c, 0.96 + 0.06 * PixelRandom(x, y, 35));
    });
}

TRgbImage Windows(int side) {
    return Paint(side, [&](double u, double v, int x, int y) {
        const int column = static_cast<int>(u * 8);
        const int floor = static_cast<int>(v * 8);
        const double fu = Frac(u * 8);
        const double fv = Frac(v * 8);
        TRgb wall = Scale(TRgb{120, 124, 134}, 0.85 + 0.3 * PixelRandom(column / 4, 0, 36));
        TRgb c = wall;
        if (fu > 0.2 && fu < 0.8 && fv > 0.25 && fv < 0.8) {
            const bool lit = PixelRandom(column, floor, 37) < 0.35;
            c = lit ? TRgb{236, 214, 140} : TRgb{50, 64, 88};
        }
        c = Mix(c, {150, 164, 184}, 0.2);
        return Scale(c, 0.96 + 0.06 * PixelRandom(x, y, 38));
    });
}

TRgbImage Crowd(int side) {
    const TRgb shirts[] = {{200, 40, 40}, {40, 90, 200},  {236, 200, 40}, {240, 240, 240},
                           {40, 160, 70}, {230, 120, 30}, {150, 60, 160}, {60, 60, 64}};
    return Paint(side, [&](double, double, int x, int y) {
        const int seatX = x / 4;
        const int seatY = y / 8;
        const int inX = x % 4;
        const int inY = y % 8;
        TRgb c = {52, 58, 72};
        if (inY == 7) {
            return TRgb{90, 96, 104};
        }
        if (PixelRandom(seatX, seatY, 39) < 0.8 && inX < 3) {
            if (inY >= 1 && inY <= 2 && inX == 1) {
                c = PixelRandom(seatX, seatY, 40) < 0.5 ? TRgb{230, 190, 160} : TRgb{140, 96, 70};
            } else if (inY >= 3) {
                c = shirts[PixelHash(seatX, seatY, 41) % 8];
            }
        }
        return c;
    });
}

TRgbImage Adboard(int side) {
    const TRgb colours[] = {{200, 30, 40}, {30, 80, 180}, {240, 190, 20}, {30, 140, 70}};
    const char* words[] = {"DUNMERE", "RACING", "ARENA", "GL"};
    TRgbImage image = Paint(side, [&](double u, double, int x, int y) {
        TRgb c = colours[static_cast<int>(u * 4) % 4];
        return Scale(c, 0.94 + 0.08 * PixelRandom(x, y, 42));
    });
    for (int i = 0; i < 4; ++i) {
        DrawText(image, words[i], side * (2 * i + 1) / 8, side / 2, 1, {250, 250, 250});
    }
    return image;
}

TRgbImage Steel(int side) {
    const TTileNoise noise(43);
    return Paint(side, [&](double u, double v, int x, int y) {
        TRgb c = Scale(TRgb{150, 154, 160}, 0.8 + 0.25 * std::abs(std::sin(kPi * u * 12)));
        const double rust = noise.Fbm(u * 4, v * 4, 4, 4);
        if (rust > 0.3) {
            c = Mix(c, {130, 84, 50}, SmoothStep(0.3, 0.6, rust));
        }
        return Scale(c, 0.96 + 0.06 * PixelRandom(x, y, 43));
    });
}

// A wire mesh over black: the palette makes the black holes transparent, so the lattice shows what
// blending does with a texture's alpha and what drawing it opaque leaves in the alpha channel.
constexpr TRgb kLatticeHole{0, 0, 0};

TRgbImage Lattice(int side) {
    return Paint(side, [&](double u, double v, int x, int y) {
        const bool wire = Frac(u * 8) < 0.25 || Frac(v * 8) < 0.25;
        if (!wire) {
            return kLatticeHole;
        }
        return Scale(TRgb{196, 176, 70}, 0.9 + 0.1 * PixelRandom(x, y, 47));
    });
}

TRgbImage Floodlights(int side) {
    return Paint(side, [&](double u, double v, int, int) {
        const double du = Frac(u * 4) - 0.5;
        const double dv = Frac(v * 4) - 0.5;
        const double r = std::hypot(du, dv);
        return r < 0.36 ? Mix(TRgb{255, 255, 244}, TRgb{250, 230, 160}, r / 0.36)
                        : TRgb{70, 72, 78};
    });
}

// ----- sky panoramas -----

struct TSkyPoint {
    double Azimuth;   // degrees, 0..360 along the row
    double Elevation; // degrees, +90 at row 0, -90 at the last row
};

TSkyPoint SkyPoint(int x, int y, int side) {
    return {360.0 * (x + 0.5) / side, 90.0 - 180.0 * (y + 0.5) / side};
}

// Angle in degrees between a sky point and a direction.
double AngleTo(const TSkyPoint& p, double azimuth, double elevation) {
    auto vec = [](double az, double el) {
        const double a = az * kPi / 180;
        const double e = el * kPi / 180;
        return std::array<double, 3>{std::cos(e) * std::cos(a), std::sin(e),
                                     std::cos(e) * std::sin(a)};
    };
    const auto a = vec(p.Azimuth, p.Elevation);
    const auto b = vec(azimuth, elevation);
    const double dot = std::clamp(a[0] * b[0] + a[1] * b[1] + a[2] * b[2], -1.0, 1.0);
    return std::acos(dot) * 180 / kPi;
}

// Cloud cover 0..1 at a sky point: tiles round the horizon, thins out towards the zenith.
double CloudCover(const TTileNoise& noise, const TSkyPoint& p, double coverage, double stretch) {
    if (p.Elevation < 0.5) {
        return 0;
    }
    const double x = p.Azimuth / 360.0 * 8;
    const double y = (90 - p.Elevation) / 90.0 * 4 * stretch;
    const double n = noise.Fbm(x, y, 8, 5);
    const double fade = SmoothStep(0.5, 4, p.Elevation) * (1 - SmoothStep(55, 85, p.Elevation));
    return SmoothStep(coverage, coverage + 0.3, n) * fade;
}

TRgbImage ClearSky(int side) {
    const TTileNoise noise(50);
    return Paint(side, [&](double, double, int x, int y) {
        const TSkyPoint p = SkyPoint(x, y, side);
        if (p.Elevation < 0) {
            return Ramp({{-90, {70, 86, 56}}, {-6, {118, 134, 100}}, {0, {170, 186, 178}}},
                        p.Elevation);
        }
        TRgb c =
            Ramp({{0, {192, 214, 236}}, {15, {134, 178, 226}}, {90, {56, 102, 190}}}, p.Elevation);
        const double sun = AngleTo(p, 40, 48);
        c = Mix(c, {255, 250, 226}, 0.5 * std::exp(-sun * sun / 200));
        if (sun < 2.5) {
            c = {255, 252, 238};
        }
        const double cloud = CloudCover(noise, p, 0.15, 1);
        const double shade =
            Clamp01(noise.Fbm(p.Azimuth / 360.0 * 8, (95 - p.Elevation) / 90.0 * 4, 8, 3));
        return Mix(c, Mix({252, 252, 252}, {176, 182, 198}, shade * 1.5), cloud);
    });
}

TRgbImage CloudySky(int side) {
    const TTileNoise noise(51);
    return Paint(side, [&](double, double, int x, int y) {
        const TSkyPoint p = SkyPoint(x, y, side);
        if (p.Elevation < 0) {
            return Ramp({{-90, {58, 66, 52}}, {-6, {92, 100, 86}}, {0, {150, 154, 156}}},
                        p.Elevation);
        }
        const TRgb base = Ramp({{0, {170, 174, 180}}, {90, {118, 124, 136}}}, p.Elevation);
        const double n = noise.Fbm(p.Azimuth / 360.0 * 8, (90 - p.Elevation) / 90.0 * 6, 8, 5);
        const TRgb cloud = Mix({208, 210, 214}, {96, 100, 110}, Clamp01(0.5 + n * 1.4));
        return Mix(base, cloud, SmoothStep(0, 3, p.Elevation) * 0.9);
    });
}

TRgbImage DuskSky(int side) {
    const TTileNoise noise(52);
    return Paint(side, [&](double, double, int x, int y) {
        const TSkyPoint p = SkyPoint(x, y, side);
        if (p.Elevation < 0) {
            return Ramp({{-90, {34, 28, 40}}, {-4, {58, 44, 50}}, {0, {150, 96, 70}}}, p.Elevation);
        }
        TRgb c = Ramp({{0, {252, 164, 90}},
                       {8, {236, 122, 100}},
                       {25, {150, 92, 132}},
                       {50, {72, 62, 122}},
                       {90, {30, 36, 82}}},
                      p.Elevation);
        const double sun = AngleTo(p, 200, 1.5);
        c = Mix(c, {255, 214, 120}, 0.75 * std::exp(-sun * sun / 300));
        if (sun < 3) {
            c = {255, 236, 170};
        }
        const double cloud = CloudCover(noise, p, 0.1, 3) * (1 - SmoothStep(25, 35, p.Elevation));
        const TRgb lit = Mix({250, 150, 120}, {112, 80, 112}, SmoothStep(10, 80, sun));
        return Mix(c, lit, cloud);
    });
}

TRgbImage NightSky(int side) {
    return Paint(side, [&](double, double, int x, int y) {
        const TSkyPoint p = SkyPoint(x, y, side);
        if (p.Elevation < 0) {
            return Ramp({{-90, {10, 11, 16}}, {-4, {16, 18, 26}}, {0, {28, 34, 58}}}, p.Elevation);
        }
        TRgb c = Ramp({{0, {30, 36, 60}}, {20, {16, 20, 44}}, {90, {10, 12, 32}}}, p.Elevation);
        const double moon = AngleTo(p, 120, 35);
        c = Mix(c, {80, 90, 120}, 0.5 * std::exp(-moon * moon / 150));
        if (moon < 4) {
            const double crater = PixelRandom(x / 2, y / 2, 53);
            return Scale(TRgb{232, 232, 216}, crater < 0.2 ? 0.85 : 1.0);
        }
        const double star = PixelRandom(x, y, 54);
        if (p.Elevation > 3 && star < 0.005) {
            // A texel spans more than a degree: faint stars look small, bright ones are few.
            const double brightness = 0.3 + 0.5 * std::pow(PixelRandom(x, y, 55), 3);
            return Scale(star < 0.002 ? TRgb{200, 214, 255} : TRgb{250, 246, 236}, brightness);
        }
        return c;
    });
}

TTextureAsset Asset(const std::string& name, const TRgbImage& image,
                    const TRgb* keyColor = nullptr) {
    auto [indexed, palette] = Quantize(image, keyColor);
    return {name, std::move(indexed), palette};
}

using TRecipe = std::function<TRgbImage()>;

const std::vector<std::pair<std::string, TRecipe>>& Recipes() {
    static const std::vector<std::pair<std::string, TRecipe>> recipes = {
        {"GRASS.RAW", [] { return Grass(128, false); }},
        {"GRASS2.RAW", [] { return Grass(128, true); }},
        {"ROCK.RAW", [] { return Rock(128); }},
        {"SAND.RAW", [] { return Sand(128); }},
        {"ASPHALT.RAW", [] { return Asphalt(128); }},
        {"KERB.RAW", [] { return Kerb(64); }},
        {"MUD.RAW", [] { return Mud(128); }},
        {"DIRT.RAW", [] { return Dirt(128); }},
        {"CONCRETE.RAW", [] { return Concrete(128); }},
        {"SNOW.RAW", [] { return Snow(128); }},
        {"GRAVEL.RAW", [] { return Gravel(128); }},
        {"CRATE.RAW", [] { return Crate(64); }},
        {"CHEVRON.RAW", [] { return Chevrons(64); }},
        {"POLE.RAW", [] { return PoleBands(64); }},
        {"BARREL.RAW", [] { return Barrel(64); }},
        {"CONE.RAW", [] { return Cone(64); }},
        {"PINE.RAW", [] { return Pine(64); }},
        {"TYRES.RAW", [] { return Tyres(64); }},
        {"TRAILER.RAW", [] { return Trailer(128); }},
        {"TRUCKCAB.RAW", [] { return TruckCab(64); }},
        {"SIGN1.RAW",
         [] {
             return SignBoard(128, {24, 96, 52}, {250, 250, 246});
         }},
        {"SIGN2.RAW",
         [] {
             return SignBoard(128, {150, 30, 30}, {250, 236, 120});
         }},
        {"BANNER.RAW", [] { return Banner(128); }},
        {"FLAG.RAW", [] { return Flag(64); }},
        {"MOUNTAIN.RAW", [] { return Mountain(128); }},
        {"FOOTHILL.RAW", [] { return Foothill(128); }},
        {"WINDOWS.RAW", [] { return Windows(128); }},
        {"CROWD.RAW", [] { return Crowd(128); }},
        {"ADBOARD.RAW", [] { return Adboard(128); }},
        {"STEEL.RAW", [] { return Steel(64); }},
        {"LIGHTS.RAW", [] { return Floodlights(64); }},
        {"SKYCLEAR.RAW", [] { return ClearSky(256); }},
        {"SKYCLOUD.RAW", [] { return CloudySky(256); }},
        {"SKYDUSK.RAW", [] { return DuskSky(256); }},
        {"SKYNIGHT.RAW", [] { return NightSky(256); }},
    };
    return recipes;
}

} // namespace

std::string PaletteNameFor(const std::string& textureName) {
    if (textureName.size() < 3) {
        throw std::invalid_argument("texture names end in a three-letter extension");
    }
    return textureName.substr(0, textureName.size() - 3) + "ACT";
}

std::vector<std::string> DemoTextureNames() {
    std::vector<std::string> names;
    for (const auto& recipe : Recipes()) {
        names.push_back(recipe.first);
    }
    return names;
}

TTextureAsset MakeDemoTexture(const std::string& name) {
    if (name == "LATTICE.RAW") {
        return Asset(name, Lattice(64), &kLatticeHole);
    }
    for (const auto& recipe : Recipes()) {
        if (recipe.first == name) {
            return Asset(name, recipe.second());
        }
    }
    throw std::invalid_argument("no recipe for texture " + name);
}

TTextureAsset MarkerTexture() {
    // Four quarters: checker for the flag, black and yellow stripes for the pole, signal orange
    // for the arrow and white for the base.
    return Asset("DMGLCHK.RAW", Paint(64, [](double u, double v, int x, int y) {
                     TRgb c;
                     if (v < 0.5 && u < 0.5) {
                         const bool light = ((x / 4) + (y / 4)) % 2 == 0;
                         c = light ? TRgb{246, 246, 246} : TRgb{20, 20, 22};
                     } else if (v < 0.5) {
                         c = Frac(v * 32) < 0.5 ? TRgb{250, 210, 20} : TRgb{24, 24, 26};
                     } else if (u < 0.5) {
                         c = Mix({255, 120, 0}, {255, 70, 0}, v * 2 - 1);
                     } else {
                         c = {236, 236, 236};
                     }
                     return Scale(c, 0.96 + 0.06 * PixelRandom(x, y, 60));
                 }));
}

TTextureAsset RippleTexture() {
    // Whole numbers of waves across the square keep the ripples seamless from cell to cell.
    return Asset(
        "RIPPL100.RAW", Paint(64, [](double u, double v, int, int) {
            const double w =
                std::sin(2 * kPi * (3 * u + 2 * v)) + 0.7 * std::sin(2 * kPi * (-2 * u + 5 * v)) +
                0.5 * std::sin(2 * kPi * (7 * u - v)) + 0.3 * std::sin(2 * kPi * (u + 9 * v));
            return Ramp({{-2.5, {150, 176, 204}}, {0, {200, 220, 236}}, {2.5, {255, 255, 255}}}, w);
        }));
}

TRgbPalette DefaultPalette() {
    TRgbPalette palette{};
    // 0 black, 1-15 greys, then a 6 x 6 x 6 colour cube, then a warm brown ramp.
    for (int i = 1; i < 16; ++i) {
        const auto g = static_cast<uint8_t>(i * 17);
        palette[i] = {g, g, g};
    }
    int index = 16;
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                palette[index++] = {static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                                    static_cast<uint8_t>(b * 51)};
            }
        }
    }
    for (int i = 0; index < 256; ++i, ++index) {
        palette[index] = Mix({64, 36, 20}, {236, 196, 150}, i / 23.0);
    }
    return palette;
}

TRgbImage MissingTextureImage() {
    TRgbImage image = Paint(64, [](double, double, int x, int y) {
        const bool magenta = ((x / 8) + (y / 8)) % 2 == 0;
        return magenta ? TRgb{255, 0, 255} : TRgb{16, 16, 16};
    });
    for (int i = 0; i < 64; ++i) {
        for (int w = -1; w <= 1; ++w) {
            const int a = std::clamp(i + w, 0, 63);
            image.At(a, i) = {255, 255, 255};
            image.At(63 - a, i) = {255, 255, 255};
        }
    }
    for (int y = 20; y < 44; ++y) {
        for (int x = 20; x < 44; ++x) {
            image.At(x, y) = {16, 16, 16};
        }
    }
    DrawText(image, "?", 32, 32, 2, {255, 230, 0});
    return image;
}

std::string StressTextureName(int number) {
    return Format("STRESS%03d.RAW", number);
}

TTextureAsset StressTexture(int number) {
    const double hue = std::fmod(number * 137.50776, 360.0) / 60.0;
    const double f = hue - std::floor(hue);
    const int sector = static_cast<int>(hue) % 6;
    const double rgb[6][3] = {{1, f, 0},     {1 - f, 1, 0}, {0, 1, f},
                              {0, 1 - f, 1}, {f, 0, 1},     {1, 0, 1 - f}};
    const TRgb colour{static_cast<uint8_t>(40 + 215 * rgb[sector][0]),
                      static_cast<uint8_t>(40 + 215 * rgb[sector][1]),
                      static_cast<uint8_t>(40 + 215 * rgb[sector][2])};
    TTextureAsset asset;
    asset.Name = StressTextureName(number);
    for (int i = 0; i < 255; ++i) {
        asset.Palette[i] = Scale(colour, 0.25 + 0.75 * i / 254.0);
    }
    asset.Palette[255] = {255, 255, 255};
    asset.Image.Side = 256;
    asset.Image.Pixels.resize(256 * 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const bool checker = ((x / 32) + (y / 32)) % 2 == 0;
            asset.Image.Pixels[y * 256 + x] =
                static_cast<uint8_t>(checker ? 200 : 120 + (x + y) / 8);
        }
    }
    const std::string text = Format("%03d", number);
    const int scale = 10;
    ForEachTextPixel(text, 128 - TextWidth(text, scale) / 2, 128 - 35, scale, [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < 256 && y < 256) {
            asset.Image.Pixels[y * 256 + x] = 255;
        }
    });
    return asset;
}
