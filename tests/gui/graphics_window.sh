#!/usr/bin/env bash
# Figures, a fill, a put image and GPRINT text in a real window: once drawn, while the program
# waits for a key, the window's pixels are those of the headless run's screenshot, pixel for
# pixel.
source "$(dirname "$0")/window_session.bash"
probe=$3
program='LINE (10,10)-(200,120),6,B
LINE (20,20)-(190,110),2,BF,1
CIRCLE (320,90),60,4,,,,F,5
CIRCLE (470,90),60,7,-.5,-2.5,,F,2
CIRCLE (320,250),50,7
PAINT (320,250),3,7
GET (20,20)-(80,60),I
PUT (480,220),I,PSET
PUT (500,240),I,XOR
GPRINT 40,300,"グラフィックス ABC",6,1,32
GPRINT 40,350,"Bold",7,-1,24,0,"",BOLD
PRINT "text over the picture"
A$ = INPUT$(1)'
echo "$program" > "$work/shot.bas"
(cd "$work" && XDG_CONFIG_HOME="$work/config" timeout 20 "$kavrun" --headless \
    --screenshot shot.png shot.bas > shot.out 2>&1) || fail "the headless run failed"
start_display
start_program drawing <<< "$program"
window_of drawing
same() { [ "$("$probe" compare "$id" "$work/shot.png")" = 0 ]; }
if ! wait_until same; then
    fail "the window differs from the screenshot in $("$probe" compare "$id" "$work/shot.png") pixels"
fi
xdotool key --window "$id" q
wait_for_exit
[ "$status" = 0 ] || fail "exit status $status"
echo PASS
