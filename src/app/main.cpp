// kavrun: runs the program image appended to itself, or the program in FILE.
int main() {
    return 0;
}
