' 1,000 filled CIRCLEs of radius 50 along the picture.
FOR I = 0 TO 999
CIRCLE (I, 384), 50, I MOD 8, , , , F
NEXT
PRINT I
