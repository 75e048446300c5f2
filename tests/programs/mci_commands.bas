' MCI on a short sound file: notify after a play, a play that waits, a play cut short by
' stop (its notice still comes), and a device used after it was closed.
MCI "open tone.wav type waveaudio alias t"
MCI "set t time format milliseconds"
MCI "status t length"
MCI "play t notify", DONE
WHILE DONE = 0: WEND
PRINT "notified"; DONE
DONE = 0
MCI "play t from 0 to 100 wait"
PRINT "waited"; DONE
MCI "seek t to start"
MCI "play t notify", STOPPED
MCI "stop t"
WHILE STOPPED = 0: WEND
PRINT "stopped"; STOPPED
MCI "close all"
MCI "play t"
PRINT "not reached"
