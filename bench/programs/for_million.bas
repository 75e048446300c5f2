10 REM One FOR loop of 1,000,000 iterations with a short body
20 S = 0
30 FOR I = 0 TO 999999
40 S = I - S
50 NEXT I
60 PRINT "FOR"
70 PRINT S
80 END
