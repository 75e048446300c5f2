' WHILE/WEND: loops on one line and over lines, bodies that never run (also for 0.5, which
' truncates to 0), nested loops paired by counting, a false outer WHILE that skips an inner
' loop, a loop in a THEN part, and a WEND followed by more statements.
10 I = 0: WHILE I < 3: I = I + 1: WEND: PRINT "I ="; I
20 WHILE 0: PRINT "never": WEND: PRINT "zero trip"
30 WHILE .5
40 PRINT "never"
50 WEND
60 PRINT "half is false"
70 A = 0
80 WHILE A < 2
90 B = 0
100 WHILE B < 3
110 PRINT A * 10 + B;
120 B = B + 1
130 WEND
140 A = A + 1
150 WEND
160 PRINT
170 WHILE 0
180 WHILE 1
190 PRINT "never"
200 WEND
210 PRINT "never either"
220 WEND
230 PRINT "skipped both"
240 K = 1: N = 0
250 IF K THEN WHILE N < 3: K = 0: N = N + 1: PRINT "then"; N;: WEND: PRINT " done"
260 N = 0
270 WHILE N < 2
280 N = N + 1
290 WEND: PRINT "after wend"; N
300 WHILE N < 4: N = N + 1: GOTO 320
310 WEND
320 PRINT "left by goto"; N
330 END
