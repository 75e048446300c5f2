' Windows names on this system: backslashes, letter case, Shift-JIS names, drive letters.
ON ERROR GOSUB *trapped
MKDIR "Box"
MKDIR "box\Inner"
MKDIR "BOX\b"
MKDIR "box\A"
OPEN "box\inner\データ.txt" FOR OUTPUT AS #1
PRINT #1, "日本語の行"
CLOSE #1
OPEN "BOX\INNER\データ.TXT" FOR INPUT AS #1
LINE INPUT #1, L$: PRINT L$; LEN(L$)
CLOSE #1
OPEN "Box/Inner/データ.txt" FOR INPUT AS #1
PRINT "slashes"; LOF(1)
CLOSE #1
OPEN "box\y.txt" FOR OUTPUT AS #1: CLOSE #1
OPEN "box\X.TXT" FOR OUTPUT AS #1: CLOSE #1
OPEN "box\x.txt" FOR OUTPUT AS #1: PRINT #1, "same file": CLOSE #1
OPEN "box\表.txt" FOR OUTPUT AS #1: CLOSE #1
FILES "box"
FILES "Box\", 4
PRINT
FILES "box\inner", 1
FILES "no such folder"
' The program folder moves with CHDIR; KILL works in it.
CHDIR "box\"
OPEN "x.txt" FOR INPUT AS #1: LINE INPUT #1, L$: PRINT L$: CLOSE #1
KILL "Y.TXT"
KILL "表.txt"
FILES "box", 3
PRINT
' Drive D: is mapped in the settings; drive Q: is not.
MKDIR "drive_d"
OPEN "D:\Notes.txt" FOR OUTPUT AS #2: PRINT #2, "on D": CLOSE #2
OPEN "d:notes.TXT" FOR INPUT AS #2: LINE INPUT #2, L$: PRINT L$: CLOSE #2
FILES "D:"
OPEN "Q:\x.txt" FOR OUTPUT AS #3
PRINT "after the trap"
KILL "gone.txt"
END
*trapped
PRINT "trapped"
RETURN
