' PRINT # with a file number outside 1 to 9: error 5.
10 PRINT #0, "x"
