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

TEST(Isamtool, CheckReorgAndReindexOfAFileblock) {
  TempFolder dir;
  // Two records with the same name (no index kept them apart), one deleted slot between.
  dir.Write("make", "init\ncreate t 32\nopen t\n"
                    "addrec 1 00000000056b616c6c65\naddrec 1 0000000003626f00\naddrec 1 00000000056b616c6c65\n"
                    "delrec 1 2\nclose 1\nexit\n");
  ASSERT_EQ(Isamtool(dir.path(), "script make").status, 0);
  const ProgramRun sound = Isamtool(dir.path(), "check t");
  EXPECT_EQ(sound.out, "sound\n");
  EXPECT_EQ(sound.status, 0);

  const ProgramRun reorg = Isamtool(dir.path(), "reorg t 4:10");
  EXPECT_EQ(reorg.status, 0) << reorg.out;
  EXPECT_EQ(reorg.out, "2 records kept, 1 deleted slots left out\n1 indexes built\n"
                       "duplicate keys are listed in t.MSG\n");
  EXPECT_EQ(dir.Read("t.MSG"), "Key:<kalle> KeyNr: 1 Ref: 2 not added\r\nData record deleted - Dump follows\r\n\r\n\r\n");
  const ProgramRun dump = Isamtool(dir.path(), "dump t --records --keys 1");
  EXPECT_NE(dump.out.find("data: RecordLength 32, HighRecord 2, FreeCount 1"), std::string::npos) << dump.out;
  EXPECT_NE(dump.out.find("key 1 kalle\n"), std::string::npos) << dump.out;
  EXPECT_NE(dump.out.find("record 1: 00000000056b616c6c65"), std::string::npos) << dump.out;

  // A fileblock left open without journal: check names it, reindex mends it.
  std::string dat = dir.Read("t.DAT");
  dat[20] = 1;
  dir.Write("t.DAT", dat);
  const ProgramRun unsound = Isamtool(dir.path(), "check t");
  EXPECT_EQ(unsound.status, 1);
  EXPECT_NE(unsound.out.find("OpenFlag set"), std::string::npos);
  dir.Write("s", "check t\ninit\nreindex t 4:10d\ncheck t\nreorg t 4:99\n");
  const ProgramRun script = Isamtool(dir.path(), "script s");
  EXPECT_EQ(script.out, "error OpenFlag set: the fileblock was not closed properly (reindex mends it)\n"
                        "ok\nok\nok\nerror usage: not a key OFF:LEN[d] with LEN 1..30: 4:99\n");
}

TEST(Isamtool, ReorgReplaysAJournalLeftByACutOffOperationFirst) {
  TempFolder dir;
  dir.Write("make", "init\ncreate t 32\nopen t\naddrec 1 00\naddrec 1 00\naddrec 1 00\nclose 1\nexit\n");
  ASSERT_EQ(Isamtool(dir.path(), "script make").status, 0);
  // The third add was cut off: the journal holds the header from before it.
  std::string image = std::string("\0", 1) + "\xE8\x03" + std::string("\0\0", 2);
  const int32_t header[] = {-1, 0, 2, 32, 0};
  for (int32_t v : header)
    for (int i = 0; i < 4; ++i) image.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  image += std::string(1 + 8, '\0') + "\xFE\xFF\xFF\xFF";
  dir.Write("t.DIA", image);
  const ProgramRun reorg = Isamtool(dir.path(), "reorg t");
  EXPECT_EQ(reorg.status, 0) << reorg.out;
  EXPECT_EQ(reorg.out.rfind("2 records kept", 0), 0u) << reorg.out;
}
