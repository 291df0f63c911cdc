#include <cstdio>
int main() { std::puts("usage: isamtool script [FILE]"); return 2; }
