' Operator precedence, integer operators, logical operators and number literals
PRINT 2+3*4; 2*3+4*5; 2^3^2; 10-4-3
PRINT 7\2; -7\2; 7.9\2; 7 MOD 3; -7 MOD 3; 3 MOD -2
PRINT 10/4; 3*-2; 4/-.5; 3*+2; 3--2
PRINT 6 AND 3; 6 OR 3; 6 XOR 3; NOT 0; NOT 5; 1+2 AND 3
PRINT NOT 5+1; 1 AND NOT 0; -1 AND 0; -1 OR 0
PRINT &HFF+1; &O10; &H8000 AND &HFF00; &HFFFFFFFF; &h1f; 3*-&H10
PRINT 1e+3+1; 2.5e-1*4; .5; 0.5; 5e-1
PRINT 1 + 2 * 3 ; 1+2*3
