// bfnolkw64: the window program. The shell window comes with Qt; until then it tells what it is.
#include <cstdio>

int main() {
  std::puts("bfnolkw64: the window program is not part of this build yet; see isamtool --help.");
  return 0;
}
