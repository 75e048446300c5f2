' An error trapped inside user-function calls ends the whole chain of calls it was made in;
' the statement goes on with the outermost call's default value. A body that calls itself
' three times gives up at once (it would otherwise take 3^64 calls), also when the statement
' was trapped before, and calls after an abandoned chain are evaluated as usual.
ON ERROR GOSUB *trapped
DEF FNA(X) = FNA(X) + FNA(X) + FNA(X)
DEF FNB(X) = FNC(X) * 2
DEF FNC(X) = X + 1
DEF FND(X) = FNB(X) + 1 / 0 + FNB(X)
PRINT "chain"; FNA(1); FNB(3)
PRINT "trapped before"; 1 / 0; FNA(2); FNB(4)
PRINT "inner error"; FND(1); FNB(5)
PRINT "errors"; E
END
*trapped
E = E + 1
RETURN
