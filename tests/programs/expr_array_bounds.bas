' A subscript above its bound stops the program with error 14
DIM b(2,3)
b(2,3) = 7
x = b(2,3) + b(0,0)
y = b(3,0)
