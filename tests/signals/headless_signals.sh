#!/usr/bin/env bash
# Termination signals in headless mode: SIGTERM, SIGINT and SIGHUP stop a looping program as
# its end does; the whole transcript written so far reaches standard output (a file, where it
# is buffered), and the status is the signal's (128 + its number). A program waiting for input
# on a pipe that never ends stops too.
set -u
set -m  # background jobs of their own, so that they take SIGINT (a script's would ignore it)
kavrun=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=1; }

# Waits up to $1 tenths of a second for process $2 to end.
ended_within() {
    local k
    for ((k = 0; k < $1; ++k)); do
        kill -0 "$2" 2> /dev/null || return 0
        sleep 0.1
    done
    return 1
}

# Waits up to 30 seconds until process $1 has its signal handlers in place and has then run
# for half a second of processor time, so that the signal finds the program running whatever
# the machine's load (a signal before the handlers would end it by the default action).
running() {
    local pid=$1 k base=""
    local half=$(($(getconf CLK_TCK) / 2))
    for ((k = 0; k < 300; ++k)); do
        local caught ticks
        caught=$(awk '/^SigCgt:/ { print $2 }' "/proc/$pid/status" 2> /dev/null) || return 1
        ticks=$(sed 's/.*) //' "/proc/$pid/stat" 2> /dev/null | awk '{ print $12 + $13 }')
        [ -n "$caught" ] && [ -n "$ticks" ] || return 1
        if (((0x$caught & 0x4003) == 0x4003)); then  # SIGTERM, SIGINT and SIGHUP
            [ -z "$base" ] && base=$ticks
            ((ticks - base >= half)) && return 0
        fi
        sleep 0.1
    done
    return 1
}

# 2000 lines (far less than the transcript's buffer), then a loop that prints nothing more.
printf '10 FOR I = 1 TO 2000\n20 PRINT I\n30 NEXT\n40 PRINT "looping"\n50 GOTO 50\n' > "$work/loop.bas"
{ seq 1 2000 | sed 's/^/ /'; echo looping; } > "$work/loop.expected"
for signal in TERM INT HUP; do
    out="$work/loop-$signal.txt"
    "$kavrun" --headless "$work/loop.bas" < /dev/null > "$out" 2> "$work/err.txt" &
    pid=$!
    running "$pid" || fail "SIG$signal: kavrun did not get going"
    kill -s "$signal" "$pid"
    ended_within 50 "$pid" || { fail "SIG$signal: kavrun did not end"; kill -KILL "$pid"; }
    wait "$pid"
    status=$?
    expected=$((128 + $(kill -l "$signal")))
    [ "$status" = "$expected" ] || fail "SIG$signal: exit status $status, expected $expected"
    cmp -s "$work/loop.expected" "$out" || fail "SIG$signal: transcript of $(wc -l < "$out") lines"
    [ -s "$work/err.txt" ] && fail "SIG$signal: standard error: $(cat "$work/err.txt")"
done

# Printed and played, then looping: the print job reaches the --printer PDF file and the
# --audio recording is closed with its sizes, as at the program's end.
printf '10 LPRINT "printed before signal"\n20 PLAY "C"\n30 GOTO 30\n' > "$work/devices.bas"
"$kavrun" --headless --printer "$work/p.pdf" --audio "$work/a.wav" "$work/devices.bas" \
    < /dev/null > /dev/null 2> "$work/err.txt" &
pid=$!
for ((k = 0; k < 300; ++k)); do  # the note sounds once the recording grows
    [ "$(stat -c %s "$work/a.wav" 2> /dev/null || echo 0)" -gt 10000 ] && break
    sleep 0.1
done
kill -TERM "$pid"
ended_within 50 "$pid" || { fail "devices: kavrun did not end"; kill -KILL "$pid"; }
wait "$pid"
status=$?
[ "$status" = 143 ] || fail "devices: exit status $status, expected 143"
[ -s "$work/err.txt" ] && fail "devices: standard error: $(cat "$work/err.txt")"
pdftotext "$work/p.pdf" - 2> /dev/null | grep -qx "printed before signal" ||
    fail "devices: the PDF file of $(stat -c %s "$work/p.pdf") bytes lacks the printed line"
size=$(stat -c %s "$work/a.wav")
le32() { od -An -tu4 --endian=little -j "$1" -N4 "$work/a.wav" | tr -d ' '; }
riff=$(le32 4)
data=$(le32 40)
[ "$size" -gt 44 ] && [ "$riff" = $((size - 8)) ] && [ "$data" = $((size - 44)) ] ||
    fail "devices: a WAV file of $size bytes says RIFF $riff, data $data"

# Printing all the time: the statement running when the signal comes is not half shown.
printf '10 N = N + 1\n20 PRINT N\n30 GOTO 10\n' > "$work/count.bas"
"$kavrun" --headless "$work/count.bas" < /dev/null > "$work/count.txt" 2> /dev/null &
pid=$!
running "$pid" || fail "printing: kavrun did not get going"
kill -TERM "$pid"
wait "$pid"
lines=$(wc -l < "$work/count.txt")
seq 1 "$lines" | sed 's/^/ /' | cmp -s - "$work/count.txt" ||
    fail "printing: the transcript is not 1..$lines: $(tail -c 20 "$work/count.txt" | od -c | head -2)"

# Waiting for a line that never comes: the signal ends the wait.
printf '10 PRINT "asking"\n20 INPUT A\n30 PRINT "not reached"\n' > "$work/ask.bas"
mkfifo "$work/keys"
sleep 60 > "$work/keys" &
holder=$!
"$kavrun" --headless "$work/ask.bas" < "$work/keys" > "$work/ask.txt" 2>&1 &
pid=$!
for ((k = 0; k < 300; ++k)); do  # the transcript is written out when the input wait begins
    grep -q '^? ' "$work/ask.txt" 2> /dev/null && break
    sleep 0.1
done
kill -TERM "$pid"
ended_within 30 "$pid" || { fail "input wait: kavrun did not end"; kill -KILL "$pid"; }
wait "$pid"
status=$?
[ "$status" = 143 ] || fail "input wait: exit status $status, expected 143"
printf 'asking\n? \n' | cmp -s - "$work/ask.txt" || fail "input wait: transcript $(od -c "$work/ask.txt" | head -3)"
kill "$holder" 2> /dev/null
exit $failed
