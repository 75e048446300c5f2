' Integer division truncates its divisor first: 0.5 becomes 0, error 16
x = 10
y = x / 4
z = x \ 0.5
w = 1
