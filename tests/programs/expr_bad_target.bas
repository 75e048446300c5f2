' An assignment without "=" is error 2
x = 1
x + 1
