#!/bin/sh
# Runs the libFuzzer targets of fuzz/ (built with clang in build-fuzz/).
#   scripts/fuzz.sh TARGET SECONDS     one target for that long, keeping what it learns in
#                                      build-fuzz/fuzz/corpus/TARGET
#   scripts/fuzz.sh --smoke SECONDS    every target for about that long each, from the seeds only;
#                                      fails on the first finding
#   scripts/fuzz.sh --list             the target names
# A finding is written to build-fuzz/fuzz/findings/TARGET/ and replays with
#   build-fuzz/bin/fuzz_TARGET FILE    (or build/bin/fuzz_replay_TARGET FILE)
set -eu
cd "$(dirname "$0")/.."

targets="pod sit lvl act raw bmp tga bin ini camera texture loadtrack"
usage() {
    echo "usage: scripts/fuzz.sh TARGET SECONDS | --smoke SECONDS | --list" >&2
    exit 2
}
[ $# -ge 1 ] || usage
if [ "$1" = "--list" ]; then
    echo "$targets"
    exit 0
fi
[ $# -eq 2 ] || usage
case "$2" in '' | *[!0-9]*) usage ;; esac
seconds=$2

build=build-fuzz
launcher=""
command -v ccache >/dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DDUNMERE_FUZZ=ON -DDUNMERE_BUILD_SHELL=OFF \
    -DDUNMERE_BUILD_BENCH=OFF $launcher >/dev/null
cmake --build "$build" -j"$(nproc)" --target dunmere-fuzz

# The readers take files, so every input is written to one first; in a memory-backed folder a
# run is several times faster.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"

# run TARGET SECONDS CORPUS: the corpus folder comes first, so only it receives new inputs.
run() {
    findings="$build/fuzz/findings/$1"
    mkdir -p "$findings" "$3"
    regressions=""
    [ -d "fuzz/regressions/$1" ] && regressions="fuzz/regressions/$1"
    # Mesa keeps memory for the whole process that the leak check would take for a leak of one
    # input; the core targets keep the check.
    leaks=1
    case "$1" in texture | loadtrack) leaks=0 ;; esac
    ASAN_OPTIONS="detect_leaks=$leaks${ASAN_OPTIONS:+:$ASAN_OPTIONS}" \
        "$build/bin/fuzz_$1" -max_total_time="$2" -timeout=20 -rss_limit_mb=2048 \
        -detect_leaks="$leaks" -print_final_stats=1 -artifact_prefix="$findings/" \
        "$3" "$build/fuzz/seeds/$1" $regressions
}

if [ "$1" = "--smoke" ]; then
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    for target in $targets; do
        echo "=== fuzz_$target, $seconds s"
        run "$target" "$seconds" "$scratch/$target" >"$scratch/$target.log" 2>&1 || {
            cat "$scratch/$target.log" >&2
            echo "fuzz_$target found a fault; the input is in $build/fuzz/findings/$target/" >&2
            exit 1
        }
        grep -E '^stat::number_of_executed_units' "$scratch/$target.log" || true
    done
    exit 0
fi

case " $targets " in *" $1 "*) ;; *) usage ;; esac
run "$1" "$seconds" "$build/fuzz/corpus/$1"
