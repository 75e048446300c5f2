# Shared by the window tests (sourced): an Xvfb display of their own, kavrun in a real window,
# and the waits that keep the tests free of timing assumptions. Exit 77 skips a test.
set -u
kavrun=$1
probe=${3:-}
helpers=$(dirname "$kavrun")/tests

skip() {
    echo "SKIP: $*"
    exit 77
}
fail() {
    echo "FAIL: $*"
    [ -f "$work/out" ] && { echo "--- standard output"; cat "$work/out"; }
    [ -f "$work/err" ] && { echo "--- standard error"; cat "$work/err"; }
    exit 1
}

command -v Xvfb > /dev/null || skip "Xvfb is not installed"
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
command -v xdotool > /dev/null || skip "xdotool is not installed"

work=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2> /dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Polls a command until it succeeds; false after 20 seconds.
wait_until() {
    for _ in $(seq 200); do
        "$@" > /dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# An X server on a display number it chooses itself.
start_display() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$work/display" 2> /dev/null &
    xvfb_pid=$!
    wait_until test -s "$work/display" || skip "Xvfb did not start"
    export DISPLAY=":$(head -n 1 "$work/display")"
    wait_until xdotool getdisplaygeometry || skip "the Xvfb display does not answer"
}

# Writes the program NAME.bas from standard input and starts it in a window with --dump-text.
start_program() {
    local name=$1
    shift
    cat > "$work/$name.bas"
    (cd "$work" && XDG_CONFIG_HOME="$work/config" exec "$kavrun" --dump-text "$@" "$name.bas" \
        > "$work/out" 2> "$work/err") &
    program_pid=$!
}

# Sets id to the program's visible window (its title is the program's name) and focuses it.
# Not meant for $(...): fail must end the test itself, not a subshell.
window_of() {
    id=$(timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1)
    [ -n "$id" ] || fail "no window named $1"
    xdotool windowfocus --sync "$id" 2> /dev/null || xdotool windowfocus "$id"
}

# Waits until the window has the size a WINDOW statement of the program gave it: the program
# has reached the statement after it.
wait_for_size() {
    local id=$1 size=$2
    wait_until sh -c "xdotool getwindowgeometry $id | grep -q 'Geometry: $size\$'" \
        || fail "the window never became $size"
}

# Waits until the caret blinks in the top text line of window ID (WIDTH pixels wide): an INPUT
# waits for keys, so nothing typed from now on is taken for a key pressed before the INPUT.
# The blink is seen as the line going back to a look it had before the last change.
wait_for_caret() {
    local id=$1 width=$2 seen="" now
    for _ in $(seq 300); do
        now=$("$probe" count "$id" 0 0 "$width" 16 0x000000 2> /dev/null) || now=""
        if [ -n "$now" ] && [ "${seen##* }" != "$now" ]; then
            case " $seen " in *" $now "*) return 0 ;; esac
            seen="$seen $now"
        fi
        sleep 0.1
    done
    fail "no caret blinked in the window"
}

# Waits for the program to end; its exit status is in $status.
wait_for_exit() {
    for _ in $(seq 300); do
        kill -0 "$program_pid" 2> /dev/null || break
        sleep 0.1
    done
    kill -0 "$program_pid" 2> /dev/null && fail "the program did not end"
    wait "$program_pid"
    status=$?
    program_pid=""
}

expect_output() {
    grep -qF -- "$1" "$work/out" || fail "standard output lacks: $1"
}
