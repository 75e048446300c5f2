' The numeric built-ins, their rounding rules and result formats.
10 PRINT ABS(-3); ABS(2.5); CDBL(1/3); CSNG(0.5)
20 PRINT INT(-2.5); FIX(-2.5); CINT(2.5); CINT(-2.5); INT(2.999)
30 PRINT SGN(-7); SGN(0); SGN(0.001)
40 PRINT SQR(16); EXP(0); LOG(EXP(2)); ATN(1) * 4
50 PRINT SIN(0); COS(0); TAN(0)
60 PRINT INT(3000000000); FIX(-1E+10)
70 PRINT RGB(255, 0, 0); RGB(1, 2, 3); RGB(256, 0, 0)
' Six significant digits: results travel as "%g" text.
80 PRINT INT(1234567.8); CDBL(1234567)
