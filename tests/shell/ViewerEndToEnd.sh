#!/bin/sh
# Starts the viewer on an archive inside a private X server, picks a track, drags the camera with
# the mouse and presses keys, and checks from screen grabs that a picture was drawn and changed;
# then takes a screenshot through the save dialog and checks the picture file.
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

# A grab of the main window; prints the number of distinct colours in it.
grab() {
    import -window "$main" "$work/$1.png"
    convert "$work/$1.png" -format "%k" info:
}

cd "$work"
QT_QPA_PLATFORM=xcb "$work/bin/dunmeregl" -W400 -H300 "$work/track.pod" >"$work/viewer.out" 2>&1 &
viewer_pid=$!

# An archive with several tracks asks which one; the first line is chosen already, so Enter
# opens the first track.
if select=$(wait_window "Multiple SIT files found" 10); then
    xdotool windowfocus --sync "$select"
    xdotool key --clearmodifiers Return
fi
main=$(wait_window "Dunmere GL v.* - Dunmere Valley " 30) || fail "the first track was not opened"
xdotool windowfocus --sync "$main"
sleep 2
kill -0 "$viewer_pid" || fail "the viewer ended"

colours=$(grab before)
[ "$colours" -gt 50 ] || fail "the view is blank ($colours colours)"

# Drag with the left button across the view to turn the camera, then toggle the objects and
# widen the view distance from the keyboard.
geometry=$(xdotool getwindowgeometry --shell "$main")
eval "$geometry"
cx=$((X + 200))
cy=$((Y + 160))
xdotool mousemove "$cx" "$cy"
sleep 0.2
xdotool mousedown 1
step=0
while [ $step -lt 20 ]; do
    xdotool mousemove "$((cx + step * 6))" "$((cy + step * 2))"
    sleep 0.03
    step=$((step + 1))
done
xdotool mouseup 1
xdotool key --clearmodifiers o KP_Add
sleep 2
kill -0 "$viewer_pid" || fail "the viewer ended"

colours_after=$(grab after)
[ "$colours_after" -gt 50 ] || fail "the view is blank after moving ($colours_after colours)"
changed=$(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1 || true)
changed=${changed%% *}
[ "${changed%.*}" -gt 1000 ] || fail "the picture did not change ($changed pixels)"

grep -q "Opening track SIT" "$work/DunmereGL.log" || fail "the log shows no track load"

# A screenshot as a user takes one: Ctrl+J, a name typed over the proposed one, Enter. The
# format's extension is added to the name.
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers ctrl+j
save=$(wait_window "Save As" 10) || fail "Ctrl+J opened no save dialog"
xdotool windowfocus --sync "$save"
sleep 0.5
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "$work/shot"
xdotool key --clearmodifiers Return
tries=0
while [ ! -s "$work/shot.JPG" ] && [ $tries -lt 100 ]; do
    sleep 0.1
    tries=$((tries + 1))
done
[ -s "$work/shot.JPG" ] || fail "the screenshot was not written"
sleep 0.5
identify -format "%m %w %h" "$work/shot.JPG" >"$work/shot.txt" || fail "the screenshot is no picture"
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
