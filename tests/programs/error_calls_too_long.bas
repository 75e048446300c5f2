' A statement that grows past 8191 bytes while its calls are replaced: error 12.
10 PRINT SPACE$(5000) + SPACE$(5000)
