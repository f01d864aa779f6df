#include "tools/Procedural.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <unordered_map>

uint64_t TRandom::Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double TRandom::Uniform() {
    return static_cast<double>(Next() >> 11) * 0x1.0p-53;
}

double TRandom::Range(double low, double high) {
    return low + (high - low) * Uniform();
}

int TRandom::Int(int low, int high) {
    return low + static_cast<int>(Next() % static_cast<uint64_t>(high - low + 1));
}

double Clamp01(double value) {
    return std::clamp(value, 0.0, 1.0);
}

double SmoothStep(double edge0, double edge1, double value) {
    const double t = Clamp01((value - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

double Lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

namespace {

uint32_t Hash3(uint32_t a, uint32_t b, uint32_t c) {
    uint32_t h = a * 0x8DA6B343u ^ b * 0xD8163841u ^ c * 0xCB1AB31Fu;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

int Wrap(int value, int period) {
    const int m = value % period;
    return m < 0 ? m + period : m;
}

double Fade(double t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

} // namespace

double TTileNoise::Lattice(int x, int y) const {
    return Hash3(static_cast<uint32_t>(x), static_cast<uint32_t>(y), seed_) / 2147483647.5 - 1.0;
}

uint32_t TTileNoise::CellHash(int x, int y, int period) const {
    return Hash3(static_cast<uint32_t>(Wrap(x, period)), static_cast<uint32_t>(Wrap(y, period)),
                 seed_ ^ 0x5BD1E995u);
}

double TTileNoise::Value(double x, double y, int period) const {
    if (period <= 0) {
        throw std::invalid_argument("noise period must be positive");
    }
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int x0 = Wrap(static_cast<int>(fx), period);
    const int y0 = Wrap(static_cast<int>(fy), period);
    const int x1 = Wrap(x0 + 1, period);
    const int y1 = Wrap(y0 + 1, period);
    const double u = Fade(x - fx);
    const double v = Fade(y - fy);
    const double top = Lerp(Lattice(x0, y0), Lattice(x1, y0), u);
    const double bottom = Lerp(Lattice(x0, y1), Lattice(x1, y1), u);
    return Lerp(top, bottom, v);
}

double TTileNoise::Fbm(double x, double y, int period, int octaves, double gain) const {
    double sum = 0;
    double amplitude = 1;
    double total = 0;
    for (int o = 0; o < octaves; ++o) {
        const double f = std::ldexp(1.0, o);
        sum += amplitude * Value(x * f + 17.0 * o, y * f + 31.0 * o, period << o);
        total += amplitude;
        amplitude *= gain;
    }
    return sum / total;
}

double TTileNoise::Ridged(double x, double y, int period, int octaves) const {
    double sum = 0;
    double amplitude = 1;
    double total = 0;
    for (int o = 0; o < octaves; ++o) {
        const double f = std::ldexp(1.0, o);
        const double r = 1.0 - std::abs(Value(x * f + 7.0 * o, y * f + 13.0 * o, period << o));
        sum += amplitude * r * r;
        total += amplitude;
        amplitude *= 0.5;
    }
    return sum / total;
}

double TTileNoise::Cells(double x, double y, int period) const {
    const int cx = static_cast<int>(std::floor(x));
    const int cy = static_cast<int>(std::floor(y));
    double best = 1e9;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const uint32_t h = CellHash(cx + dx, cy + dy, period);
            const double px = cx + dx + (h & 0xFFFF) / 65536.0;
            const double py = cy + dy + (h >> 16) / 65536.0;
            best = std::min(best, std::hypot(px - x, py - y));
        }
    }
    return best;
}

TRgb Mix(TRgb a, TRgb b, double t) {
    t = Clamp01(t);
    auto channel = [t](uint8_t p, uint8_t q) {
        return static_cast<uint8_t>(std::lround(p + (q - p) * t));
    };
    return {channel(a.R, b.R), channel(a.G, b.G), channel(a.B, b.B)};
}

TRgb Scale(TRgb color, double factor) {
    auto channel = [factor](uint8_t p) {
        return static_cast<uint8_t>(std::clamp(std::lround(p * factor), 0L, 255L));
    };
    return {channel(color.R), channel(color.G), channel(color.B)};
}

TRgb Ramp(std::initializer_list<TColorStop> stops, double t) {
    if (stops.size() == 0) {
        throw std::invalid_argument("a ramp needs stops");
    }
    const TColorStop* previous = stops.begin();
    if (t <= previous->At) {
        return previous->Color;
    }
    for (const TColorStop* stop = stops.begin() + 1; stop != stops.end(); ++stop) {
        if (t <= stop->At) {
            return Mix(previous->Color, stop->Color,
                       (t - previous->At) / (stop->At - previous->At));
        }
        previous = stop;
    }
    return previous->Color;
}

namespace {

struct TColorCount {
    TRgb Color;
    uint32_t Count = 0;
};

struct TBox {
    size_t Begin = 0;
    size_t End = 0;
    int Channel = 0;
    int Range = 0;
};

uint8_t ChannelOf(const TRgb& c, int channel) {
    return channel == 0 ? c.R : channel == 1 ? c.G : c.B;
}

void Measure(TBox& box, const std::vector<TColorCount>& colors) {
    int low[3] = {255, 255, 255};
    int high[3] = {0, 0, 0};
    for (size_t i = box.Begin; i < box.End; ++i) {
        for (int ch = 0; ch < 3; ++ch) {
            low[ch] = std::min<int>(low[ch], ChannelOf(colors[i].Color, ch));
            high[ch] = std::max<int>(high[ch], ChannelOf(colors[i].Color, ch));
        }
    }
    box.Range = -1;
    for (int ch = 0; ch < 3; ++ch) {
        if (high[ch] - low[ch] > box.Range) {
            box.Range = high[ch] - low[ch];
            box.Channel = ch;
        }
    }
}

uint32_t Key(const TRgb& c) {
    return (c.R << 16) | (c.G << 8) | c.B;
}

} // namespace

std::pair<TIndexedImage, TRgbPalette> Quantize(const TRgbImage& image, const TRgb* keyColor) {
    if (image.Width != image.Height || image.Width <= 0) {
        throw std::invalid_argument("game textures are square");
    }
    std::unordered_map<uint32_t, size_t> slot;
    std::vector<TColorCount> colors;
    for (const TRgb& p : image.Pixels) {
        if (keyColor != nullptr && p == *keyColor) {
            continue;
        }
        const auto [it, added] = slot.emplace(Key(p), colors.size());
        if (added) {
            colors.push_back({p, 0});
        }
        ++colors[it->second].Count;
    }

    const size_t first = keyColor != nullptr ? 1 : 0;
    const size_t capacity = 256 - first;
    std::vector<TBox> boxes;
    if (!colors.empty()) {
        boxes.push_back({0, colors.size(), 0, 0});
        Measure(boxes.back(), colors);
    }
    while (boxes.size() < capacity) {
        auto widest =
            std::max_element(boxes.begin(), boxes.end(),
                             [](const TBox& a, const TBox& b) { return a.Range < b.Range; });
        if (widest == boxes.end() || widest->Range <= 0 || widest->End - widest->Begin < 2) {
            break;
        }
        TBox box = *widest;
        const int ch = box.Channel;
        std::sort(colors.begin() + static_cast<std::ptrdiff_t>(box.Begin),
                  colors.begin() + static_cast<std::ptrdiff_t>(box.End),
                  [ch](const TColorCount& a, const TColorCount& b) {
                      return ChannelOf(a.Color, ch) < ChannelOf(b.Color, ch);
                  });
        uint64_t total = 0;
        for (size_t i = box.Begin; i < box.End; ++i) {
            total += colors[i].Count;
        }
        uint64_t running = 0;
        size_t middle = box.Begin + 1;
        for (size_t i = box.Begin; i + 1 < box.End; ++i) {
            running += colors[i].Count;
            middle = i + 1;
            if (running * 2 >= total) {
                break;
            }
        }
        TBox low{box.Begin, middle, 0, 0};
        TBox high{middle, box.End, 0, 0};
        Measure(low, colors);
        Measure(high, colors);
        *widest = low;
        boxes.push_back(high);
    }

    TRgbPalette palette;
    palette.fill(TRgb{128, 128, 128});
    std::unordered_map<uint32_t, uint8_t> indexOf;
    for (size_t b = 0; b < boxes.size(); ++b) {
        double sum[3] = {0, 0, 0};
        double weight = 0;
        for (size_t i = boxes[b].Begin; i < boxes[b].End; ++i) {
            for (int ch = 0; ch < 3; ++ch) {
                sum[ch] += ChannelOf(colors[i].Color, ch) * double(colors[i].Count);
            }
            weight += colors[i].Count;
            indexOf[Key(colors[i].Color)] = static_cast<uint8_t>(first + b);
        }
        TRgb mean{static_cast<uint8_t>(std::lround(sum[0] / weight)),
                  static_cast<uint8_t>(std::lround(sum[1] / weight)),
                  static_cast<uint8_t>(std::lround(sum[2] / weight))};
        if (mean.R < 8 && mean.G < 8 && mean.B < 8) {
            mean = {8, 8, 8};
        }
        palette[first + b] = mean;
    }
    if (keyColor != nullptr) {
        palette[0] = {0, 0, 0};
    }

    TIndexedImage indexed;
    indexed.Side = image.Width;
    indexed.Pixels.reserve(image.Pixels.size());
    for (const TRgb& p : image.Pixels) {
        if (keyColor != nullptr && p == *keyColor) {
            indexed.Pixels.push_back(0);
        } else {
            indexed.Pixels.push_back(indexOf.at(Key(p)));
        }
    }
    return {indexed, palette};
}
