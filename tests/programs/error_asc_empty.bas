' Asc of the empty string: error 18 naming the function.
10 PRINT ASC("")
