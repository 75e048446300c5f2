' Values travel as six-digit text through brackets and variables
PRINT (1+2)*3; -(2); 3-(-2)
PRINT (1234567)+0; (100000*100)
x = 1234567
PRINT x; x+0
y = 1/3
PRINT y; y*3
x = -4
PRINT -x
x = 4
PRINT -x; -x^2
PRINT undefined+1
