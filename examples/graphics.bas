' kavpack: --font "-16 0 80 80 0 0 0 0 128 0 0 0 0"
' Quillon BASIC graphics demo: a night landscape drawn with LINE, CIRCLE, PSET and PAINT, a
' village copied with GET and PUT, a bird loaded from a bitmap file flying across with XOR, a
' pie chart, and text in large fonts. The program font's escapement (8 degrees, the first line)
' tilts every GPRINT line.
CLS 3
RANDOMIZE 7

' The sky: bands from deep blue to violet, and stars.
FOR Y = 0 TO 299 STEP 4
    LINE (0, Y)-(639, Y + 3), RGB(10 + Y \ 6, 10 + Y \ 12, 50 + Y \ 3), BF
NEXT Y
FOR I = 1 TO 140
    PSET (RND(1) * 640, RND(1) * 190), 7
NEXT I

' The moon and its craters.
CIRCLE (586, 46), 30, RGB(255, 240, 190), , , , F
CIRCLE (575, 38), 6, RGB(225, 210, 160), , , , F
CIRCLE (597, 58), 5, RGB(225, 210, 160), , , , F
CIRCLE (592, 33), 3, RGB(225, 210, 160), , , , F

' Mountains: an outline closed along the bottom, filled with PAINT.
M = RGB(30, 70, 45)
LINE (0, 260)-(80, 200), M
LINE -(150, 240), M
LINE -(240, 165), M
LINE -(330, 232), M
LINE -(420, 185), M
LINE -(520, 250), M
LINE -(639, 205), M
LINE -(639, 300), M
LINE -(0, 300), M
LINE -(0, 260), M
PAINT (240, 250), M, M
LINE (240, 165)-(215, 186), 7
LINE -(265, 186), 7
LINE -(240, 165), 7
PAINT (240, 180), 7, 7

' The ground, a lake and a house; the house is copied twice with GET and PUT.
LINE (0, 300)-(639, 399), RGB(35, 60, 35), BF
CIRCLE (470, 345), 110, RGB(40, 80, 150), , , .25, F
LINE (40, 326)-(100, 376), RGB(130, 85, 50), BF
LINE (35, 326)-(70, 302), RGB(160, 40, 40)
LINE -(105, 326), RGB(160, 40, 40)
LINE -(35, 326), RGB(160, 40, 40)
PAINT (70, 316), RGB(160, 40, 40), RGB(160, 40, 40)
LINE (50, 338)-(64, 352), 6, BF
LINE (76, 351)-(90, 376), RGB(80, 50, 30), BF
GET (34, 301)-(107, 377), H
PUT (130, 304), H, PSET
PUT (225, 314), H, PSET

' A pie chart with the weather of the week.
CIRCLE (575, 340), 40, 7, -.001, -2.69, , F, 6
CIRCLE (575, 340), 40, 7, -2.69, -4.49, , F, 5
CIRCLE (575, 340), 40, 7, -4.49, -6.28, , F, 1

' A bird from a bitmap file flies across the sky: drawn with XOR, it is taken away again by
' drawing it a second time.
PICLOAD "pictures\bird.bmp", B
FOR X = -32 TO 460 STEP 6
    Y = 150 + 20 * SIN(X / 45)
    PUT (X, Y), B, XOR
    WAIT 20
    PUT (X, Y), B, XOR
NEXT X
PUT (460, 150 + 20 * SIN(460 / 45)), B, OR

' Titles: a shadow, then the text over it, in large bold Gothic.
GPRINT 24, 84, "Quillon グラフィックス", 0, -1, 44, 0, "ＭＳ ゴシック", BOLD
GPRINT 20, 80, "Quillon グラフィックス", 6, -1, 44, 0, "ＭＳ ゴシック", BOLD
GPRINT 30, 132, "夜の山と村", 7, -1, 24
GPRINT 538, 386, "晴 雨 曇", 7, -1, 12
GPRINT 300, 372, "何かキーを押すと終わります", 7, -1, 12
A$ = INPUT$(1)
