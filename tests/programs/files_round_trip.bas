' Files written with PRINT # and read back with LINE INPUT #, INPUT #, INPUT$, EOF and LOF.
OPEN "rt.txt" FOR OUTPUT AS #1
PRINT #1, "name";"=";42
PRINT #1, "a","b",-3
PRINT #1, "no break";
PRINT #1, " here", 0.5;
PRINT #1,
PRINT #1, "x,y,z"
PRINT #1, USING "##.##"; 3.14159
PRINT #1, 7;",";-8;",";"word"
PRINT #1, "cr" + CHR$(13) + "lf" + CHR$(10) + "end";
PRINT LOF(1)
CLOSE #1
OPEN "rt.txt" FOR INPUT AS #2
PRINT "size"; LOF(2); "eof"; EOF(2)
LINE INPUT #2, L$: PRINT "["; L$; "]"
LINE INPUT #2, L$: PRINT "["; L$; "]"; LEN(L$)
LINE INPUT #2, L$: PRINT "["; L$; "]"
LINE INPUT #2, L$: PRINT "["; L$; "]"; LEN(L$)
LINE INPUT #2, L$: PRINT "["; L$; "]"
INPUT #2, N, M, W$: PRINT N + M; W$
PRINT "["; INPUT$(2, #2); "]"
LINE INPUT #2, L$: PRINT "["; L$; "]"
LINE INPUT #2, L$: PRINT LEN(L$); ASC(MID$(L$, 3, 1)); "eof"; EOF(#2)
' the same number again closes the first file first
OPEN "rt.txt" FOR INPUT AS 2
LINE INPUT #2, L$: PRINT "again ["; L$; "]"
OPEN "fresh.txt" FOR INPUT AS #3
PRINT "fresh"; LOF(3); EOF(3)
CLOSE
OPEN "rt.txt" AS #1
PRINT "["; INPUT$(4, 1); "]"; INPUT$(0, #1)
LINE INPUT #1, L$
CLOSE 1
OPEN "fresh.txt" FOR INPUT AS #3
LINE INPUT #3, L$
PRINT "not reached"
