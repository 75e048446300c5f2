' A built-in called with the wrong number of arguments: error 10.
10 PRINT ABS(1, 2)
