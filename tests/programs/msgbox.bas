' MSGBOX shows its text and title; without a title the title is empty.
PRINT "before";
MSGBOX "こんにちは","挨拶"
MSGBOX "a,b"
WINDOW -1,-1,640,480
BEEP
PRINT "after"
