// kavpack: packs BASIC source into a program image.
int main() {
    return 0;
}
