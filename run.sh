#!/bin/sh
# Installs what the viewer needs, builds it and starts it on the demo track.
#   ./run.sh [more viewer arguments, e.g. -W1024 -H768]
set -eu
cd "$(dirname "$0")"

build=${DUNMERE_BUILD_DIR:-build}
sh scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "There is no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so the viewer cannot"
    echo "open its window. Without a window system, draw a track into an image file instead:"
    echo "    $build/bin/dunmeregl-cli render $build/bin/samples/DEMO.POD -o demo.png"
    exit 0
fi
exec "$build/bin/dunmeregl" "$build/bin/samples/DEMO.POD" "$@"
