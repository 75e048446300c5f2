' PRINT # without the comma after the file number: error 1.
10 PRINT #1 "x"
