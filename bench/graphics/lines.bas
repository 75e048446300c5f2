' 10,000 LINEs across the picture, in the eight colours.
FOR I = 0 TO 9999
LINE (I MOD 1024, 0)-(1023 - I MOD 1024, 767), I MOD 8
NEXT
PRINT I
