// isamtool: drives, inspects and repairs fileblocks from the command line.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "common/Ansi.h"
#include "isamtool_repair.h"
#include "isamtool_script.h"

namespace {

const char kUsage[] =
    "usage: isamtool script [FILE]    run engine commands, one a line (standard input without FILE)\n"
    "       isamtool check NAME       everything wrong with a fileblock, one finding a line (changes nothing)\n"
    "       isamtool dump NAME [--records] [--keys K]\n"
    "                                 headers, free chains, tree height and fill; live records; keys of index K\n"
    "       isamtool reorg NAME [OFF:LEN[d]...]\n"
    "                                 compact the data file and build the indexes afresh\n"
    "       isamtool reindex NAME [OFF:LEN[d]...]\n"
    "                                 build the indexes afresh, keeping every record\n"
    "       isamtool --help\n"
    "OFF:LEN[d]: the key of the next index is the text field (length byte, characters) at byte OFF\n"
    "of the record, cut to LEN characters; d allows equal keys. NAME is the fileblock's name without\n"
    "extension. check exits 1 when it finds anything; reorg and reindex exit 1 when they fail.\n";

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
    "  reorg NAME [OFF:LEN[d]...] | reindex NAME [OFF:LEN[d]...]\n"
    "  check NAME                   ok, or error and the first finding\n"
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
  const std::vector<std::string> rest(argv + 2, argv + argc);
  if ((command == "check" || command == "dump" || command == "reorg" || command == "reindex") && !rest.empty()) {
    const std::string name = A(rest[0]);
    if (command == "check" && rest.size() == 1) return isamtool::CheckCommand(name, std::cout);
    if (command == "dump") {
      bool records = false;
      int keys = 0;
      for (size_t i = 1; i < rest.size(); ++i) {
        if (rest[i] == "--records") records = true;
        else if (rest[i] == "--keys" && i + 1 < rest.size() && std::atoi(rest[i + 1].c_str()) > 0) keys = std::atoi(rest[++i].c_str());
        else return Usage();
      }
      return isamtool::DumpCommand(name, records, keys, std::cout);
    }
    if (command == "reorg" || command == "reindex")
      return isamtool::RebuildCommand(name, {rest.begin() + 1, rest.end()}, command == "reindex", std::cout, std::cerr);
  }
  return Usage();
}
