' String$ of the empty string has no byte to repeat: error 18 naming the function.
10 PRINT STRING$(3, "")
