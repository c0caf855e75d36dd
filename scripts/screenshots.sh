#!/usr/bin/env bash
# Renews the screenshots in docs/ from the viewer running on a private Xvfb server under
# openbox. Usage: scripts/screenshots.sh PATH/TO/kel [OUT_DIR (default docs)]
set -euo pipefail
kel=$(realpath "$1")
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/xvfb-session.sh
. "$here/scripts/xvfb-session.sh"
out=$(realpath -m "${2:-$here/docs}")
mkdir -p "$out/dialogs"

start_session
cp "$here"/examples/*.kel "$here"/examples/*.obj "$work/"
start_viewer "$kel"
window=$(open_scene "$kel" "$work/room.kel")
xdotool windowactivate --sync "$window"
settle() { sleep 1; }

# The document window maximised inside the main window, in Phong.
xdotool key alt+v p
settle
import -window "$window" "$out/screenshot-phong.png"

# A dialog: open it with its keys, capture it, close it with Escape.
dialog() {
    local keys=$1 title=$2 file=$3
    # shellcheck disable=SC2086
    xdotool key $keys
    local id
    id=$(window_named "$title")
    settle
    import -window "$id" "$out/dialogs/$file"
    xdotool key Escape
    wait_for 10 sh -c "! xdotool search --name '^$title\$'" || fail "$title did not close"
}
dialog "alt+o c" "Camera" camera.png
dialog "alt+o Down Return" "Frustum" frustum.png
dialog "alt+o a" "Ambient Light" ambient.png
dialog "alt+o l" "Lighting" light.png

# The tree beside the image in Gouraud: Light and the objects opened from the keyboard.
xdotool key alt+v g
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --window "$window" 60 $((HEIGHT - 60)) click 1
xdotool key Home Down Down Right End Right Down Right
settle
import -window "$window" "$out/screenshot-tree.png"

# The property sheet of the first object, from a double-click on it, page by page.
xdotool mousemove --window "$window" 72 213 click --repeat 2 --delay 80 1
sheet=$(window_named "floor.obj")
for page in transforms surface color vertices; do
    settle
    import -window "$sheet" "$out/dialogs/sheet_$page.png"
    xdotool key ctrl+Tab
done
xdotool key Escape
