#!/bin/sh
# Checks an install of a build as a user receives it: installs into a scratch folder, runs the
# installed programs on the installed demo, validates the desktop entry, AppStream data, MIME
# type and manual pages, and builds the Debian package and checks it with dpkg-deb and lintian.
# Works as root and as any other user; leaves nothing behind.
#   scripts/check-package.sh [BUILD_FOLDER]     (default: build)
set -eu
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
app=org.dunmere.DunmereGL
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

scratch=$(mktemp -d "${TMPDIR:-/tmp}/dunmere-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
trap 'exit 1' INT TERM HUP
fail() {
    echo "check-package: $*" >&2
    exit 1
}
step() { echo "check-package: $*"; }

# The programs read and write settings under HOME: give them one of their own.
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config"
mkdir -p "$HOME"

step "installing into a scratch DESTDIR"
DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr >"$scratch/install.log"
usr="$scratch/root/usr"

step "running the installed programs"
[ "$("$usr/bin/dunmeregl-cli" --version)" = "dunmeregl-cli (Dunmere GL) $version" ] ||
    fail "installed dunmeregl-cli --version does not print $version"
[ "$("$usr/bin/dunmeregl" --version)" = "dunmeregl (Dunmere GL) $version" ] ||
    fail "installed dunmeregl --version does not print $version"
# The installed tool has to find the viewer's own files through the installed links: then its
# picture of the installed demo is the build's, pixel for pixel, with the same (empty) settings.
: >"$scratch/empty.ini"
"$usr/bin/dunmeregl-cli" render "$usr/share/dunmeregl/samples/DEMO.POD" --ini "$scratch/empty.ini" \
    -o "$scratch/installed.png" >/dev/null
"$build/bin/dunmeregl-cli" render "$build/bin/samples/DEMO.POD" --ini "$scratch/empty.ini" \
    -o "$scratch/built.png" >/dev/null
cmp -s "$scratch/installed.png" "$scratch/built.png" ||
    fail "the installed tool draws the demo differently from the build"
"$usr/bin/dunmeregl-cli" assets "$usr/share/dunmeregl/samples/DEMO.POD" >"$scratch/assets.txt"
if grep "	missing	" "$scratch/assets.txt"; then
    fail "the installed tool misses the files above"
fi
"$usr/bin/dunmeregl-cli" load "$usr/share/dunmeregl/samples/DEMO.POD" >/dev/null
[ ! -e "$usr/lib/dunmeregl/DunmereGL.ini" ] || fail "the settings were written into the install"
[ -d "$XDG_CONFIG_HOME/DunmereGL" ] || fail "the installed tool did not use the user's folder"

step "validating the desktop entry, the AppStream data and the MIME type"
desktop-file-validate "$usr/share/applications/$app.desktop"
appstreamcli validate --no-net --explain "$usr/share/metainfo/$app.metainfo.xml"
cp -R "$usr/share/mime" "$scratch/mime"
XDG_DATA_DIRS="$scratch" update-mime-database "$scratch/mime" 2>"$scratch/mime.err"
[ ! -s "$scratch/mime.err" ] || fail "update-mime-database: $(cat "$scratch/mime.err")"
grep -qx "50:application/x-quarrix-pod:\*.pod" "$scratch/mime/globs2" ||
    fail "the POD archive type does not claim *.pod in any letter case"
grep -aq "application/x-quarrix-pod" "$scratch/mime/magic" ||
    fail "the POD archive type has no content check"
for size in 16 24 32 48 64 128 256; do
    png="$usr/share/icons/hicolor/${size}x${size}/apps/$app.png"
    file -b "$png" | grep -q "PNG image data, $size x $size" || fail "$png is not $size pixels"
done

step "rendering the manual pages"
for page in dunmeregl dunmeregl-cli; do
    MANWIDTH=100 man --warnings -l "$usr/share/man/man1/$page.1.gz" >"$scratch/$page.txt" \
        2>"$scratch/$page.err"
    [ ! -s "$scratch/$page.err" ] || fail "man $page: $(cat "$scratch/$page.err")"
    for section in NAME SYNOPSIS DESCRIPTION FILES; do
        grep -q "^$section" "$scratch/$page.txt" || fail "man $page has no $section section"
    done
done
for command in entries tracks extract load assets export map render help; do
    grep -q "^ *$command " "$scratch/dunmeregl-cli.txt" || fail "man dunmeregl-cli misses $command"
done

step "building the Debian package"
(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/package" \
    >"$scratch/cpack.log") || fail "cpack failed: $(cat "$scratch/cpack.log")"
deb=$(ls "$scratch"/package/*.deb)
dpkg-deb --info "$deb" >"$scratch/info.txt"
for field in "Package: dunmeregl" "Version: $version" "Section: graphics" \
    "Depends: .*libqt6widgets6" "Depends: .*libglu1-mesa" "Maintainer: .*@"; do
    grep -q "^ $field" "$scratch/info.txt" || fail "the package's control lacks $field"
done
# The package holds what the install does, links included.
dpkg-deb --contents "$deb" |
    awk '{ kind = substr($1, 1, 1); sub(/^\.\//, "", $6); sub(/\/$/, "", $6);
           if ($6 != "") print (kind == "-" ? "f" : kind), $6 }' | sort >"$scratch/package.list"
find "$scratch/root" -mindepth 1 -printf '%y %P\n' | sort >"$scratch/install.list"
diff "$scratch/install.list" "$scratch/package.list" ||
    fail "the package and the install hold different files"

step "lintian"
# Exit status 0 means no errors; warnings and notes are shown and listed in the README.
lintian --fail-on error --tag-display-limit 0 "$deb"
step "all checks passed"
