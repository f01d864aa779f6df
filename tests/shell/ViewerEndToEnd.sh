#!/bin/sh
# Starts the viewer on an archive inside a private X server, picks a track, drags the camera with
# the mouse and presses keys, and checks from screen grabs that a picture was drawn and changed;
# then takes a screenshot through the save dialog and checks the picture file. Every check waits
# for what it checks, within a limit that only a fault reaches, never for a fixed time.
#   ViewerEndToEnd.sh PROGRAM_FOLDER ARCHIVE
# Runs itself again under xvfb-run when no private display was prepared.
set -eu

if [ -z "${DUNMERE_E2E_DISPLAY:-}" ]; then
    export DUNMERE_E2E_DISPLAY=xvfb
    exec xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" sh "$0" "$@"
fi

program_folder=$1
archive=$2
work=$(mktemp -d)
viewer_pid=""
cleanup() {
    if [ -n "$viewer_pid" ]; then kill "$viewer_pid" 2>/dev/null || true; fi
    [ -n "${DUNMERE_E2E_KEEP:-}" ] && cp "$work"/*.png "$work"/*.JPG "$DUNMERE_E2E_KEEP"/ 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -f "$work/DunmereGL.log" ]; then cat "$work/DunmereGL.log" >&2; fi
    exit 1
}

# A home of this run's own: Qt's file dialog keeps its history there, and the caches and the
# sound library would write there too. The user's files stay untouched.
export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache"
export XDG_DATA_HOME="$HOME/.local/share" XDG_STATE_HOME="$HOME/.local/state"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# No sound server answers there: the viewer needs none, and starts none.
export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/no-sound-server"

# A copy of the program folder, so that the INI file written beside the program is this run's.
mkdir -p "$work/bin"
cp "$program_folder/dunmeregl" "$work/bin/"
cp -r "$program_folder/data" "$work/bin/"
[ -f "$program_folder/readme.txt" ] && cp "$program_folder/readme.txt" "$work/bin/"
cp "$archive" "$work/track.pod"

# Waits up to $2 seconds for a window named $1 and prints its id.
wait_window() {
    tries=0
    while [ $tries -lt $(($2 * 10)) ]; do
        id=$(xdotool search --name "$1" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
        tries=$((tries + 1))
    done
    return 1
}

# Runs the command "$2 ..." every tenth of a second until it succeeds, for up to $1 seconds.
poll() {
    deadline=$(($(date +%s) + $1))
    shift
    until "$@"; do
        [ "$(date +%s)" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

viewer_runs() {
    kill -0 "$viewer_pid" 2>/dev/null || fail "the viewer ended"
}

# The middle of the view in a grab, away from the menu and status bars, whose text has many
# colours of its own.
view_middle() {
    name=$1
    shift
    convert "$work/$name.png" -gravity center -crop 300x200+0+0 +repage "$@"
}

# A grab of the main window; prints the number of distinct colours in the middle of the view
# (0 when the window cannot be grabbed yet).
grab() {
    if import -window "$main" "$work/$1.png" 2>"$work/grab.err"; then
        view_middle "$1" -format "%k" info:
    else
        echo 0
    fi
}

# Prints how many hundredths of the middle of the view in a grab have its most common colour.
# Until the first frame is shown, the view holds what was on screen before: the flat face of
# the window or of the progress window.
largest_colour_share() {
    pixels=$(view_middle "$1" -format "%c" histogram:info:- | sort -rn | head -n 1)
    pixels=${pixels%%:*}
    echo $((${pixels:-60000} * 100 / 60000))
}

# Prints the number of pixels in which two grabs differ.
pixels_changed() {
    changed=$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 || true)
    changed=${changed%% *}
    changed=${changed%.*}
    echo "${changed:-0}"
}

# The view shows a drawn picture, and the same one twice in a row: the drawing after the open is
# over.
view_settled() {
    viewer_runs
    [ -f "$work/before.png" ] && mv "$work/before.png" "$work/previous.png"
    colours=$(grab before)
    colours=${colours:-0}
    [ "$colours" -gt 50 ] && [ "$(largest_colour_share before)" -lt 40 ] &&
        [ -f "$work/previous.png" ] && [ "$(pixels_changed previous before)" -eq 0 ]
}

# The view shows a picture that differs clearly from the one before the input.
view_changed() {
    viewer_runs
    colours_after=$(grab after)
    colours_after=${colours_after:-0}
    changed=$(pixels_changed before after)
    [ "$colours_after" -gt 50 ] && [ "$changed" -gt 1000 ]
}

log_tells_the_load() {
    grep -q "Opening track SIT" "$work/DunmereGL.log" 2>/dev/null
}

screenshot_readable() {
    viewer_runs
    identify -format "%m %w %h" "$work/shot.JPG" >"$work/shot.txt" 2>/dev/null &&
        [ "$(cat "$work/shot.txt")" = "JPEG 400 300" ]
}

cd "$work"
QT_QPA_PLATFORM=xcb "$work/bin/dunmeregl" -W400 -H300 "$work/track.pod" >"$work/viewer.out" 2>&1 &
viewer_pid=$!

# An archive with several tracks asks which one; the first line is chosen already, so Enter
# opens the first track.
if select=$(wait_window "Multiple SIT files found" 30); then
    xdotool windowfocus --sync "$select"
    xdotool key --clearmodifiers Return
fi
main=$(wait_window "Dunmere GL v.* - Dunmere Valley " 30) || fail "the first track was not opened"
xdotool windowfocus --sync "$main"

colours=0
if ! poll 30 view_settled; then
    [ "$colours" -gt 50 ] || fail "the view is blank ($colours colours) $(cat "$work/grab.err")"
    [ "$(largest_colour_share before)" -lt 40 ] || fail "the view was never drawn"
    fail "the view keeps changing while nothing happens"
fi

# Drag with the left button across the view to turn the camera, then toggle the objects and
# widen the view distance from the keyboard.
geometry=$(xdotool getwindowgeometry --shell "$main")
eval "$geometry"
cx=$((X + 200))
cy=$((Y + 160))
# The X server takes each xdotool's requests in turn, so the pointer is over the view before the
# button goes down, and each movement is an event of its own.
xdotool mousemove "$cx" "$cy"
xdotool mousedown 1
step=1
while [ $step -le 20 ]; do
    xdotool mousemove "$((cx + step * 6))" "$((cy + step * 2))"
    step=$((step + 1))
done
xdotool mouseup 1
xdotool key --clearmodifiers o KP_Add

colours_after=0
changed=0
poll 30 view_changed
[ "$colours_after" -gt 50 ] || fail "the view is blank after moving ($colours_after colours)"
[ "$changed" -gt 1000 ] || fail "the picture did not change ($changed pixels)"

poll 30 log_tells_the_load || fail "the log shows no track load"

# A screenshot as a user takes one: Ctrl+J, a name typed over the proposed one, Enter. The
# format's extension is added to the name.
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers ctrl+j
save=$(wait_window "Save As" 30) || fail "Ctrl+J opened no save dialog"
xdotool windowfocus --sync "$save"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "$work/shot"
xdotool key --clearmodifiers Return
# The file appears before its last byte is written: wait until it reads as the picture.
poll 30 screenshot_readable
[ -s "$work/shot.JPG" ] || fail "the screenshot was not written"
[ -s "$work/shot.txt" ] || fail "the screenshot is no picture"
[ "$(cat "$work/shot.txt")" = "JPEG 400 300" ] || fail "the screenshot is $(cat "$work/shot.txt")"
shot_colours=$(convert "$work/shot.JPG" -format "%k" info:)
[ "$shot_colours" -gt 50 ] || fail "the screenshot is blank ($shot_colours colours)"
kill -0 "$viewer_pid" || fail "the viewer ended after the screenshot"

# From here on the camera is read back from the INI file: Ctrl+<slot> stores it as
# "TransX|TransY|TransZ|Tilt|Heading|..." under the track's name.
ini="$work/bin/DunmereGL.ini"
location() {
    sed -n "s/^Dunmere Valley #$1 *= *//p" "$ini" 2>/dev/null | tr -d ' '
}
stored() {
    [ -n "$(location "$1")" ]
}
# Stores the camera in a slot not used before and prints its value.
store_camera() {
    xdotool key --clearmodifiers "ctrl+$1"
    poll 30 stored "$1" || fail "Ctrl+$1 stored no camera location"
    location "$1"
}
field() {
    echo "$1" | cut -d'|' -f"$2"
}
# Prints how far the camera went along its heading from value $1 to value $2, and sideways.
moved() {
    awk -v x0="$(field "$1" 1)" -v z0="$(field "$1" 3)" -v x1="$(field "$2" 1)" \
        -v z1="$(field "$2" 3)" -v h="$(field "$1" 5)" 'BEGIN {
        r = h * 3.14159265 / 180
        printf "%.3f %.3f\n", -(x1 - x0) * sin(r) + (z1 - z0) * cos(r),
            (x1 - x0) * cos(r) + (z1 - z0) * sin(r)
    }'
}
# True when the number $1 lies within $2 and $3.
between() {
    awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'
}
settle() {
    rm -f "$work/before.png" "$work/previous.png"
    poll 30 view_settled || fail "the view keeps changing while nothing happens ($1)"
}

