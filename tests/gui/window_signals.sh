#!/usr/bin/env bash
# Termination signals in a window: SIGTERM, SIGINT and SIGHUP stop the program as its end does
# (also one that waits for a typed line), the window goes, and the status is the signal's.
set -u
set -m  # background jobs of their own, so that they take SIGINT
kavrun=$1
probe=$3
work=$(mktemp -d)
source "$(dirname "$0")/common/xserver.bash"
start_xserver

printf '10 N = N + 1\n20 GOTO 10\n' > "$work/looping.bas"
printf '10 INPUT "name"; A$\n20 PRINT A$\n' > "$work/asking.bas"
failed=0
for case in looping:TERM asking:INT looping:HUP; do
    program=${case%%:*}
    signal=${case##*:}
    "$kavrun" "$work/$program.bas" > "$work/out.txt" 2>&1 &
    pid=$!
    background_pids+=("$pid")
    wait_until 20 '[ -n "$(window_named "$program")" ]' || { echo "no window for $program"; exit 1; }
    sleep 0.3
    kill -s "$signal" "$pid"
    if ! wait_until 4 '! kill -0 "$pid" 2> /dev/null'; then
        echo "FAILED: SIG$signal: $program did not end at once"
        failed=1
        continue
    fi
    wait "$pid"
    status=$?
    expected=$((128 + $(kill -l "$signal")))
    [ "$status" = "$expected" ] || { echo "FAILED: SIG$signal: status $status, expected $expected"; failed=1; }
    [ -s "$work/out.txt" ] && { echo "FAILED: SIG$signal: output:"; cat "$work/out.txt"; failed=1; }
    wait_until 5 '[ -z "$(window_named "$program")" ]' || { echo "FAILED: the window outlived kavrun"; failed=1; }
done
exit $failed
