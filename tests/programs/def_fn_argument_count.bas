' A call with fewer or more arguments than the function's parameters is error 10.
10 DEF FNA(X, Y) = X + Y
20 PRINT FNA(1, 2)
30 PRINT FNA(1)
