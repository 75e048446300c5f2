' LOCATE below the window's last line: the next output scrolls the top lines away.
PRINT "top"
LOCATE 0,30
PRINT "bottom"
