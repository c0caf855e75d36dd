# shellcheck shell=bash
# Shared by the scripts that drive the viewer on a private X server (source it):
# start_session starts Xvfb (1600 x 1000) and openbox with a private profile and open-request
# channel under $work, and start_viewer starts the viewer; everything started is ended on exit.
# Needs Xvfb, openbox, xdotool and ImageMagick (scripts/install-deps.sh).

work=$(mktemp -d)
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
    echo "$(basename "$0"): $*" >&2
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

start_session() {
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
    DISPLAY=":$(head -n1 "$work/display")"
    export DISPLAY
    export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" HOME="$work"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset QT_QPA_PLATFORM QT_SCALE_FACTOR
    openbox >"$work/openbox.log" 2>&1 &
    pids+=($!)
    sleep 1
}

# start_viewer KEL: the viewer, listening for open requests.
start_viewer() {
    "$1" >"$work/kel.log" 2>&1 &
    pids+=($!)
    wait_for 20 test -S "$XDG_RUNTIME_DIR/kel-open-request-$(id -u)" || fail "the viewer did not start"
}

# open_scene KEL FILE: hands FILE to the running viewer and prints its main window's id.
open_scene() {
    local name
    name=$(basename "$2")
    timeout 10 "$1" --open-request "$2" || fail "the open request was not taken"
    wait_for 10 xdotool search --name "^ - ${name//./\\.}\$" || fail "$name did not open"
    xdotool search --name "^ - ${name//./\\.}\$" | head -n1
}

# window_named TITLE: the id of the window with exactly that title, once it is there.
window_named() {
    wait_for 10 xdotool search --name "^$1\$" || fail "no window \"$1\""
    xdotool search --name "^$1\$" | head -n1
}
