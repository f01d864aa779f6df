#include "bench/BenchTrack.h"

#include "core/formats/PalettePool.h"
#include "core/track/TrackData.h"

#include <memory>

TTrackData& BenchTrack() {
    static const std::unique_ptr<TTrackData> track = std::make_unique<TTrackData>();
    return *track;
}

TPalettePool& BenchPalettes() {
    static TPalettePool palettes;
    return palettes;
}
