' Values from hostile programs: typed numbers with blanks, huge counts and subscripts, results
' beyond the double range, single-precision text, a negative zero written as 0, each failing
' statement trapped exactly once.
10 ON ERROR GOSUB *trap
20 INPUT A, B
30 PRINT "sum"; A + B
40 INPUT C
50 PRINT "typed"; C
60 PRINT "csng"; CSNG(16777217) - 16777216
70 DIM D(5)
80 D(1E20) = 9: PRINT "subscript stored"
90 PRINT "element 0 is"; D(0)
100 PRINT LEFT$("abcdef", 4294967298)
110 WAIT 4294967296: PRINT "waited"
120 X = 1E308 * 10
130 inf = 7: Y = (1E308 * 10): PRINT "y"; Y
140 Z = 1E999
150 W = EXP(1000)
160 V = VAL("1" + STRING$(400, "0"))
170 IF 4294967296 THEN PRINT "a huge condition is true"
180 PRINT HEX$(4294967295); " "; HEX$(-1); " "; OCT$(8)
185 N = 0 * -1: PRINT "["; STR$(N); "]"
190 A$ = ("a")
200 PRINT "traps"; T
210 CLEAR
220 A$ = ("a")
230 PRINT "not reached"
900 *trap
910 T = T + 1: PRINT "trap"; T
920 RETURN
