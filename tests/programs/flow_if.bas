' IF: the pairing of ELSE with IF in nested forms, THEN parts that run to the end of their
' line, bare line numbers and labels after THEN and ELSE, keywords inside quotes.
10 PRINT "pairing"
20 FOR K = 0 TO 3
30 A = K \ 2: B = K MOD 2
40 PRINT A; B; ":";
50 IF A THEN IF B THEN PRINT "x"; ELSE PRINT "y"; ELSE PRINT "z";
60 IF A THEN IF B THEN PRINT "x"; ELSE PRINT "y";
70 IF A THEN PRINT "x"; ELSE IF B THEN PRINT "y"; ELSE PRINT "z";
80 IF A THEN PRINT "x";: IF B THEN PRINT "y"; ELSE PRINT "z";
90 PRINT
100 NEXT K
110 PRINT "then part"
120 X = 1
130 IF X = 1 THEN PRINT "a";: PRINT "b"
140 X = 2
150 IF X = 1 THEN PRINT "a";: PRINT "b"
160 IF .5 THEN PRINT "half is true" ELSE PRINT "half is false"
170 IF -1 THEN PRINT "minus one is true"
180 IF 2 THEN PRINT "two is true"
190 PRINT "jumps"
200 IF X = 2 THEN 230 ELSE 220
210 PRINT "not here"
220 PRINT "else line": GOTO 240
230 PRINT "then line"
240 IF X = 1 THEN 260 ELSE *other
250 PRINT "not here"
260 PRINT "not here either"
270 *other
280 PRINT "label"
290 PRINT "colon before else"
300 IF X = 2 THEN PRINT "t1": ELSE PRINT "e1"
310 IF X = 1 THEN PRINT "t2": ELSE PRINT "e2"
320 PRINT "quotes"
330 IF X = 1 THEN PRINT "p ELSE q" ELSE PRINT "r THEN s"
340 IF X = 2 THEN PRINT "p ELSE q" ELSE PRINT "r THEN s"
350 PRINT "missing then"
360 IF X = 1 THEN: PRINT "skipped"
370 PRINT "gosub in then"
380 IF X = 2 THEN GOSUB 500: PRINT "back in then" ELSE PRINT "else"
390 IF X = 2 THEN GOSUB 500 ELSE PRINT "else"
400 PRINT "end"
410 END
500 PRINT "sub"
510 RETURN
