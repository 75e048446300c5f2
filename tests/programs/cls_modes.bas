' CLS 2 keeps the text, CLS 3 and CLS clear it; another argument does nothing.
PRINT "one"
CLS 2
PRINT "two"
CLS 3
PRINT "three"
CLS
PRINT "four"
CLS 9
PRINT "five"
