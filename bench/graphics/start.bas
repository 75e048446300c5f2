' Start-up and end alone: subtracted from the other programs' times.
PRINT 0
