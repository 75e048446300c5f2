' ON: the selector, truncated toward zero, picks a target from the list; a selector below 1
' or beyond the list goes on with the next statement. ON ... GOSUB returns after the ON.
10 FOR K = -1 TO 4
20 PRINT K;
30 ON K GOTO 100,200,300
40 PRINT "none"
50 NEXT K
60 ON 2.9 GOTO 400,500
70 PRINT "not here"
100 PRINT "one": GOTO 50
200 PRINT "two": GOTO 50
300 PRINT "three": GOTO 50
400 PRINT "not here either"
500 PRINT "2.9 picks two"
510 ON 2 GOSUB 600,700: PRINT "after on gosub"
520 on 3 gosub 600,700,*third: PRINT "end"
530 END
600 PRINT "sub one": RETURN
700 PRINT "sub two": RETURN
800 *third
810 PRINT "sub third"
820 RETURN
