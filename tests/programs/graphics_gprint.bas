' GPRINT: white text without a background box by default, colour and background box, heights
' and widths, bold, italic, an unknown face, escape pairs drawn as the characters they stand
' for, COLOR left alone, and bad arguments. The window surface is checked in .pixels after a
' repaint from the picture.
ON ERROR GOSUB *failed
COLOR 2,4
LINE (0,100)-(99,139),4,BF
GPRINT 10,110,"ABC"
GPRINT 10,150,"ABC",2,1
GPRINT 10,180,"ABC漢字",7,-1,48
GPRINT 300,100,"MMMM"
GPRINT 300,130,"MMMM",,,,,,bold
GPRINT 300,160,"MMMM",7,-1,-1,0,"",AllSet
GPRINT 300,190,"MMMM",7,-1,-1,0,"no such face"
GPRINT 300,220,"MM",6,-1,16,16
GPRINT 10,250,CHR$(34)+"Q"+CHR$(34),6
GPRINT 500,300,"X",7,-1,10000
GPRINT 2000000000,-2000000000,"far"
E = 0
GPRINT 10,20
GPRINT 10
GPRINT 10,20,"A",,,,,,underline
PRINT "errors"; E
PRINT "box"; POINT(10,150); POINT(33,165); POINT(34,165)
PAINT (0,399),0
END
*failed
E = E + 1
RETURN
