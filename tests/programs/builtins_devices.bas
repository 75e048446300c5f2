' Keys, mouse, picture and clock. The keys come from the script given with --keys.
10 PRINT MOUSESTATE(0); MOUSESTATE(1); MOUSESTATE(2)
20 PRINT KEYSTATE(32); KEYSTATE(28)
30 PRINT POINT(10, 10); POINT(-1, 0)
40 D$ = DATE$: T$ = TIME$
50 PRINT LEN(D$); MID$(D$, 5, 1); MID$(D$, 8, 1); LEN(T$); MID$(T$, 3, 1); MID$(T$, 6, 1)
60 PRINT LEFT$(CURDIR$, 1)
70 K$ = INPUT$(3)
80 PRINT "["; K$; "]"; LEN(K$)
90 PRINT "["; INKEY$; "]"
100 PRINT "["; INKEY$; "]"
