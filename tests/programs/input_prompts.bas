' The three prompt forms of INPUT and the two of LINE INPUT; values reach their variables.
INPUT "Name";N$
INPUT "Age",A
INPUT X, Y%, Z$
PRINT "[";N$;"]";A;X;Y%;"[";Z$;"]"
LINE INPUT "Line";L$
LINE INPUT "Plain",P$
LINE INPUT Q$
PRINT "[";L$;"][";P$;"][";Q$;"]"
