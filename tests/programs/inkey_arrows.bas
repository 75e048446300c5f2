' The four arrow keys reach inkey$ as their codes; with no key inkey$ is empty.
PRINT "start"
A$=INKEY$
B$=INKEY$
C$=INKEY$
D$=INKEY$
E$=INKEY$
PRINT ASC(A$);ASC(B$);ASC(C$);ASC(D$);LEN(E$)
