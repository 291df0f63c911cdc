// The commands on the list of bookkeepings through the bfnolk program, as a script would
// run them: each call a whole run that starts from the configuration and the files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "BfnolkFolder.h"

namespace fs = std::filesystem;

namespace {

class BfnolkDatabase : public BfnolkFolder {
 protected:
  void SetUp() override {
    BfnolkFolder::SetUp();
    fs::create_directories(root_ + "/data");
  }
  bool Has(const std::string& name) const { return fs::exists(root_ + "/data/" + name); }
};

TEST_F(BfnolkDatabase, AListOfBookkeepingsFromInitToDelete) {
  EXPECT_EQ(Run("list").status, 1);  // no list yet
  ASSERT_EQ(Run("init").status, 0);
  ASSERT_EQ(Run("new --name Hemmet --from 2026-01-01 --to 2026-12-31").status, 0);
  const ProgramRun second = Run("new --name Föreningen --from 2026-07-01 --to 2027-06-30 --group 1=1000..1999");
  ASSERT_EQ(second.status, 0) << second.out;
  EXPECT_NE(second.out.find("bokföring nr 2 skapad"), std::string::npos);

  const ProgramRun json = Run("list --json");
  ASSERT_EQ(json.status, 0);
  EXPECT_NE(json.out.find(R"({"nr":1,"namn":"Hemmet","fran":"2026-01-01","till":"2026-12-31","verifikationer":0,"tillstand":""})"),
            std::string::npos) << json.out;
  EXPECT_NE(json.out.find(R"("nr":2,"namn":"Föreningen")"), std::string::npos);
  EXPECT_NE(json.out.find(R"("tillstand":"vald")"), std::string::npos);  // the last one made

  EXPECT_EQ(Run("select 1").status, 0);
  EXPECT_NE(Run("list").out.find("vald"), std::string::npos);

  // Without --yes nobody answers the question: nothing is deleted.
  EXPECT_EQ(Run("delete 2").status, 1);
  EXPECT_TRUE(Has("Konto02.DAT"));
  const ProgramRun deleted = Run("delete 2 --yes");
  EXPECT_EQ(deleted.status, 0) << deleted.out;
  EXPECT_NE(deleted.out.find("BfDataBas: Föreningen 2027-06-30 raderad"), std::string::npos) << deleted.out;
  EXPECT_FALSE(Has("Konto02.DAT"));
  EXPECT_NE(Run("list").out.find("2                                                           0  raderad"),
            std::string::npos);
  ASSERT_EQ(Run("new --name Ny --from 2026-01-01 --to 2026-12-31").status, 0);
  EXPECT_TRUE(Has("Konto02.DAT"));  // the deleted slot again
}

TEST_F(BfnolkDatabase, BackupAndCopy) {
  ASSERT_EQ(Run("init").status, 0);
  ASSERT_EQ(Run("new --name Hemmet --from 2026-01-01 --to 2026-12-31").status, 0);
  const ProgramRun same = Run("backup '" + root_ + "/DATA/'");
  EXPECT_EQ(same.status, 1);
  EXPECT_NE(same.out.find("Kopiering till samma bibliotek, ange annat bibliotek!"), std::string::npos) << same.out;
  fs::create_directories(root_ + "/kopia");
  const ProgramRun backup = Run("backup '" + root_ + "/kopia'");
  EXPECT_EQ(backup.status, 0) << backup.out;
  EXPECT_NE(backup.out.find("BfDataBas nr.01 kopierad till " + root_ + "/kopia ..lyckad kopiering!!"),
            std::string::npos) << backup.out;
  EXPECT_TRUE(fs::exists(root_ + "/kopia/Konto01.Dat"));
  EXPECT_TRUE(fs::exists(root_ + "/kopia/BfNolk.Dat"));
  const ProgramRun copy = Run("copy");
  EXPECT_EQ(copy.status, 0) << copy.out;
  EXPECT_TRUE(Has("Konto02.Dat"));
  EXPECT_NE(Run("list").out.find("2  Hemmet"), std::string::npos);
}

TEST_F(BfnolkDatabase, ABackupGoesWhereARelativeFolderSaysAndMakesIt) {
  ASSERT_EQ(Run("init").status, 0);
  ASSERT_EQ(Run("new --name Hemmet --from 2026-01-01 --to 2026-12-31").status, 0);
  // From the folder the command is given in, as every program takes a relative name.
  const ProgramRun backup = RunProgram("cd '" + root_ + "' && '" BFN_BIN_DIR "/bfnolk' --config-dir konfig --data-dir data "
                                       "backup kopior/ny </dev/null");
  EXPECT_EQ(backup.status, 0) << backup.out;
  EXPECT_NE(backup.out.find("kopierad till " + root_ + "/kopior/ny ..lyckad kopiering!!"), std::string::npos)
      << backup.out;
  EXPECT_TRUE(fs::exists(root_ + "/kopior/ny/Konto01.Dat"));
  EXPECT_FALSE(fs::exists(root_ + "/data/kopior"));
  // A folder that cannot be made: the system says why.
  std::ofstream(root_ + "/fil") << "ingen katalog";
  const ProgramRun failed = Run("backup '" + root_ + "/fil/kopia'");
  EXPECT_EQ(failed.status, 1) << failed.out;
  EXPECT_NE(failed.out.find("Error vid kopiering 020 (Not a directory)"), std::string::npos) << failed.out;
  EXPECT_EQ(Run("verify").status, 0);
}

TEST_F(BfnolkDatabase, AFailedCopyLeavesTheListAsItWas) {
  ASSERT_EQ(Run("init").status, 0);
  ASSERT_EQ(Run("new --name Hemmet --from 2026-01-01 --to 2026-12-31").status, 0);
  const std::string list = Bytes(root_ + "/data/BfNolk.DAT");
  fs::create_directories(root_ + "/data/Konto02.Dat");  // where the copy's first file goes
  const ProgramRun copy = Run("copy");
  EXPECT_EQ(copy.status, 1) << copy.out;
  EXPECT_NE(copy.out.find("Error vid kopiering 021 (Is a directory)"), std::string::npos) << copy.out;
  EXPECT_TRUE(Bytes(root_ + "/data/BfNolk.DAT") == list) << "the list changed";
  EXPECT_NE(Run("list").out.find("2                                                           0  vakant"),
            std::string::npos);
}

TEST_F(BfnolkDatabase, ARefusedSelectionChangesNothing) {
  ASSERT_EQ(Run("init").status, 0);
  ASSERT_EQ(Run("new --name Ett --from 2026-01-01 --to 2026-12-31").status, 0);
  ASSERT_EQ(Run("new --name Två --from 2026-01-01 --to 2026-12-31").status, 0);
  ASSERT_EQ(Run("select 1").status, 0);
  ASSERT_EQ(Run("account add 1930 --name Bank").status, 0);
  // A backup holds the whole list but the files of the one bookkeeping only; restored, the
  // other one cannot be opened.
  ASSERT_EQ(Run("backup '" + root_ + "/kopia'").status, 0);
  const std::string settings = Bytes(root_ + "/konfig/BFNOLKW64.P64");
  const ProgramRun select = Run("select 2", "kopia");
  EXPECT_EQ(select.status, 1) << select.out;
  EXPECT_NE(select.out.find("bokföring nr 2 kan inte väljas"), std::string::npos) << select.out;
  EXPECT_TRUE(Bytes(root_ + "/konfig/BFNOLKW64.P64") == settings) << "the settings changed";
  const ProgramRun after = Run("account list", "kopia");
  EXPECT_EQ(after.status, 0) << after.out;
  EXPECT_NE(after.out.find("1930  Bank"), std::string::npos) << after.out;
  const std::string list = Run("list", "kopia").out;
  EXPECT_EQ(list.substr(0, 5), "1  Et") << list;
  EXPECT_NE(list.find("vald\n2"), std::string::npos) << list;
}

TEST_F(BfnolkDatabase, UsageErrorsExitTwoAndChangeNothing) {
  ASSERT_EQ(Run("init").status, 0);
  const std::string list = Run("list").out;
  for (const char* bad : {"new --name X --from 2026-02-30 --to 2026-12-31", "new --name X --from 2026-01-01",
                          "new --name X --from 2026-06-01 --to 2026-01-01", "select 9", "select x",
                          "delete", "change 1 --colour red", "backup", "list extra"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(Run(bad).status, 2);
  }
  EXPECT_EQ(Run("list").out, list);
}

}  // namespace

namespace {

// Standard error carries news only: a command that did what it printed says nothing more.
TEST_F(BfnolkDatabase, ACommandThatWentWellIsQuietOnStandardError) {
  ASSERT_EQ(Run("init").status, 0);
  const auto standardError = [&](const std::string& args) {
    return RunProgram("( " + Command(args) + " </dev/null 2>&1 >/dev/null )");
  };
  for (const char* command : {"new --name Hemmet --from 2026-01-01 --to 2026-12-31", "list", "select 1",
                              "account add 1930 --name Bank", "account list", "verify"}) {
    const ProgramRun run = standardError(command);
    EXPECT_EQ(run.status, 0) << command;
    EXPECT_EQ(run.out, "") << command;
  }
  // A refusal still says why.
  EXPECT_NE(standardError("select 5").out, "");
  // A usage error of config too, in the words of the others, and nothing on the output.
  EXPECT_EQ(standardError("config visa").out, "bfnolk config: okänt visa; ange show eller reset [--yes]\n");
  EXPECT_EQ(standardError("config visa").status, 2);
  EXPECT_EQ(RunProgram("( " + Command("config visa") + " </dev/null 2>/dev/null )").out, "");
}

// Each command's help is its part of the whole help, with the command's lines in it.
TEST_F(BfnolkDatabase, EveryCommandHasItsHelp) {
  const ProgramRun all = Run("--help");
  ASSERT_EQ(all.status, 0);
  for (const std::string command : {"config", "init", "list", "new", "change", "select", "delete", "copy", "backup",
                                    "restore", "reset", "rebuild", "account", "ver", "verify", "print", "show",
                                    "export", "import", "label", "giro"}) {
    SCOPED_TRACE(command);
    const ProgramRun help = Run(command + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("användning: bfnolk ", 0), 0u) << help.out;
    const size_t first = help.out.find("\n  " + command);
    ASSERT_NE(first, std::string::npos) << help.out;
    const std::string line = help.out.substr(first + 1, help.out.find('\n', first + 1) - first);
    EXPECT_NE(all.out.find(line), std::string::npos) << line;
  }
}

}  // namespace
