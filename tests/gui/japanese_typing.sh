#!/usr/bin/env bash
# Japanese text typed with real X events reaches INPUT as Shift-JIS bytes through the window's
# text input: kanji two bytes each, half-width katakana one byte each, Backspace removing a
# whole kanji.
source "$(dirname "$0")/window_session.bash"
start_display
start_program japanese <<'BASIC'
WINDOW 0,0,320,240
INPUT "名前";A$
PRINT "[";A$;"]";LEN(A$);ASC(A$);ASC(RIGHT$(A$,1))
BASIC
window_of japanese
wait_for_size "$id" 320x240
wait_for_caret "$id" 320
xdotool type --delay 50 "漢字"
xdotool key --delay 30 BackSpace
xdotool type --delay 50 "ｶﾅ"
xdotool key --delay 30 Return
wait_for_exit
[ "$status" = 0 ] || fail "exit status $status"
expect_output "名前? 漢ｶﾅ"
expect_output "[漢ｶﾅ] 4 138 197"
echo PASS
