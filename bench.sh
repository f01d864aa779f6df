#!/bin/sh
# Builds in Release and prints load, draw and search timings: the frame table puts the reference
# and the prepared renderer side by side (demo and stress track, view distances 50, 128, 255 and
# the map view, objects hidden and shown) with the prepared frame under a 1 x 1 scissor, then how
# archive opening, texture lists and finder lookups grow (time for 4n over time for n), then a pick
# on the demo, then the first frame with and without glibc's heap trimming, then the peak memory of
# loading the demo and the stress track.
set -eu
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DDUNMERE_BUILD_SHELL=OFF -DBUILD_TESTING=ON
cmake --build build-bench -j"$(nproc)" \
    --target dunmere-bench dunmere-first-frame dunmere-peak-memory dunmere-makedemo \
    dunmere-data
bin=build-bench/bin
[ -f "$bin/samples/STRESS.POD" ] || "$bin/dunmere-makedemo" --stress "$bin/samples/STRESS.POD"
csv=build-bench/bench.csv
"$bin/dunmere-bench" --benchmark_filter='^(LoadTrack|RenderFrame|LocateMissing)' \
    --benchmark_format=csv "$@" >"$csv"
awk -F, -f scripts/bench-table.awk "$csv"
# The growth benchmarks carry counters of their own (time for n and for 4n, and the ratio), which
# the CSV writer cannot mix with the rows above.
"$bin/dunmere-bench" --benchmark_filter='^(OpenOverlapping|OpenAndLookUp|TextureList|FinderCached)' \
    --benchmark_counters_tabular=true "$@"
# A pick on the demo at view distance 255 (the target is 50 ms).
"$bin/dunmere-bench" --benchmark_filter='^Pick' "$@"
for distance in 50 128; do
    "$bin/dunmere-first-frame" "$bin/samples/STRESS.POD" "$distance"
    "$bin/dunmere-first-frame" "$bin/samples/STRESS.POD" "$distance" --trim-heap
done
"$bin/dunmere-peak-memory" "$bin/samples/DEMO.POD" "$bin/samples/STRESS.POD"
