#!/usr/bin/env bash
# kavrun in a real window under Xvfb: the window takes the program's name, the class Kavrun
# and the asked client size and shows the program's red text; an error box blocks the program
# while the window goes on repainting (a resize during the box is painted); answering the box
# ends the program with status 1; the screenshot has the resized surface with the text.
set -u
kavrun=$1
probe=$3
work=$(mktemp -d)
source "$(dirname "$0")/common/xserver.bash"
start_xserver

title="窓テスト"
printf 'COLOR 2\nPRINT "ABC漢字"\nCHAIN "next"\n' > "$work/$title.bas"
"$kavrun" --window 320x200 --screenshot "$work/shot.png" "$work/$title.bas" \
    > "$work/out.txt" 2>&1 &
run_pid=$!
background_pids+=("$run_pid")
failed=0
check() {  # MESSAGE CONDITION...
    local message=$1
    shift
    if ! eval "$@"; then
        echo "FAILED: $message"
        failed=1
    fi
}

wait_until 20 '[ -n "$(window_named "$title")" ]' || { echo "no window titled $title"; exit 1; }
main=$(window_named "$title")
read -r _ _ width height <<< "$(window_geometry "$main")"
check "client area 320x200, got ${width}x$height" '[ "$width" = 320 ] && [ "$height" = 200 ]'
check "window class Kavrun" '[ "$("$probe" class "$main")" = Kavrun ]'

wait_until 20 '[ -n "$(window_named "Basic - Error")" ]' || { echo "no error box"; exit 1; }
box=$(window_named "Basic - Error")

# The area the window gains is the root's weave until the window paints it black.
# The first line of text (above the box) is red on black: COLOR 2.
check "red text in the window" '[ "$("$probe" count "$main" 0 0 80 16 0xff0000)" -gt 20 ]'
check "no other colour around the text" '[ $(( $("$probe" count "$main" 0 0 80 16 0xff0000) + $("$probe" count "$main" 0 0 80 16 0x000000) )) = 1280 ]'

# The area the window gains is the root's weave until the window paints it black.
check "the root shows its weave" '[ "$("$probe" count root 1200 1000 16 16 0x000000)" -lt 256 ]'
xdotool windowsize "$main" 400 300
painted() {  # the gained strips, away from the box
    [ "$("$probe" count "$main" 320 150 80 150 0x000000 2> /dev/null)" = 12000 ] &&
        [ "$("$probe" count "$main" 0 200 320 100 0x000000 2> /dev/null)" = 32000 ]
}
check "the window repaints while the box is up" 'wait_until 10 painted'
check "the program waits for the box" 'kill -0 "$run_pid" 2> /dev/null'

xdotool windowfocus "$box"
xdotool key Return
status=0
wait_until 20 '! kill -0 "$run_pid" 2> /dev/null' || { echo "the box was not answered"; exit 1; }
wait "$run_pid"
status=$?
check "exit status 1 after the error, got $status" '[ "$status" = 1 ]'
check "screenshot of the resized surface" '[ "$("$probe" png-size "$work/shot.png")" = 400x300 ]'
check "screenshot pixel is black" '[ "$("$probe" png-pixel "$work/shot.png" 350 250)" = 0x000000 ]'
check "screenshot shows the red text" '[ "$("$probe" png-count "$work/shot.png" 0 0 80 16 0xff0000)" -gt 20 ]'
[ $failed = 0 ] || { echo "kavrun said:"; cat "$work/out.txt"; }
exit $failed
