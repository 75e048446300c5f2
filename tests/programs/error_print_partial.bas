' An error while PRINT evaluates a later item: the report, then the text composed before it.
10 PRINT "A"; 1; 1 / 0; "B"