xdotool windowfocus --sync "$main"
settle "before flying"
start=$(store_camera 1)
# Holding the up arrow flies forwards, along the heading, for as long as it is held.
xdotool keydown Up
poll 30 view_changed || { xdotool keyup Up; fail "holding the up arrow did not move the view"; }
xdotool keyup Up
settle "after flying"
flown=$(store_camera 2)
set -- $(moved "$start" "$flown")
between "$1" 0.03 100 || fail "the up arrow did not fly forwards ($start to $flown: $*)"
between "$2" -0.03 0.03 || fail "the up arrow flew sideways ($start to $flown: $*)"
flight="$1"

# One notch of the wheel away from the user: a quarter of a unit forwards.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove "$((X + 200))" "$((Y + 160))"
xdotool click 4
poll 30 view_changed || fail "the wheel did not move the view"
settle "after the wheel"
wheeled=$(store_camera 3)
set -- $(moved "$flown" "$wheeled")
between "$1" 0.22 0.28 || fail "the wheel did not move a quarter forwards ($flown to $wheeled)"

# The minimap (M) in the top right corner of the 400 x 300 view: 100 pixels square, 8 from the
# edges. Its pixel (25, 75) shows grid row 255 - 192 and column 64.
xdotool key --clearmodifiers m
poll 30 view_changed || fail "M showed no minimap"
settle "with the minimap"
view=$(xwininfo -tree -id "$main" | awk '$0 ~ /400x300\+/ { print $NF; exit }')
[ -n "$view" ] || fail "the 400 x 300 view was not found among the window's children"
view_x=$(echo "$view" | cut -d+ -f2)
view_y=$(echo "$view" | cut -d+ -f3)
xdotool mousemove "$((view_x + 292 + 25))" "$((view_y + 8 + 75))"
xdotool click 1
poll 30 view_changed || fail "a click on the minimap did not move the view"
settle "after the minimap click"
clicked=$(store_camera 4)
between "$(field "$clicked" 1)" 4.03 4.06 || fail "the minimap click went to $clicked, not row 63"
between "$(field "$clicked" 3)" 3.97 4.00 || fail "the minimap click went to $clicked, not column 64"

