' The loop of the other programs with an assignment for a statement: the interpreter's share.
FOR I = 0 TO 9999
X = I MOD 1024
NEXT
PRINT I
