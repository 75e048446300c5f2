' A negative subscript is error 5
i = 2
a(i) = 1
a(i - 3) = 1
