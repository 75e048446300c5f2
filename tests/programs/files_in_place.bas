' FOR OUTPUT empties the file it rewrites; without FOR a file is updated in place.
OPEN "save.txt" FOR OUTPUT AS #1
PRINT #1, "first record, long"
PRINT #1, "second record, long"
CLOSE #1
OPEN "save.txt" FOR OUTPUT AS #1
PRINT #1, "new"
CLOSE #1
OPEN "save.txt" FOR INPUT AS #1
WHILE EOF(1) = 0
  LINE INPUT #1, L$: PRINT "["; L$; "]"
WEND
CLOSE #1
' In place: overwrite the start, keep the rest.
OPEN "table.txt" FOR OUTPUT AS #1
PRINT #1, "AAAA"
PRINT #1, "BBBB"
PRINT #1, "CCCC"
CLOSE
OPEN "table.txt" AS #1
PRINT #1, "aaaa"
LINE INPUT #1, L$: PRINT "read after writing: "; L$
PRINT #1, "cccc"
PRINT "size"; LOF(1); "eof"; EOF(1)
PRINT #1, "DDDD"
PRINT "size"; LOF(1)
CLOSE
' Append: read to the end, then write.
OPEN "table.txt" AS #2
WHILE NOT EOF(2)
  LINE INPUT #2, L$
WEND
PRINT #2, "EEEE";
CLOSE #2
OPEN "table.txt" FOR INPUT AS #1
WHILE NOT EOF(1)
  LINE INPUT #1, L$: PRINT L$; " ";
WEND
PRINT
