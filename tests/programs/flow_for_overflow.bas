' Every loop left by a jump keeps its limit on the FOR stack; the loop opened beyond its 1024
' entries is refused with error 12 (here caught by the error trap).
10 ON ERROR GOTO 100
20 N = 0
30 FOR I = 1 TO 2
40 N = N + 1
50 GOTO 30
100 PRINT "loops opened:"; N
