' GOTO to a missing line goes to the next higher one; GOSUB returns after its statement,
' also in the middle of a line and from nested calls; a label jump compares only the bytes of
' the target, so *ab finds a line that begins with *abc first.
10 GOTO 15
20 PRINT "line 20"
30 GOSUB 100: PRINT "after mid-line gosub"
40 GOSUB 100
50 PRINT "after end-of-line gosub"
60 GOSUB 200: PRINT "after nested"
70 GOTO *ab
80 PRINT "not here"
90 END
100 PRINT "sub 100"
110 RETURN
200 PRINT "sub 200"
210 GOSUB 100
220 PRINT "back in 200"
230 RETURN
300 *abc
310 PRINT "at *abc"
320 GOSUB 400
330 PRINT "end"
340 END
400 *ab
410 PRINT "at *ab"
420 RETURN
