' NEXT without a matching FOR is warning 102 and the program goes on after it. A jump into a
' loop body reaches NEXT before its FOR has run; with no loop open that NEXT has nothing to
' continue, so it warns too. Names are case-sensitive, and a list of names names no loop.
10 GOTO 30
20 FOR K = 1 TO 3
30 PRINT "body"
40 NEXT K
50 PRINT "after the body"
60 FOR I = 1 TO 2
70 NEXT i
80 PRINT "after next i"
90 FOR J = 1 TO 2
100 NEXT I,J
110 PRINT "after next i,j"
