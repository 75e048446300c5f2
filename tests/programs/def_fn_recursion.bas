' A function that calls itself can never end: it is refused with error 12, not a crash.
10 DEF FNR(X) = FNR(X) + 1
20 PRINT "before"
30 PRINT FNR(1)
40 PRINT "not reached"
