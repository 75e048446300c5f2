' A bracket left open is a syntax error (error 1).
10 PRINT ABS(1
