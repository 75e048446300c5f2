' PRINT # to a file number that is not open: error 7.
10 PRINT #1, "x"
