' Statements that follow one another without a jump: after a ":" and its blanks, across lines,
' past empty statements and lines that hold only their number, in THEN and ELSE parts that
' change from pass to pass, back from a GOSUB into the middle of a line, after an error trap,
' and off the end of the text. Each line runs many times, so what is remembered about the
' statement after it is used again.
10 T = 0: S$ = ""
20 FOR I = 1 TO 4
30 A = I * 2 :   B = A + 1 ::  C = A + B
40
50 *again
60 IF I MOD 2 = 0 THEN S$ = S$ + "e": T = T + C ELSE S$ = S$ + "o": T = T - 1: PRINT "odd"; I;
70 IF I > 2 THEN PRINT "big"; : IF I = 4 THEN PRINT "four"; ELSE PRINT "three";
80 GOSUB 500: PRINT "back"; I; : D = D + I
90 PRINT : PRINT "T ="; T; "S$ = "; S$; " D ="; D
100 NEXT I
110 ON ERROR GOSUB 600
120 FOR J = 1 TO 3: K = 10 / (J - 2): PRINT "K ="; K: NEXT J
130 PRINT "after the loop"
140 E = 0: FOR I = 1 TO 3: E = E + I: IF E > 2 THEN 160
150 NEXT I
160 PRINT "E ="; E; "I ="; I
170 GOTO 700
500 PRINT "sub"; I; : RETURN
600 PRINT "trap at"; J: RETURN
700 PRINT "falls off the end": X = 1
710 PRINT "last": X = X + 1
