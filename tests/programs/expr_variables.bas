' Variable types, conversions on assignment, arrays, ERASE and declared letters
x = 0.25: PRINT x
x = -0.3: PRINT x
i% = 2.5: j% = -2.5: n% = 7/2: PRINT i%; j%; n%
s! = 1/3: PRINT s!
score = 1: Score = 2: PRINT score; Score
a(3) = 5: PRINT a(3); a(4)
DIM b(2,3)
b(1,2) = 9: PRINT b(1,2); b(2,3); b(0,0)
a$(1+1) = "x": PRINT a$(2)
c$ = "ab" + "c": PRINT c$; LEN(c$)
DEFINT I-N
i = 2.7: j = 1/3: PRINT i; j
i# = 2.7: PRINT i#
DEFSTR S
s = "hello": PRINT s
z = 8: DIM z: PRINT z
p = 1: q = 2: r = 3
ERASE q: PRINT p; q; r
DIM w((1+1)*2): w(4) = 6: PRINT w(4)
LET t = 5: PRINT t
