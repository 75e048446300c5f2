' kavpack: --font "-16 0 900 900 0 0 0 0 128 0 0 0 0"
' The program font's escapement (90 degrees) turns GPRINT's text: it runs upwards from its
' point, each cell turned about its top-left corner, background boxes turned with it.
GPRINT 100,300,"ABCDE"
GPRINT 200,300,"AB",2,1
GPRINT 300,300,"漢字",6,-1,32
