10 REM Reads 100,000 records of three numbers (made by run.sh) with INPUT #
20 OPEN "records.txt" FOR INPUT AS #1
30 FOR I = 1 TO 100000
40 INPUT #1, A, B, C
50 NEXT I
60 CLOSE #1
70 PRINT I - 1
