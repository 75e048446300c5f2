' Lof of a file number that is not open: error 7.
10 PRINT LOF(#2)
