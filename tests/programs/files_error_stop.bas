' Records written before an error stops the program are all on disk afterwards.
OPEN "records.txt" FOR OUTPUT AS #1
OPEN "log.txt" AS #2
FOR I = 1 TO 500
  PRINT #1, "record"; I; ","; I * I
NEXT I
PRINT #2, "last line without a break";
PRINT #1, "bad"; LEFT$(1, 2)
