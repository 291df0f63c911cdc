// isamtool reorg as people call it: keys must be given for every index the file has, so a
// repair never leaves the program's file without its indexes.
#include <gtest/gtest.h>

#include "ProgramRun.h"
#include "TempFolder.h"

TEST(IsamtoolReorg, KeysForEveryIndexOrNothingIsTouched) {
  TempFolder dir;
  const std::string tool = "cd '" + dir.path() + "' && '" BFN_BIN_DIR "/isamtool' ";
  dir.Write("make", "init\ncreate a 32 6\nopen a\naddrec 1 000000000361626300\naddkey 1 1 1 abc\nclose 1\nexit\n");
  ASSERT_EQ(RunProgram(tool + "script make").status, 0);
  const std::string dat = dir.Read("a.DAT"), ix = dir.Read("a.IX");
  const ProgramRun bare = RunProgram(tool + "reorg a");
  EXPECT_EQ(bare.status, 2);
  EXPECT_NE(bare.out.find("a has 1 indexes"), std::string::npos) << bare.out;
  EXPECT_EQ(dir.Read("a.DAT"), dat);
  EXPECT_EQ(dir.Read("a.IX"), ix);
  const ProgramRun keyed = RunProgram(tool + "reorg a 4:6");
  EXPECT_EQ(keyed.status, 0) << keyed.out;
  EXPECT_EQ(RunProgram(tool + "check a").status, 0);
}
