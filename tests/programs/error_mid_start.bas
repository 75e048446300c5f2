' Mid$ with a start below 1: error 5.
10 PRINT MID$("abc", 0, 1)
