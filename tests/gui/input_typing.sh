#!/usr/bin/env bash
# Real X key events typed into a waiting INPUT: letters, Backspace and Enter reach the program.
source "$(dirname "$0")/window_session.bash"
start_display
start_program typing <<'BASIC'
WINDOW 0,0,320,240
INPUT "Name";A$
PRINT "[";A$;"]"
BASIC
window_of typing
wait_for_size "$id" 320x240
wait_for_caret "$id" 320
xdotool type --delay 30 "abx"
xdotool key --delay 30 BackSpace Return
wait_for_exit
[ "$status" = 0 ] || fail "exit status $status"
expect_output "Name? ab"
expect_output "[ab]"
echo PASS
