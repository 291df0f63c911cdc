// isamtool: drives, inspects and repairs fileblocks from the command line.
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "isamtool_script.h"

namespace {

const char kUsage[] =
    "usage: isamtool script [FILE]    run engine commands, one a line (standard input without FILE)\n"
    "       isamtool --help\n";

const char kHelp[] =
    "Commands of a script, one a line; each prints one line: ok [RESULTS], error N class C,\n"
    "or error usage: TEXT. Blank lines and lines beginning with # print nothing.\n"
    "  init [NETTYPE [BUFFERS]]     start the engine (default 0 200)\n"
    "  exit                         stop it, closing every fileblock\n"
    "  create NAME RECLEN [KEY...]  KEY: key length 1..30, with d when equal keys are allowed\n"
    "  open NAME [nojournal]        ok H: handles are numbered 1, 2, ... in order of opening\n"
    "  close H | delete NAME\n"
    "  addrec H HEX                 ok R (HEX zero-padded to the record length)\n"
    "  getrec H R                   ok HEX\n"
    "  putrec H R HEX | delrec H R\n"
    "  filelen H | usedrecs H       ok N\n"
    "  addkey H K R KEY | delkey H K R KEY | clearkey H K\n"
    "  findkey H K KEY              ok R\n"
    "  searchkey H K KEY | nextkey H K   ok R KEY\n"
    "KEY is the rest of the line after one blank, in UTF-8; NAME is the fileblock's name.\n"
    "The exit status is 0 when every line could be parsed, 2 otherwise.\n";

int Usage() {
  std::cerr << kUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::cout << kUsage << '\n' << kHelp;
    return 0;
  }
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "script" && argc <= 3) {
    if (argc == 2) return isamtool::RunScript(std::cin, std::cout) ? 0 : 2;
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) {
      std::cerr << "isamtool: cannot read " << argv[2] << '\n';
      return 2;
    }
    return isamtool::RunScript(in, std::cout) ? 0 : 2;
  }
  return Usage();
}
