// isamtool script end to end: its result lines are read by scripts outside the program.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "ProgramRun.h"
#include "TempFolder.h"

namespace {

ProgramRun Isamtool(const std::string& folder, const std::string& args) {
  return RunProgram("cd '" + folder + "' && '" BFN_BIN_DIR "/isamtool' " + args);
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
  const ProgramRun run = Isamtool(dir.path(), "script '" BFN_TEST_DATA "/isamtool_basic.script'");
  EXPECT_EQ(run.out, Slurp(BFN_TEST_DATA "/isamtool_basic.expected"));
  EXPECT_EQ(run.status, 2);  // the script ends with lines that cannot be parsed
}

TEST(Isamtool, ScriptFromStandardInputWithEngineErrorsExitsZero) {
  TempFolder dir;
  dir.Write("s", "init 0 7\r\ninit\nexit\n   \nexit\n");
  const ProgramRun run = Isamtool(dir.path(), "script < s");
  EXPECT_EQ(run.out, "error 10451 class 4\nok\nok\nerror 10455 class 4\n");
  EXPECT_EQ(run.status, 0);
}

TEST(Isamtool, UsageAndHelp) {
  TempFolder dir;
  const ProgramRun wrong = Isamtool(dir.path(), "frobnicate");
  EXPECT_EQ(wrong.status, 2);
  EXPECT_NE(wrong.out.find("usage: isamtool"), std::string::npos);
  const ProgramRun help = Isamtool(dir.path(), "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("searchkey H K KEY"), std::string::npos);
}
