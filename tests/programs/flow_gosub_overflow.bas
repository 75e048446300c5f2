' The GOSUB stack holds 1024 return entries; the 1025th nested GOSUB is refused with error 12.
10 N = 0
20 GOSUB 100
30 END
100 N = N + 1
110 IF N = 1024 THEN PRINT "call"; N
120 GOSUB 100
