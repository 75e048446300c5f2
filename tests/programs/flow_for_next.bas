' FOR/NEXT: counting up and down, loops that run zero times, nested loops (also with the same
' variable, and NEXT without a name), the limit compared with six decimals, a step that changes
' sign, and a loop in a THEN part that does not evaluate the IF again.
10 FOR I = 1 TO 3: PRINT I;: NEXT I: PRINT " I ="; I
20 FOR I = 3 TO 1 STEP -1: PRINT I;: NEXT I: PRINT " I ="; I
30 FOR I = 3 TO 1: PRINT "never";: NEXT I: PRINT "zero trip, I ="; I
40 FOR I = 1 TO 0
50 PRINT "never"
60 NEXT I
70 PRINT "zero trip over lines"
80 FOR I = 1 TO 2
90 FOR J = 1 TO 3
100 PRINT I * 10 + J;
110 NEXT
120 NEXT
130 PRINT
140 FOR I = 1 TO 2: FOR I = 1 TO 3: PRINT I;: NEXT I: PRINT "|";: NEXT I: PRINT
150 FOR X = 0 TO .0000004 STEP .0000001: PRINT "six decimals"; X: NEXT X
160 S = 1: C = 0
170 FOR V = 0 TO 3 STEP S
180 C = C + 1: PRINT V;
190 IF V >= 2 THEN S = -1
200 IF C < 8 THEN NEXT V
210 PRINT
220 K = 0
230 IF K = 0 THEN FOR I = 1 TO 3: K = 1: PRINT "then"; I;: NEXT I
240 PRINT
250 FOR I = 1 TO 2
260 FOR J = 1 TO 2: GOSUB 400: NEXT J
270 NEXT I
280 PRINT "end"
290 END
400 PRINT "(" ; I; J; ")";
410 RETURN
