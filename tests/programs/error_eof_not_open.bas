' Eof of a file number that is not open: error 7.
10 PRINT EOF(1)
