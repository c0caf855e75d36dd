#!/usr/bin/env bash
# Smoke test of the viewer on a real X server with a window manager: opens a scene through
# the desktop's open request, switches to Gouraud, sets the ambient level through
# Options > Ambience... with the keyboard, and checks that the picture changed.
# Usage: scripts/smoke-xvfb.sh PATH/TO/kel [SHOTS_DIR]
# Needs Xvfb, openbox, xdotool and ImageMagick's import (scripts/install-deps.sh).
set -euo pipefail
kel=$(realpath "$1")
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
shots=${2:-$work}
mkdir -p "$shots"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "smoke-xvfb: $*" >&2
    exit 1
}

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local limit=$1
    shift
    local end=$((SECONDS + limit))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.2
    done
}

# A private X server, profile and open-request channel, so nothing meets another session.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" HOME="$work"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

cp "$here"/examples/cube.kel "$here"/examples/cube.obj "$work/"
"$kel" >"$work/kel.log" 2>&1 &
pids+=($!)
wait_for 20 test -S "$XDG_RUNTIME_DIR/kel-open-request" || fail "the viewer did not start"

# The desktop hands the file to the running viewer; this second process ends at once.
timeout 10 "$kel" --open-request "$work/cube.kel" || fail "the open request was not taken"
wait_for 10 xdotool search --name '^ - cube\.kel$' || fail "the scene did not open"
window=$(xdotool search --name '^ - cube\.kel$' | head -n1)

# The main window is on the screen.
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + WIDTH)) -le 1600 ] && [ $((Y + HEIGHT)) -le 1000 ] ||
    fail "the main window (${WIDTH}x${HEIGHT}+$X+$Y) is not inside the screen"

xdotool windowactivate --sync "$window"
xdotool mousemove --window "$window" $((WIDTH / 2)) $((HEIGHT / 2)) click 1
xdotool key alt+v g          # View > Gouraud
sleep 1
import -window root "$shots/before.png"
sleep 0.5
import -window root "$work/before-again.png"

xdotool key alt+o a          # Options > Ambience...
wait_for 10 xdotool search --name '^Ambient Light$' || fail "the Ambient Light dialog did not open"

import -window root "$shots/ambient-dialog.png"
# The field has the focus with its text selected: typing replaces it, Enter is OK.
xdotool type --delay 50 "0.9"
xdotool key Return
wait_for 10 sh -c "! xdotool search --name '^Ambient Light$'" || fail "Enter did not close the dialog"
sleep 1
import -window root "$shots/after.png"

# ImageMagick's compare exits 0 for identical pixels and 1 for different ones.
same() { compare -metric AE "$1" "$2" null: 2>/dev/null; }
same "$shots/before.png" "$work/before-again.png" || fail "the picture is not steady"
same "$shots/before.png" "$shots/after.png" && fail "the picture did not change after the edit"
grep -q "0.9" "$work/cube.kel" && fail "the scene file was written without being saved"
echo "smoke-xvfb: the ambient edit was rendered"
