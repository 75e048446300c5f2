' Quillon BASIC demo: text screen, colours, Japanese text, numbers, strings, loops,
' subroutines, data, user functions and keyboard input.
CLS 3
COLOR 6
PRINT "Quillon BASIC へようこそ  -  Welcome to Quillon BASIC"
COLOR 7
PRINT "今日は "; DATE$; "、時刻は "; TIME$; " です。"
PRINT

COLOR 5: PRINT "* 数と計算  Numbers": COLOR 7
PRINT "  2^10 ="; 2 ^ 10; "   17 MOD 5 ="; 17 MOD 5; "   7\2 ="; 7 \ 2
PRINT "  SQR(2) ="; SQR(2); "   ATN(1)*4 ="; ATN(1) * 4
DEF FNF(C) = C * 9 / 5 + 32
PRINT "  摂氏 100 度は華氏"; FNF(100); "度"
FOR I = 1 TO 5
    PRINT USING "  ## の二乗は ### 、三乗は ####"; I; I * I; I ^ 3
NEXT I
PRINT

COLOR 5: PRINT "* 文字列  Strings": COLOR 7
A$ = "ﾊﾝｶｸ ｶﾀｶﾅ"
PRINT "  "; A$; " → "; AKCNV$(A$); "  ("; LEN(A$); "バイト,"; KLEN(AKCNV$(A$)); "文字)"
W$ = "Quillon"
PRINT "  "; W$; " を逆さにすると ";
FOR I = LEN(W$) TO 1 STEP -1: PRINT MID$(W$, I, 1);: NEXT I
PRINT
PRINT

COLOR 5: PRINT "* データと色  Data and colours": COLOR 7
RESTORE *colours
FOR I = 1 TO 6
    READ C, N$
    GOSUB *swatch
NEXT I
PRINT
PRINT

COLOR 5: PRINT "* 入力  Input": COLOR 7
LINE INPUT "  お名前は? ", NAME$
IF NAME$ = "" THEN NAME$ = "ゲスト"
PRINT "  こんにちは、"; NAME$; " さん!"
LINE INPUT "  Enter を押すと終わります (press Enter to close) ", K$
END

*swatch
COLOR C, -1: PRINT "  ■ "; N$;: COLOR 7
RETURN

*colours
DATA 1, 青, 2, 赤, 3, 紫, 4, 緑, 5, 水色, 6, 黄
