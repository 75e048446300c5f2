' A true IF whose THEN is followed directly by ":" has no THEN part it can run: error 1.
10 X = 1
20 PRINT "before"
30 IF X = 1 THEN: PRINT "never"
40 PRINT "not reached"
