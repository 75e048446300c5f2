' CLEAR resets the program's state: variables, the data list, declared letters, user
' functions, the images (numbering starts again from 0, so a program may make more than 1024
' images a run as long as it clears in between), the error trap and the GOSUB stack.
' Blanks around CIRCLE's F and before PAINT's first comma change nothing.
ON ERROR GOTO *trapped
DEFINT I
DEF FNT(X)=X*3
READ D
FOR K = 1 TO 1000 : GET (0,0)-(1,1),Z : NEXT
I = 2.5
PRINT "before"; D; I; FNT(2); Z
CLEAR
READ D
I = 2.5
PRINT "after"; D; I; FNT(2); K
GET (0,0)-(1,1),A
GET (0,0)-(1,1),B
PRINT "images"; A; B
FOR K = 1 TO 1000 : GET (0,0)-(1,1),Z : NEXT
PRINT "another thousand"; Z
CIRCLE (50,50), 20, 2, , , , F , 4
CIRCLE (150,50), 20, 2, , , ,  F  ,4
CIRCLE (250,50), 20, 2, , , , F
CIRCLE (350,50),20,2,,,,F ,4
CIRCLE (450,50),20,2,,,,F,4
PRINT "circles"; POINT(50,50); POINT(150,50); POINT(250,50); POINT(350,50); POINT(450,50)
CIRCLE (300,200),50,7
PAINT (300,200) ,2,7
CIRCLE (500,200),50,7
PAINT (500,200) , 3 , 7
PRINT "paint"; POINT(300,200); POINT(300,151); POINT(300,150); POINT(300,140); POINT(500,200); POINT(500,140)
GOSUB *cleared
PRINT "never"
END
*cleared
CLEAR
RETURN
*trapped
PRINT "trapped"
END
DATA 7, 8
