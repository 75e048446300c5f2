' A refused statement stops the program: the report shows the message, an empty line and
' the line number, and kavrun exits with status 1.
10 CHAIN "next.bas"
20 END
