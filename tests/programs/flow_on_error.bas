' ON ERROR: with the trap set, errors and warnings show nothing and jump to the trap; a GOSUB
' trap's RETURN continues after the statement that failed. ON ERROR GOTO 0 jumps to the first
' line rather than removing the trap.
10 ON ERROR GOTO 900
20 N = 0
30 PRINT "divide": X = 1 / 0: PRINT "not here"
40 PRINT "again": Y = 2 / 0
50 PRINT "not here either"
100 ON ERROR GOSUB *handler
110 PRINT "before": Z = 1 / 0: PRINT "after the failing statement"
120 NEXT Q
130 PRINT "after the warning"
140 END
900 N = N + 1
910 PRINT "trap"; N
920 IF N = 1 THEN 40
930 GOTO 100
1000 *handler
1010 PRINT "handler"
1020 RETURN
