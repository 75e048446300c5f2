' Log of a number that is not positive: error 18 naming the function.
10 PRINT LOG(0)
