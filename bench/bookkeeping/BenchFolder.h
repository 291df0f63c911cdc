// The folder a bookkeeping benchmark makes its books in: "--dir FOLDER" among the arguments
// Google Benchmark left, /var/tmp when not given.
#pragma once

#include <cstdio>
#include <string>

// folder from the arguments after benchmark::Initialize; false, with the usage of program on
// standard error, for any other argument.
inline bool TakeBenchFolder(int argc, char** argv, const char* program, std::string& folder) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--dir" && i + 1 < argc) {
      folder = argv[++i];
    } else {
      std::fprintf(stderr, "unknown argument %s\nusage: %s [--dir FOLDER] [benchmark flags]\n", argv[i], program);
      return false;
    }
  }
  return true;
}
