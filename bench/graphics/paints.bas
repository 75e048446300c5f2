' 20 PAINTs of the whole 1024 x 768 picture, red and blue in turn.
FOR I = 0 TO 19
PAINT (512, 384), 1 + I MOD 2
NEXT
PRINT I
