#include "tools/Procedural.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(Procedural, RandomNumbersRepeatForASeedAndStayInRange) {
    TRandom a(7), b(7), c(8);
    bool differs = false;
    for (int i = 0; i < 1000; ++i) {
        const uint64_t x = a.Next();
        EXPECT_EQ(x, b.Next());
        differs = differs || x != c.Next();
        const double u = a.Uniform();
        EXPECT_GE(u, 0.0);
        EXPECT_LT(u, 1.0);
        const int k = a.Int(-2, 3);
        EXPECT_GE(k, -2);
        EXPECT_LE(k, 3);
        b.Uniform();
        b.Int(-2, 3);
    }
    EXPECT_TRUE(differs);
}

TEST(Procedural, TileNoiseRepeatsWithItsPeriod) {
    const TTileNoise noise(42);
    double low = 1, high = -1;
    for (int i = 0; i < 200; ++i) {
        const double x = i * 0.173, y = i * 0.291;
        const double v = noise.Value(x, y, 4);
        EXPECT_NEAR(v, noise.Value(x + 4, y, 4), 1e-12);
        EXPECT_NEAR(v, noise.Value(x, y - 8, 4), 1e-12);
        EXPECT_NEAR(noise.Fbm(x, y, 4, 5), noise.Fbm(x + 4, y + 4, 4, 5), 1e-9);
        EXPECT_NEAR(noise.Ridged(x, y, 3, 3), noise.Ridged(x - 3, y, 3, 3), 1e-9);
        EXPECT_NEAR(noise.Cells(x, y, 5), noise.Cells(x + 5, y - 5, 5), 1e-9);
        EXPECT_GE(v, -1.0);
        EXPECT_LE(v, 1.0);
        low = std::min(low, v);
        high = std::max(high, v);
    }
    EXPECT_LT(low, -0.2); // it is noise, not a constant
    EXPECT_GT(high, 0.2);
    EXPECT_THROW(noise.Value(0, 0, 0), std::invalid_argument);
}

TEST(Procedural, RampsInterpolateBetweenStopsAndClampOutside) {
    const TRgb black{0, 0, 0}, white{250, 250, 250}, red{250, 0, 0};
    auto ramp = [&](double t) { return Ramp({{0, black}, {1, white}, {2, red}}, t); };
    EXPECT_EQ(ramp(-5), black);
    EXPECT_EQ(ramp(0.5), (TRgb{125, 125, 125}));
    EXPECT_EQ(ramp(1.5), (TRgb{250, 125, 125}));
    EXPECT_EQ(ramp(9), red);
    EXPECT_EQ(Scale({100, 200, 50}, 2), (TRgb{200, 255, 100}));
}

TEST(Procedural, QuantizeKeepsAFewColoursExactly) {
    TRgbImage image(8, 8);
    const TRgb colours[] = {{200, 10, 10}, {10, 200, 10}, {10, 10, 200}, {90, 90, 90}};
    for (int i = 0; i < 64; ++i) {
        image.Pixels[i] = colours[(i * 7) % 4];
    }
    const auto [indexed, palette] = Quantize(image);
    ASSERT_EQ(indexed.Side, 8);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(palette[indexed.Pixels[i]], image.Pixels[i]) << i;
    }
}

TEST(Procedural, QuantizeKeepsOpaqueColoursOffTheTransparentBlacks) {
    TRgbImage image(2, 2);
    image.Pixels = {{3, 3, 3}, {0, 0, 0}, {7, 6, 5}, {100, 100, 100}};
    const auto [indexed, palette] = Quantize(image);
    for (uint8_t index : indexed.Pixels) {
        const TRgb c = palette[index];
        EXPECT_TRUE(c.R >= 8 || c.G >= 8 || c.B >= 8);
    }
}

TEST(Procedural, QuantizeMapsTheKeyColourToTransparentIndexZero) {
    TRgbImage image(2, 2);
    const TRgb key{255, 0, 255};
    image.Pixels = {key, {0, 0, 0}, {50, 60, 70}, key};
    const auto [indexed, palette] = Quantize(image, &key);
    EXPECT_EQ(indexed.Pixels[0], 0);
    EXPECT_EQ(indexed.Pixels[3], 0);
    EXPECT_EQ(palette[0], (TRgb{0, 0, 0}));
    EXPECT_NE(indexed.Pixels[1], 0); // real black is not the key
    EXPECT_NE(indexed.Pixels[2], 0);
    EXPECT_EQ(palette[indexed.Pixels[2]], (TRgb{50, 60, 70}));
}

TEST(Procedural, QuantizeReducesAGradientTo256ColoursWithSmallError) {
    TRgbImage image(64, 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            image.At(x, y) = {static_cast<uint8_t>(x * 4), static_cast<uint8_t>(y * 4),
                              static_cast<uint8_t>((x + y) * 2)};
        }
    }
    const auto [indexed, palette] = Quantize(image);
    std::set<uint8_t> used(indexed.Pixels.begin(), indexed.Pixels.end());
    EXPECT_GT(used.size(), 200u);
    double worst = 0;
    for (size_t i = 0; i < image.Pixels.size(); ++i) {
        const TRgb a = image.Pixels[i], b = palette[indexed.Pixels[i]];
        worst = std::max({worst, std::abs(a.R - b.R) + 0.0, std::abs(a.G - b.G) + 0.0,
                          std::abs(a.B - b.B) + 0.0});
    }
    EXPECT_LT(worst, 24);
}

TEST(Procedural, QuantizeRefusesImagesTheGameCannotHold) {
    EXPECT_THROW(Quantize(TRgbImage(4, 2)), std::invalid_argument);
    EXPECT_THROW(Quantize(TRgbImage()), std::invalid_argument);
}

} // namespace
