10 REM Reads 100,000 lines of a file (made by run.sh) with LINE INPUT #
20 OPEN "lines.txt" FOR INPUT AS #1
30 FOR I = 1 TO 100000
40 LINE INPUT #1, L$
50 NEXT I
60 CLOSE #1
70 PRINT I - 1
