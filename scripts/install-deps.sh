#!/bin/sh
# Installs the Debian packages Dunmere GL builds, tests and runs with, and makes the German
# locale that the number tests switch to.
# Does nothing when everything is present; runs apt-get update only when something is missing.
set -eu

# fonts-dejavu-core: the faces the window tests measure text with. locales: the German locale
# below. stress-ng: a CPU hog for running the tests under load. libtinygltf-dev and
# nlohmann-json3-dev: the glTF export. nodejs (with npm): the build installs the Khronos glTF
# validator with npm into build/node/, and the export tests run it. librsvg2-bin: the build draws
# the icon's sizes from its SVG. help2man: the manual pages are made from --help. The rest check
# an install and build the Debian package (scripts/check-package.sh): dpkg-dev (dpkg-shlibdeps,
# for the package's Depends), file (what CPack asks about each binary), lintian, appstream,
# desktop-file-utils, shared-mime-info, man-db.
# The libav*-dev packages: recording fly-throughs (H.264, VP9); ffmpeg: its ffprobe checks the
# recordings in the tests.
PACKAGES="cmake g++ make pkg-config
qt6-base-dev libqt6opengl6-dev qt6-multimedia-dev
libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0
libpng-dev libjpeg62-turbo-dev libsimpleini-dev
libgtest-dev libgmock-dev libbenchmark-dev
xvfb xauth xdotool x11-utils imagemagick
clang-format fonts-dejavu-core locales stress-ng
clang libclang-rt-14-dev
libtinygltf-dev nlohmann-json3-dev nodejs
librsvg2-bin help2man dpkg-dev file lintian appstream desktop-file-utils shared-mime-info man-db
libavcodec-dev libavformat-dev libavutil-dev libswscale-dev ffmpeg"

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

missing=""
for p in $PACKAGES; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $p" ;;
    esac
done

# Some builds of nodejs bring npm along, and Debian's npm would replace them: it is asked for
# only where no npm is found.
command -v npm >/dev/null 2>&1 || missing="$missing npm"

if [ -n "$missing" ]; then
    echo "Installing:$missing"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi

# Listed in /etc/locale.gen, so that a later locale-gen keeps it.
if ! locale -a | grep -qix 'de_DE\.utf-\{0,1\}8'; then
    echo "Generating the locale de_DE.UTF-8"
    if grep -q '^# *de_DE\.UTF-8 UTF-8' /etc/locale.gen; then
        $SUDO sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    elif ! grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen; then
        echo "de_DE.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
    fi
    $SUDO locale-gen
fi
