#!/usr/bin/env bash
# Closing the window while INPUT waits ends the program through its clean-up: nothing typed is
# stored, nothing after the INPUT runs, the process exits, and what the program wrote to a file
# before the wait is in the file.
source "$(dirname "$0")/window_session.bash"
[ -x "$helpers/x_close_window" ] || skip "x_close_window was not built (no Xlib)"
start_display
start_program closing <<'BASIC'
OPEN "kept.txt" FOR OUTPUT AS #1
PRINT #1, "written before the wait";
WINDOW 0,0,320,240
INPUT "Name";A$
PRINT "never shown"
BASIC
window_of closing
wait_for_size "$id" 320x240
wait_for_caret "$id" 320
xdotool type --delay 30 "abc"
"$helpers/x_close_window" "$id" || fail "cannot send the close message"
wait_for_exit
[ "$status" = 0 ] || fail "exit status $status"
expect_output "Name? abc"
grep -q "never shown" "$work/out" && fail "the program went on after the window closed"
[ "$(cat "$work/kept.txt")" = "written before the wait" ] || fail "the file lost what was written"
echo PASS
