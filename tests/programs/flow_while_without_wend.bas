' A false WHILE with no WEND after it ends the program quietly.
10 PRINT "start"
20 WHILE 0
30 PRINT "never"
