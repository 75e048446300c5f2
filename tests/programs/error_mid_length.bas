' Mid$ with a negative length: error 1.
10 PRINT MID$("abc", 1, -1)
