# Shared by the window tests: a private X server (Xvfb) for the test, torn down on exit, and
# helpers to find windows and wait for conditions. Source it after setting `work` (a temporary
# folder the test owns). Exits 77 (skipped) when Xvfb or xdotool is missing.

gui_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
xserver_pid=
background_pids=()

stop_background() {
    local pid
    for pid in "${background_pids[@]}"; do kill -9 "$pid" 2> /dev/null; done
    [ -n "$xserver_pid" ] && kill "$xserver_pid" 2> /dev/null
    [ -n "$xserver_pid" ] && wait "$xserver_pid" 2> /dev/null
    rm -rf "$work"
}
trap stop_background EXIT

# Starts Xvfb on a free display. With -retro the root shows its weave, so an area a window
# leaves unpainted is told apart from one painted black. -noreset keeps the server from
# resetting (and refusing connections) whenever its last client leaves.
start_xserver() {
    if ! command -v Xvfb > /dev/null || ! command -v xdotool > /dev/null; then
        echo "Xvfb or xdotool is not installed"
        exit 77
    fi
    local display_file="$work/display"
    : > "$display_file"
    Xvfb -displayfd 3 -retro -noreset -nolisten tcp -screen 0 1280x1024x24 3> "$display_file" \
        > "$work/xvfb.log" 2>&1 &
    xserver_pid=$!
    local tries=0
    until [ -s "$display_file" ]; do
        tries=$((tries + 1))
        if [ $tries -gt 200 ] || ! kill -0 "$xserver_pid" 2> /dev/null; then
            echo "Xvfb did not start:"
            cat "$work/xvfb.log"
            exit 1
        fi
        sleep 0.05
    done
    export DISPLAY=":$(head -n 1 "$display_file")"
    unset WAYLAND_DISPLAY SDL_VIDEODRIVER
    # Leaks inside the system's D-Bus library (opened by SDL for the input method) are not ours.
    export LSAN_OPTIONS="suppressions=$gui_dir/common/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
}

# Polls COMMAND (a string for eval) every 0.1 s until it succeeds; fails after SECONDS.
wait_until() {
    local seconds=$1
    shift
    local tries=$((seconds * 10))
    until eval "$@"; do
        tries=$((tries - 1))
        [ $tries -le 0 ] && return 1
        sleep 0.1
    done
}

# The id of the viewable top-level window with exactly this title; empty when there is none.
window_named() {
    "$probe" windows | awk -v name="$1" '{ id = $1; $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); if ($0 == name) { print id; exit } }'
}

# "X Y WIDTH HEIGHT" of a window.
window_geometry() {
    "$probe" windows | awk -v id="$1" '$1 == id { print $2, $3, $4, $5; exit }'
}
