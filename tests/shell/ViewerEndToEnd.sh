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
kill "$viewer_pid"
wait "$viewer_pid" 2>/dev/null || true
viewer_pid=""
grep -q "processing TFormMain.FormDestroy:" "$work/DunmereGL.log" ||
    fail "the viewer did not shut down cleanly"
echo "viewer drew $colours colours, then $colours_after; $changed pixels changed;" \
    "screenshot with $shot_colours colours"
