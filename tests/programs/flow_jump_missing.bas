' A jump beyond the last line is error 3 with the target as its text.
10 PRINT "start"
20 GOTO 31
30 PRINT "not reached"
