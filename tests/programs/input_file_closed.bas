' Reading from a file number that is not open is a file access error.
PRINT "before"
INPUT #1,A
PRINT "never shown"
