' The keys run out while INPUT waits: the program ends as if the window had been closed.
A$="old"
INPUT "First";A$
PRINT "[";A$;"]"
INPUT "Second";A$
PRINT "never shown"
