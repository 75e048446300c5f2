' Pictures and sound files are found as the file statements find files: any letter case,
' Japanese names, drive letters from the settings (an unmapped one is error 8 with a hint on
' standard error), and relative names from the folder CHDIR sets.
ON ERROR GOSUB *failed
PICLOAD "PICTURES\title.bmp",A
PUT (0,0),A,PSET
PRINT "letter case"; A; POINT(0,0); POINT(1,0)
PICLOAD "絵.PNG",B
PUT (0,10),B,PSET
PRINT "japanese"; B; POINT(0,10)
PICLOAD "d:\PIC24.bmp",C
PRINT "drive"; C; E
PICLOAD "q:\pic24.bmp",D
PRINT "unmapped"; D; E
MCI "open sounds\TONE.wav type waveaudio alias t"
MCI "play t from 0 to 50 wait"
MCI "close t"
PRINT "sound"; E
CHDIR "pictures"
PICLOAD "TITLE.BMP",F
PRINT "after chdir"; F; E
MCI "open ..\Sounds\tone.wav alias u"
MCI "close u"
PRINT "sound after chdir"; E
END
*failed
E = E + 1
RETURN
