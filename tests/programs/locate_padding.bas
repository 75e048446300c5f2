' LOCATE pads short lines with blanks that show the picture, and overwrites existing text.
LOCATE 3,2
PRINT "abc"
LOCATE 1,0
PRINT "Z";
LOCATE 5,0
PRINT "Q"
PRINT "0123456789"
LOCATE 4,3
PRINT "xy"
LOCATE 0,0
PRINT "#";
