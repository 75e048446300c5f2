' rnd: numbers from 0 to 0.98301 written with seven decimals; rnd(0) repeats the last one;
' a negative argument starts the sequence again from the remembered seed.
10 PRINT RND(-1); RND(1); RND(0); RND(0)
20 PRINT RND(-1); RND(1); RND
