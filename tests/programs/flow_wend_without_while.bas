' WEND without a WHILE before it is warning 103; the program goes on after it.
10 PRINT "start"
20 WEND
30 PRINT "goes on"
