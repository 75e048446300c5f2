' A second DIM of an array names the array in error 17
DIM a(3), b(2, 2)
a(3) = 1
DIM c, a(5)
