' WIDTH 10,4: a line of 15 letters takes two rows, so the fourth row scrolls the text.
WIDTH 10,4
PRINT "AAAAAAAAAAAAAAA"
PRINT "B"
PRINT "C"
