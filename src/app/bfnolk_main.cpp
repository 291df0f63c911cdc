// bfnolk: the command-line face of the bookkeeping. Its commands come with the bookkeeping
// database; until then it tells what it is.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  std::puts("usage: bfnolk [--data-dir DIR] [--config-dir DIR] COMMAND ...");
  std::puts("The bookkeeping commands are not part of this build yet.");
  return argc > 1 && std::strcmp(argv[1], "--help") == 0 ? 0 : 2;
}
