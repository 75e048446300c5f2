' Double-byte text: klen, kinstr and kmid$ count characters; akcnv$ and kacnv$ convert
' between half-width and full-width forms, voiced marks included.
10 S$ = "日本語abc"
20 PRINT LEN(S$); KLEN(S$); KINSTR(S$, "a"); INSTR(S$, "a"); KINSTR(2, S$, "語")
30 PRINT KMID$(S$, 2, 2); " "; KMID$(S$, 3)
40 PRINT AKCNV$("Basic 123!"); AKCNV$("ｶﾞｯﾂ ﾊﾟﾝ ｳﾞｧ")
50 PRINT KACNV$("ＡＢＣ　１２３"); KACNV$("ガッツ パン ヴァ"); KACNV$("ひらがな")
60 PRINT KACNV$(AKCNV$("ﾃﾞｰﾀ ABC"))
