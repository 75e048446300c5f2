' PLAY: ALLOC does nothing, two voices play together, a ninth voice is refused.
PLAY ALLOC 1000
PLAY "T240 C8 D8", "T240 E8"
PRINT "played"
PLAY "C","C","C","C","C","C","C","C","C"
PRINT "not reached"
