' ON takes its list items as written: a blank after a comma makes the target " 200", which
' is neither a line number nor a label (error 1).
10 PRINT "start"
20 ON 2 GOTO 100, 200
30 PRINT "not reached"
100 PRINT "one"
200 PRINT "two"
