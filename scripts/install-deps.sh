#!/bin/sh
# Installs the Debian packages Dunmere GL builds, tests and runs with.
# Does nothing when everything is present; runs apt-get update only when something is missing.
set -eu

PACKAGES="cmake g++ make pkg-config
qt6-base-dev libqt6opengl6-dev qt6-multimedia-dev
libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0
libpng-dev libjpeg62-turbo-dev libsimpleini-dev
libgtest-dev libgmock-dev libbenchmark-dev
xvfb xauth xdotool x11-utils imagemagick
clang-format"

missing=""
for p in $PACKAGES; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $p" ;;
    esac
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
