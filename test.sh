#!/bin/sh
# Checks the source format, builds everything and runs every test, checks an install and the
# Debian package (scripts/check-package.sh), then runs the core and render tests and the fuzz
# regressions once more under AddressSanitizer and UndefinedBehaviorSanitizer, and last every
# fuzz target for a few seconds (clang, libFuzzer).
set -eu
cd "$(dirname "$0")"
started=$(date +%s)
# Each step says how far the run has got, so a slow step shows in the log of a long run.
step() { echo "test.sh: $* ($(($(date +%s) - started)) s so far)"; }
step "installing what is missing"
./scripts/install-deps.sh
step "checking the source format"
./scripts/check-format.sh
jobs=$(nproc)
# A compiler cache, where the machine has one, only makes rebuilds faster.
launcher=""
command -v ccache >/dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"

step "building"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo $launcher
cmake --build build -j"$jobs"
step "running the tests"
(cd build && ctest --output-on-failure -j"$jobs")
step "checking the install and the package"
./scripts/check-package.sh build

step "building with the sanitizers"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DDUNMERE_SANITIZE=ON \
    -DDUNMERE_BUILD_SHELL=OFF -DDUNMERE_BUILD_BENCH=OFF $launcher
cmake --build build-asan -j"$jobs"
step "running the core and render tests with the sanitizers"
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j"$jobs" -L 'core|render|fuzz')

step "running every fuzz target"
./scripts/fuzz.sh --smoke 5
step "done"