# File, Recent archives, the first entry opens the archive again.
loads_before=$(grep -c "Opening track SIT" "$work/DunmereGL.log")
xdotool key --clearmodifiers alt+f
xdotool key --clearmodifiers r
xdotool key --clearmodifiers 1
if select=$(wait_window "Multiple SIT files found" 30); then
    xdotool windowfocus --sync "$select"
    xdotool key --clearmodifiers Return
fi
reopened() {
    viewer_runs
    [ "$(grep -c "Opening track SIT" "$work/DunmereGL.log")" -gt "$loads_before" ]
}
poll 30 reopened || fail "the recent archive was not opened again"
grep -q "^File1 *= *$work/track.pod" "$ini" || fail "the INI file names no recent archive"

# Ctrl+Q ends the program the way closing the window does, once the load is over (a window
# that is loading a track refuses to close).
main=$(wait_window "Dunmere GL v.* - Dunmere Valley " 30) || fail "the reopened track is not shown"
xdotool windowfocus --sync "$main"
settle "after reopening"
xdotool key --clearmodifiers ctrl+q
viewer_ended() {
    ! kill -0 "$viewer_pid" 2>/dev/null
}
poll 30 viewer_ended || fail "Ctrl+Q did not end the viewer"
wait "$viewer_pid" 2>/dev/null || true
viewer_pid=""
grep -q "processing TFormMain.FormDestroy:" "$work/DunmereGL.log" ||
    fail "the viewer did not shut down cleanly"
echo "viewer drew $colours colours, then $colours_after; $changed pixels changed;" \
    "screenshot with $shot_colours colours; flew $flight forwards; minimap click to $clicked"
