// Writes the about box's fanfare: RIFF WAVE, PCM, one channel, 11025 samples per second,
// 8-bit unsigned samples (silence is 128), exactly 44426 bytes of sample data (about 4 s).
// A short brass call synthesised from harmonics: each note's upper partials grow with its
// loudness, it starts slightly flat and settles, and long notes get a gentle vibrato.
//
// Usage: MakeFanfare OUTPUT.wav
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 11025;
constexpr int kSampleCount = 44426;
constexpr double kPi = 3.14159265358979323846;

struct TNote {
    double frequency; // Hz
    double start;     // seconds
    double length;    // seconds, before the release
    double release;   // seconds
    double level;     // relative loudness
};

// G4 G4 G4 C5 - G4 C5 E5 - and a held C major chord crowned by G5.
const TNote kNotes[] = {
    {392.00, 0.00, 0.12, 0.05, 0.8},  {392.00, 0.17, 0.12, 0.05, 0.8},
    {392.00, 0.34, 0.12, 0.05, 0.8},  {523.25, 0.51, 0.50, 0.08, 1.0},
    {392.00, 1.12, 0.17, 0.05, 0.8},  {523.25, 1.34, 0.17, 0.05, 0.85},
    {659.25, 1.56, 0.40, 0.07, 0.95}, {783.99, 2.05, 1.35, 0.55, 1.0},
    {523.25, 2.05, 1.35, 0.55, 0.55}, {659.25, 2.05, 1.35, 0.55, 0.5},
};

double Envelope(const TNote& note, double t) {
    constexpr double attack = 0.03;
    constexpr double decay = 0.08;
    constexpr double sustain = 0.75;
    if (t < 0 || t > note.length + note.release) {
        return 0;
    }
    double level;
    if (t < attack) {
        level = t / attack;
    } else if (t < attack + decay) {
        level = 1 - (1 - sustain) * (t - attack) / decay;
    } else {
        level = sustain;
    }
    if (t > note.length) {
        level *= 1 - (t - note.length) / note.release;
    }
    return level;
}

void AddNote(const TNote& note, std::vector<double>& mix) {
    const int first = static_cast<int>(note.start * kRate);
    const int last = std::min<int>(static_cast<int>(mix.size()),
                                   first + static_cast<int>((note.length + note.release) * kRate));
    double phase = 0; // of the fundamental, in cycles
    for (int i = first; i < last; ++i) {
        const double t = static_cast<double>(i - first) / kRate;
        const double envelope = Envelope(note, t);
        const double scoop = 1 - 0.03 * std::exp(-t / 0.025);
        const double vibrato = t > 0.25 ? 1 + 0.004 * std::sin(2 * kPi * 5.2 * t) : 1;
        phase += note.frequency * scoop * vibrato / kRate;
        const double brightness = 0.35 + 0.45 * envelope;
        double sample = 0;
        double weight = 1;
        for (int harmonic = 1; harmonic * note.frequency < 0.45 * kRate; ++harmonic) {
            sample += weight * std::sin(2 * kPi * harmonic * phase) / std::pow(harmonic, 0.7);
            weight *= brightness;
        }
        mix[i] += note.level * envelope * sample;
    }
}

void PutU32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((value >> shift) & 0xFF);
    }
}

void PutU16(std::string& out, uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

std::string WaveFile(const std::vector<uint8_t>& samples) {
    std::string out = "RIFF";
    PutU32(out, static_cast<uint32_t>(36 + samples.size()));
    out += "WAVEfmt ";
    PutU32(out, 16);    // format chunk size
    PutU16(out, 1);     // PCM
    PutU16(out, 1);     // channels
    PutU32(out, kRate); // samples per second
    PutU32(out, kRate); // bytes per second
    PutU16(out, 1);     // block align
    PutU16(out, 8);     // bits per sample
    out += "data";
    PutU32(out, static_cast<uint32_t>(samples.size()));
    out.append(samples.begin(), samples.end());
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: MakeFanfare OUTPUT.wav\n");
        return 2;
    }
    std::vector<double> mix(kSampleCount, 0.0);
    for (const TNote& note : kNotes) {
        AddNote(note, mix);
    }
    double peak = 0;
    for (double value : mix) {
        peak = std::max(peak, std::fabs(value));
    }
    std::vector<uint8_t> samples(kSampleCount);
    for (int i = 0; i < kSampleCount; ++i) {
        const double value = peak > 0 ? 0.9 * mix[i] / peak : 0;
        samples[i] = static_cast<uint8_t>(std::clamp(std::lround(128 + 127 * value), 0L, 255L));
    }
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    const std::string bytes = WaveFile(samples);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "MakeFanfare: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
