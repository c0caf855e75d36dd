#!/usr/bin/env bash
# Smoke test of the viewer on a real X server with a window manager: opens a scene through
# the desktop's open request, switches to Gouraud, sets the ambient level through
# Options > Ambience... with the keyboard, and checks that the picture changed.
# Usage: scripts/smoke-xvfb.sh PATH/TO/kel [SHOTS_DIR]
# Needs Xvfb, openbox, xdotool and ImageMagick's import (scripts/install-deps.sh).
set -euo pipefail
kel=$(realpath "$1")
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/xvfb-session.sh
. "$here/scripts/xvfb-session.sh"
shots=${2:-$work}
mkdir -p "$shots"

start_session
cp "$here"/examples/cube.kel "$here"/examples/cube.obj "$work/"
start_viewer "$kel"
# The desktop hands the file to the running viewer; that second process ends at once.
window=$(open_scene "$kel" "$work/cube.kel")

# The main window is on the screen.
eval "$(xdotool getwindowgeometry --shell "$window")"
if [ "$X" -lt 0 ] || [ "$Y" -lt 0 ] || [ $((X + WIDTH)) -gt 1600 ] || [ $((Y + HEIGHT)) -gt 1000 ]; then
    fail "the main window (${WIDTH}x${HEIGHT}+$X+$Y) is not inside the screen"
fi

xdotool windowactivate --sync "$window"
xdotool mousemove --window "$window" $((WIDTH / 2)) $((HEIGHT / 2)) click 1
xdotool key alt+v g          # View > Gouraud
sleep 1
import -window root "$shots/before.png"
sleep 0.5
import -window root "$work/before-again.png"

xdotool key alt+o a          # Options > Ambience...
window_named "Ambient Light" >/dev/null

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
