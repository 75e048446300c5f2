' PRINT: items joined by ";" and ","; numbers with a leading blank unless negative.
10 X = 5
20 PRINT "A="; X
30 PRINT X; X
40 PRINT -1; 0.5; -0.25; 0; 1234567
50 PRINT "A", "B", "C"
60 PRINT "trailing semicolon";
70 PRINT " continues"
80 PRINT "trailing comma",
90 PRINT
100 ? "question mark"; X * 2
110 PRINT "quote:"; CHR$(34); " colon:a:b"; " blanks:  kept"
120 A$ = "str": PRINT A$; A$ + "ing"; LEFT$(A$, 1)
130 PRINT "tab"; CHR$(9); "bed"
