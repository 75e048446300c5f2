' An empty DATA item ends READ with error 11; the variables read before it keep their values.
10 ON ERROR GOTO 100
20 DATA 1,,2
30 READ A, B
40 END
100 PRINT "A ="; A; " B ="; B
