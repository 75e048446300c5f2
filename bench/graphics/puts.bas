' 100 PUTs of a 200 x 200 image with XOR.
LINE (0, 0)-(199, 199), 5, BF
GET (0, 0)-(200, 200), A
FOR I = 0 TO 99
PUT (I * 8, I * 5), A, XOR
NEXT
PRINT I
