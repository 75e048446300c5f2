' A string in a numeric expression is error 9
a$ = "abc" + "d"
x = 1
x = a$ + 1
