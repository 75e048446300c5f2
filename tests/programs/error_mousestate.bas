' Mousestate takes 0, 1 or 2: anything else is error 5.
10 PRINT MOUSESTATE(3)
