#!/usr/bin/env bash
# Ending kavrun (SIGTERM, as when the session ends) while an error box blocks the program: the
# box ends as if answered, the program stops as at its end, and the process ends at once with
# the signal's status, taking the box and the window with it.
set -u
kavrun=$1
probe=$3
work=$(mktemp -d)
source "$(dirname "$0")/common/xserver.bash"
start_xserver

printf 'CHAIN "next"\n' > "$work/closing.bas"
"$kavrun" "$work/closing.bas" > "$work/out.txt" 2>&1 &
run_pid=$!
background_pids+=("$run_pid")
wait_until 20 '[ -n "$(window_named "Basic - Error")" ]' || { echo "no error box"; exit 1; }
[ -n "$(window_named closing)" ] || { echo "no program window"; exit 1; }

kill -TERM "$run_pid"
wait_until 4 '! kill -0 "$run_pid" 2> /dev/null' || { echo "kavrun did not end at once"; exit 1; }
wait "$run_pid"
status=$?
failed=0
[ "$status" = 143 ] || { echo "FAILED: exit status $status, expected 143"; failed=1; }
[ -s "$work/out.txt" ] && { echo "FAILED: standard error was written"; failed=1; }
gone() { [ -z "$(window_named "Basic - Error")" ] && [ -z "$(window_named closing)" ]; }
wait_until 10 gone || { echo "FAILED: the box or the window outlived the process"; failed=1; }
[ $failed = 0 ] || cat "$work/out.txt"
exit $failed
