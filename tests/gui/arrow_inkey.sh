#!/usr/bin/env bash
# An arrow key pressed in the window is the last key that inkey$ reads: pressed while INPUT
# waits (so that the program is certainly running), read after Enter has ended the INPUT.
source "$(dirname "$0")/window_session.bash"
start_display
start_program arrows <<'BASIC'
WINDOW 0,0,320,240
INPUT "Go";G$
K$=INKEY$
PRINT "code";ASC(K$)
BASIC
window_of arrows
wait_for_size "$id" 320x240
wait_for_caret "$id" 320
xdotool key --delay 30 Left Return
wait_for_exit
[ "$status" = 0 ] || fail "exit status $status"
expect_output "code 29"
echo PASS
