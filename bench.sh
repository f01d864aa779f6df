#!/bin/sh
# Builds in Release and prints one table of load, draw and search timings, then the peak memory of
# loading the demo and the stress track.
set -eu
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DDUNMERE_BUILD_SHELL=OFF -DBUILD_TESTING=ON
cmake --build build-bench -j"$(nproc)" --target dunmere-bench dunmere-peak-memory \
    dunmere-makedemo dunmere-data
bin=build-bench/bin
[ -f "$bin/samples/STRESS.POD" ] || "$bin/dunmere-makedemo" --stress "$bin/samples/STRESS.POD"
"$bin/dunmere-bench" --benchmark_counters_tabular=true
"$bin/dunmere-peak-memory" "$bin/samples/DEMO.POD" "$bin/samples/STRESS.POD"
