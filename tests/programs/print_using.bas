' PRINT USING: "#" places, "+", decimals, "%" for numbers too wide, "&  &" and "@" fields.
10 PRINT USING "###"; 5
20 PRINT USING "###"; 12345
30 PRINT USING "+##"; 5
40 PRINT USING "+##"; -5
50 PRINT USING "##.##"; 3.14159
60 PRINT USING "##.##"; -0.5
70 PRINT USING "##.##"; 2.999
80 PRINT USING "#.##"; 9.999
90 PRINT USING "[&  &]"; "abcdef"
100 PRINT USING "[&  &]"; "ab"
110 PRINT USING "@!"; "ab"
120 PRINT USING "Name: @, Age: ##, Score: ###.#"; "Ann", 34, 97.26
130 PRINT USING "##"; 1, 2, 3
140 PRINT USING "## ##"; 7;
150 PRINT "|"
