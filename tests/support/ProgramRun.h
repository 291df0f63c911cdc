// Runs one of the built programs through the shell, for tests of a program as users call it.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

struct ProgramRun {
  std::string out;  // standard output and standard error together
  int status;       // exit status, -1 when the program did not exit normally
};

// command is a shell command line; its output includes standard error.
inline ProgramRun RunProgram(const std::string& command) {
  const std::string cmd = command + " 2>&1";
  FILE* p = ::popen(cmd.c_str(), "r");
  ProgramRun run{"", -1};
  if (p == nullptr) return run;
  char buffer[4096];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, p)) run.out.append(buffer, n);
  const int status = ::pclose(p);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}
