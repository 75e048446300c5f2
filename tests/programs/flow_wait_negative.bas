' WAIT with a negative time is error 5.
10 WAIT -1
20 PRINT "not reached"
