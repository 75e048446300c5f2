' A definition without "=" is a syntax error.
10 DEF FNA(X)
