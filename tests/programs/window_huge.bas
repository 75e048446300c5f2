' WINDOW with sizes beyond any screen: kept within the largest canvas (16384 pixels a side,
' 32 Mpixels in all), never an allocation without bound.
10 WINDOW 0,0,2147483647,5
20 PRINT "wide"
30 WINDOW 0,0,100,65535
40 PRINT "tall"
