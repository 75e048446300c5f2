#!/usr/bin/env bash
# A click into the window with an ON MOUSE trap set runs the trap's subroutine, which reads the
# click's position in the window.
source "$(dirname "$0")/window_session.bash"
program='ON MOUSE(2) GOSUB *clicked
MOUSE(2) ON
WINDOW 0,0,320,240
*wait
GOTO *wait
*clicked
PRINT "clicked";MOUSESTATE(0);MOUSESTATE(1)
END'
# The traps belong to the control-flow statements: without them there is nothing to test yet.
echo "$program" > "$work/check.bas"
echo "4 click left 5 6" > "$work/check.events"
(cd "$work" && timeout 20 "$kavrun" --headless --events check.events check.bas > check.out 2>&1)
grep -q "clicked 5 6" "$work/check.out" || skip "mouse event traps (ON MOUSE, MOUSE ON) are not built yet"
start_display
start_program clicking <<< "$program"
window_of clicking
wait_for_size "$id" 320x240
xdotool mousemove --window "$id" 40 30 click 1
wait_for_exit
[ "$status" = 0 ] || fail "exit status $status"
expect_output "clicked 40 30"
echo PASS
