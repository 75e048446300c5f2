' WINDOW needs its four edges.
WINDOW 0,0,640
PRINT "never shown"
