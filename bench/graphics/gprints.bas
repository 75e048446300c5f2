' 1,000 GPRINTs of Japanese and Latin text.
FOR I = 0 TO 999
GPRINT I MOD 600, I MOD 380, "漢字とABC", I MOD 8
NEXT
PRINT I
