#!/usr/bin/env bash
# Closing the window while PLAY performs a long melody (and an MCI sound plays) ends the voices
# at once: the process exits long before the music would have ended, and what sounded until
# then is in the --audio recording.
source "$(dirname "$0")/window_session.bash"
[ -x "$helpers/x_close_window" ] || skip "x_close_window was not built (no Xlib)"
start_display
start_program playing --audio "$work/played.wav" <<'BASIC'
WINDOW 0,0,320,240
PLAY "T60C1E1G1C1E1G1", "T60O3C1C1C1C1C1C1"
PRINT "never shown"
BASIC
window_of playing
wait_for_size "$id" 320x240
# The melody is playing once the recording grows (the sound font may take seconds to load on
# a busy machine or under the sanitizers); then a moment of it.
for _ in $(seq 600); do
    [ "$(stat -c %s "$work/played.wav" 2>/dev/null || echo 0)" -gt 100000 ] && break
    sleep 0.1
done
sleep 1
closed=$(date +%s)
"$helpers/x_close_window" "$id" || fail "cannot send the close message"
wait_for_exit
took=$(($(date +%s) - closed))
[ "$status" = 0 ] || fail "exit status $status"
# The melody has some 20 s left: ending within 10 s (a busy machine's teardown) is "at once".
[ "$took" -le 10 ] || fail "the program took $took s to end after the window closed"
grep -q "never shown" "$work/out" && fail "the program went on after the window closed"
[ -s "$work/played.wav" ] || fail "nothing was recorded"
size=$(stat -c %s "$work/played.wav")
[ "$size" -lt $((176400 * 10)) ] || fail "the recording is $size bytes: the melody went on"
echo PASS
