' Right$ of a number: type mismatch (error 9).
10 PRINT RIGHT$(5, 1)
