' Assignments, arrays and declarations that run to the end without a report
DEFINT I-N
DEFSTR S
DIM grid(9, 9), names$(3)
i = 2.5
s = "text"
grid(i, i) = i * 2
total = grid(3, 3) + 1
LET label$ = s + "!"
ERASE grid, total
DIM grid(1)
