' PRINT USING without the ";" after its picture: error 1.
10 PRINT USING "##.##"
