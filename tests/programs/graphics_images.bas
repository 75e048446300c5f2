' Images, PAINT and SCROLL: PICLOAD of bitmap and PNG files (a missing, a hostile and a foreign
' file are error 8 and leave the number for the next image), GET with its corner forms, PUT with
' PSET, OR and XOR, errors 1 and 5, the 1025th image, PAINT's border rule, and SCROLL taking the
' text into the picture (the screen text dumped at the end keeps only its line breaks from
' before the SCROLL). Errors are trapped and counted.
ON ERROR GOSUB *failed
PICLOAD "pic8.bmp",A
PUT (100,100),A,PSET
PRINT "bmp 8"; A; POINT(100,100); POINT(101,100); POINT(102,100); POINT(103,100); POINT(103,101)
PICLOAD "pic24.bmp",B
PUT (100,110),B,PSET
PRINT "bmp 24 top-down"; B; POINT(100,110); POINT(101,110); POINT(102,110); POINT(101,111)
PICLOAD "sub\pic.png",C
PUT (100,120),C,PSET
PRINT "png"; C; POINT(100,120); POINT(101,120); POINT(102,120)
E = 0
PICLOAD "missing.bmp",D
PRINT "missing"; D; E
PICLOAD "huge.bmp",D
PICLOAD "notapicture.bmp",D
PRINT "refused"; D; E
LINE (10,10)-(19,29),2,BF
GET (10,10)-(20,30),G
PUT (300,100),G,PSET
PRINT "get"; G; POINT(300,100); POINT(309,119); POINT(310,119); POINT(309,120)
GET (10,10)-STEP(10,20),H
GET @(20,30)-(10,10),I
PUT (320,100),H,PSET
PUT (340,100),I,PSET
PRINT "step and reversed"; H; I; POINT(329,119); POINT(330,119); POINT(349,119); POINT(350,119)
GET (5,5)-(5,50),J
PUT (0,0),J,PSET
PRINT "empty image"; J; POINT(0,0)
PUT (100,200),G,XOR
PRINT "xor"; POINT(100,200);
PUT (100,200),G,XOR
PRINT POINT(100,200)
LINE (400,100)-(409,119),1,BF
PUT (400,100),G,OR
PRINT "or"; POINT(405,110)
E = 0
PUT (0,0),G
PUT (0,0),G,AND
PUT (0,0),99,PSET
PUT (0,0),-1,PSET
GET (0,0)-(100000,100000),K
GET (0,0)(1,1),K
PUT #1,2
GET #1,2
PRINT "put and get errors"; E
CIRCLE (600,300),50,7
PAINT (600,300),2,7
PRINT "paint"; POINT(600,300); POINT(600,251); POINT(600,250); POINT(600,240)
CIRCLE (800,300),50,7
PSET (800,300),2
PAINT (800,300),2,7
PRINT "seed already painted"; POINT(800,300); POINT(805,300)
LINE (850,250)-(950,350),7,B
LINE (851,251)-(851,350),2
PAINT (900,300),2,7
PRINT "past runs that start in the paint colour"; POINT(900,300); POINT(900,260); POINT(900,340); POINT(900,240)
E = 0
PAINT (-10,-10),4
PAINT 5,5
PRINT "paint outside and error"; POINT(0,399); E
CLS
COLOR 6
PRINT
PRINT "■"
PSET (500,500),2
PRINT "text in the picture"; POINT(8,24); POINT(8,40)
SCROLL 0,16
PRINT "scrolled"; POINT(8,8); POINT(8,24); POINT(500,484); POINT(500,500)
SCROLL 5
PRINT "errors"; E
E = 0
FOR N = 1 TO 1030
GET (0,0)-(1,1),Z
NEXT
PRINT "images"; Z; E
PAINT (1000,700),4
PRINT "no border"; POINT(600,250); POINT(0,0); POINT(1023,767)
END
*failed
E = E + 1
RETURN
