' Conditions: comparisons joined by logical operators, sub-conditions, string comparisons
a = 1: b = 2
IF a = 1 AND b = 2 THEN PRINT "both"
IF (a = 1) OR (b = 5) THEN PRINT "either"
IF NOT a = 2 THEN PRINT "not"
IF a =< 1 AND b => 2 THEN PRINT "written backwards"
IF (a = 1) * (b = 2) THEN PRINT "product"
x$ = "abc"
IF x$ = "abd" THEN PRINT "wrong" ELSE PRINT "differ"
IF x$ <> "abd" THEN PRINT "not equal"
IF x$ < "abcd" THEN PRINT "shorter"
IF x$ > "ab" THEN PRINT "longer"
IF x$ < "xyz" THEN PRINT "wrong" ELSE PRINT "same length"
x = 0.5
IF x THEN PRINT "wrong" ELSE PRINT "half is false"
IF "a" + "b" = "ab" THEN PRINT "joined"
