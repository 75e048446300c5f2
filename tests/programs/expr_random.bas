' RANDOMIZE with one seed gives one sequence; RND(0) repeats the last number
RANDOMIZE 5
a = RND(1): b = RND(1): c = RND(0)
RANDOMIZE 5
d = RND(1): e = RND(1)
IF a = d AND b = e THEN PRINT "same sequence"
IF c = b THEN PRINT "rnd(0) repeats"
IF a >= 0 AND a < 0.98302 THEN PRINT "in range"
PRINT a; b
