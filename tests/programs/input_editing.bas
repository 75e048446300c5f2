' Backspace removes a double-byte character whole and never the prompt.
INPUT "名前";A$
PRINT "[";A$;"]";LEN(A$)
