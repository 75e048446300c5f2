10 REM Writes 100,000 lines to a file with PRINT #
20 OPEN "printed.txt" FOR OUTPUT AS #1
30 FOR I = 1 TO 100000
40 PRINT #1, "line"; I; ","; I * 2
50 NEXT I
60 CLOSE #1
70 PRINT I - 1
