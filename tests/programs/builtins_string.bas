' The string built-ins. Positions and lengths count real bytes: an escaped quote is one byte.
10 Q$ = CHR$(34)
20 PRINT LEN("abc"); LEN(Q$); ASC("A"); ASC(Q$); ASC(CHR$(0))
30 PRINT "["; CHR$(65); CHR$(322); "]"
40 PRINT HEX$(255); " "; HEX$(-1); " "; OCT$(8)
50 PRINT "["; STR$(5); "]["; STR$(-5); "]["; STR$(0.5); "]"
60 PRINT INSTR("abcabc", "c"); INSTR(4, "abcabc", "c"); INSTR("abc", "x"); INSTR(2, "abc", "")
70 PRINT MID$("abcdef", 2, 3); " "; MID$("abcdef", 5); " ["; MID$("abc", 9); "]"
80 PRINT LEFT$("abc", 5); " "; LEFT$("abc", 2); " "; RIGHT$("abc", 2); " ["; LEFT$("abc", 0); "]"
90 PRINT STRING$(3, "xyz"); "["; SPACE$(0); "]["; SPACE$(2); "]["; SPC(1); "]"
100 PRINT VAL("12abc"); VAL("&HFF"); VAL("&O17"); VAL("-&H10"); VAL("1 2"); VAL("abc")
110 PRINT LEFT$(Q$ + "ab", 1); MID$("a" + Q$ + "b", 2, 1); INSTR(Q$ + "ab", "b")
