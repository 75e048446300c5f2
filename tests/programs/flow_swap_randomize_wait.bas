' SWAP exchanges numbers (small ones too), strings and array elements. RANDOMIZE with the same
' seed repeats the same sequence of random numbers. WAIT 0 returns at once.
10 A = 1: B = 2: SWAP A, B: PRINT A; B
20 A$ = "left": B$ = "right": SWAP A$, B$: PRINT A$; " "; B$
30 S = .0000001: T = 5: SWAP S, T: PRINT S; T
40 DIM D(2): D(1) = 10: D(2) = 20: SWAP D(1), D(2): PRINT D(1); D(2)
50 RANDOMIZE 5
60 FOR I = 1 TO 3: R(I) = RND(1): NEXT I
70 RANDOMIZE 5
80 SAME = 1
90 FOR I = 1 TO 3: IF RND(1) <> R(I) THEN SAME = 0
100 NEXT I
110 PRINT "same sequence:"; SAME
120 RANDOMIZE 6: IF RND(1) <> R(1) THEN PRINT "another seed, another sequence"
130 WAIT 0
140 WAIT 20
150 PRINT "waited"
160 RANDOMIZE -1
170 PRINT "not reached"
