' Input that does not fit its variables: warning 101 and the whole prompt again.
INPUT "Two";A,B
PRINT A;B
INPUT S$
PRINT "[";S$;"]"
LINE INPUT T$
PRINT "[";T$;"]"
INPUT "Small";N%
PRINT N%
INPUT E$
PRINT "[";E$;"]"
