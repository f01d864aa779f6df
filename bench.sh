#!/bin/sh
# Builds in Release and prints load, draw and search timings: the frame table puts the reference
# and the prepared renderer side by side (demo, stress and dense track, view distances 50, 128,
# 255 and the map view, objects hidden and shown) with the prepared frame under a 1 x 1 scissor
# and its share of the full frame, then how archive opening, texture lists, finder lookups and
# whole loads by the tool grow (time for 4n over time for n), then a pick on the demo, then the
# first frame with and without glibc's heap trimming, then the peak memory of loading the demo,
# the stress and the dense track, and last what recording the demo's course to a video costs
# over drawing it.
set -eu
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DDUNMERE_BUILD_SHELL=OFF -DBUILD_TESTING=ON
cmake --build build-bench -j"$(nproc)" \
    --target dunmere-bench dunmeregl-cli dunmere-first-frame dunmere-peak-memory dunmere-record-bench \
    dunmere-makedemo \
    dunmere-data
bin=build-bench/bin
[ -f "$bin/samples/STRESS.POD" ] || "$bin/dunmere-makedemo" --stress "$bin/samples/STRESS.POD"
[ -f "$bin/samples/DENSE.POD" ] || "$bin/dunmere-makedemo" --dense "$bin/samples/DENSE.POD"
csv=build-bench/bench.csv
"$bin/dunmere-bench" --benchmark_filter='^(LoadTrack|RenderFrame|LocateMissing)' \
    --benchmark_format=csv "$@" >"$csv"
awk -F, -f scripts/bench-table.awk "$csv"
# The growth benchmarks carry counters of their own (time for n and for 4n, and the ratio), which
# the CSV writer cannot mix with the rows above.
"$bin/dunmere-bench" --benchmark_filter='^(OpenOverlapping|OpenAndLookUp|TextureList|FinderCached|CliLoad)' \
    --benchmark_counters_tabular=true "$@"
# A pick on the demo at view distance 255 (the target is 50 ms).
"$bin/dunmere-bench" --benchmark_filter='^Pick' "$@"
for distance in 50 128; do
    "$bin/dunmere-first-frame" "$bin/samples/STRESS.POD" "$distance"
    "$bin/dunmere-first-frame" "$bin/samples/STRESS.POD" "$distance" --trim-heap
done
"$bin/dunmere-peak-memory" "$bin/samples/DEMO.POD" "$bin/samples/STRESS.POD" \
    "$bin/samples/DENSE.POD"
"$bin/dunmere-record-bench" "$bin/samples/DEMO.POD" 20 30 1280x720
