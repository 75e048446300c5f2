' RETURN does not restore the line number: an error in the statements after a GOSUB on the
' calling line is reported with the subroutine's last line.
10 GOSUB 100: PRINT "back": RETURN
20 PRINT "not reached"
100 PRINT "sub"
110 RETURN
