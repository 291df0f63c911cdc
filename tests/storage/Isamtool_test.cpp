// isamtool script end to end: its result lines are read by scripts outside the program.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "TempFolder.h"

namespace {

struct ToolRun {
  std::string out;
  int status;
};

ToolRun Isamtool(const std::string& folder, const std::string& args) {
  const std::string cmd = "cd '" + folder + "' && '" BFN_BIN_DIR "/isamtool' " + args + " 2>&1";
  FILE* p = ::popen(cmd.c_str(), "r");
  ToolRun run{"", -1};
  char buffer[4096];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, p)) run.out.append(buffer, n);
  const int status = ::pclose(p);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

TEST(Isamtool, ScriptGivesOneResultLineACommand) {
  TempFolder dir;
  dir.MakeFolder("t");
  const ToolRun run = Isamtool(dir.path(), "script '" BFN_TEST_DATA "/isamtool_basic.script'");
  EXPECT_EQ(run.out, Slurp(BFN_TEST_DATA "/isamtool_basic.expected"));
  EXPECT_EQ(run.status, 2);  // the script ends with lines that cannot be parsed
}

TEST(Isamtool, ScriptFromStandardInputWithEngineErrorsExitsZero) {
  TempFolder dir;
  dir.Write("s", "init 0 7\r\ninit\nexit\n   \nexit\n");
  const ToolRun run = Isamtool(dir.path(), "script < s");
  EXPECT_EQ(run.out, "error 10451 class 4\nok\nok\nerror 10455 class 4\n");
  EXPECT_EQ(run.status, 0);
}

TEST(Isamtool, UsageAndHelp) {
  TempFolder dir;
  const ToolRun wrong = Isamtool(dir.path(), "frobnicate");
  EXPECT_EQ(wrong.status, 2);
  EXPECT_NE(wrong.out.find("usage: isamtool"), std::string::npos);
  const ToolRun help = Isamtool(dir.path(), "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("searchkey H K KEY"), std::string::npos);
}
