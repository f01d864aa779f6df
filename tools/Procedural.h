// Deterministic procedural building blocks for the generated data: a small random generator,
// noise that tiles with a whole-number period (so textures and the wrapping level grid have no
// seams), colour ramps and a median-cut palette for turning colour images into RAW + ACT pairs.
#pragma once

#include "tools/GameWriters.h"

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

class TRandom {
public:
    explicit TRandom(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    double Uniform();                      // [0, 1)
    double Range(double low, double high); // [low, high)
    int Int(int low, int high);            // low..high inclusive

private:
    uint64_t state_;
};

double Clamp01(double value);
double SmoothStep(double edge0, double edge1, double value);
double Lerp(double a, double b, double t);

// Value noise on a lattice that repeats every `period` lattice cells in x and in y; results lie
// in [-1, 1].
class TTileNoise {
public:
    explicit TTileNoise(uint32_t seed) : seed_(seed) {}
    double Value(double x, double y, int period) const;
    // Octaves double the frequency and the period, so the sum still repeats every `period`
    // cells of the first octave.
    double Fbm(double x, double y, int period, int octaves, double gain = 0.5) const;
    // 1 - |noise| summed: sharp crests, for rock and mountain ridges. Results lie in [0, 1].
    double Ridged(double x, double y, int period, int octaves) const;
    // Distance to the nearest of one jittered point per lattice cell, periodic like Value.
    double Cells(double x, double y, int period) const;
    // A whole-number hash of a lattice cell, for per-cell choices.
    uint32_t CellHash(int x, int y, int period) const;

private:
    double Lattice(int x, int y) const;
    uint32_t seed_;
};

struct TColorStop {
    double At;
    TRgb Color;
};

TRgb Mix(TRgb a, TRgb b, double t);
TRgb Scale(TRgb color, double factor);
// The colour at t of a ramp through stops given in rising order of At.
TRgb Ramp(std::initializer_list<TColorStop> stops, double t);

// Reduces a square colour image to at most 256 colours. With `keyColor`, pixels of exactly that
// colour become index 0 with palette entry (0, 0, 0), which the game makes transparent; every
// other palette entry is kept off the transparent near-blacks.
std::pair<TIndexedImage, TRgbPalette> Quantize(const TRgbImage& image,
                                               const TRgb* keyColor = nullptr);
