' RESTORE to a line that has no DATA marker of its own is error 13 with the line number.
10 DATA 1
20 RESTORE 15
