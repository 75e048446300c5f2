' Mouse event traps driven by a scripted event file (flow_mouse_traps.files/events.txt, each
' event delivered before the statement with the given count). An event with its trap on runs
' the trap after the current statement; with the trap stopped it is remembered and delivered
' once when the trap goes on again; switching the trap off forgets it.
10 ON MOUSE(2) GOSUB *click
20 MOUSE(2) ON
30 PRINT "a"
40 PRINT "b"
50 MOUSE(2) STOP
60 PRINT "c"
70 PRINT "d"
80 MOUSE(2) ON
90 MOUSE(2) ON
100 PRINT "e"
110 MOUSE(2) STOP
120 PRINT "f"
130 MOUSE(2) OFF
140 MOUSE(2) ON
150 PRINT "g"
160 ON MOUSE(3) GOTO *right
170 MOUSE(3) ON
180 PRINT "h"
190 PRINT "not here"
200 END
300 *click
310 PRINT "click"
320 RETURN
400 *right
410 PRINT "right"
