// The track and palettes the load and frame benchmarks share, kept from one load to the next as a
// track session keeps them. Apart from the benchmarks, whose archive writers bring a palette type
// of their own.
#pragma once

class TPalettePool;
struct TTrackData;

TTrackData& BenchTrack();
TPalettePool& BenchPalettes();
