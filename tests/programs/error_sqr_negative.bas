' Sqr of a negative number: error 18 naming the function.
10 PRINT SQR(-1)
