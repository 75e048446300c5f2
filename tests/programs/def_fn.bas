' DEF FN: the body's own calls are evaluated at each call, with that call's values.
10 DEF FNA(X) = ABS(X)
20 PRINT FNA(-1); FNA(-2); FNA(3)
' Parameters are ordinary variables: the call leaves X holding its argument.
30 PRINT "X ="; X
' A string function, several parameters, nested calls.
40 DEF FNS$(S$, N) = LEFT$(S$, N) + "!"
50 PRINT FNS$("abcdef", 3); FNS$(FNS$("xy", 1), 9)
' Names with digits, no parameters, and a first definition that a second one does not replace.
60 DEF FN2(X) = X * X
70 DEF FNK() = 7
80 DEF FNK() = 8
90 PRINT FN2(FN2(3)) + FNK()
' Calls inside the body of a function see the variables of the moment.
100 DEF FNL(A$) = LEN(A$) + B
110 B = 10: PRINT FNL("abc")
120 B = 20: PRINT FNL("abc")
