' READ and RESTORE over the DATA items: line markers are skipped, RESTORE goes to a line or a
' label, strings are read quoted or not, and a quoted item keeps its commas and blanks.
10 DATA 1,2
20 DATA 3
30 READ A, B, C
40 PRINT A; B; C
50 RESTORE 20: READ X: PRINT "restore 20:"; X
60 RESTORE: READ X: PRINT "restore:"; X
70 RESTORE *here: READ X: PRINT "restore *here:"; X
80 RESTORE 100: READ P$, Q$, R$, S$, T
90 PRINT "["; P$; "] ["; Q$; "] ["; R$; "] ["; S$; "]"; T
95 READ D(1), D(2): PRINT "array"; D(1) + D(2)
96 READ U: PRINT "past the data"
97 END
98 *here: DATA 7
100 DATA abc, "abc",12
110 DATA " a, b ", 5
120 DATA 8, 9
