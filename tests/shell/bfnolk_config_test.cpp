// The configuration commands through the bfnolk program itself: the folder options, the
// answer to the reset question without a terminal, and the exit codes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "ProgramRun.h"

namespace fs = std::filesystem;

namespace {

// Standard input is empty and no terminal, so nobody can answer a question.
ProgramRun Bfnolk(const std::string& args) {
  return RunProgram("'" BFN_BIN_DIR "/bfnolk' " + args + " </dev/null");
}

class BfnolkConfig : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/bfnolk_configXXXXXX";
    root_ = ::mkdtemp(pattern);
    dirs_ = "--config-dir '" + root_ + "/konfig' --data-dir '" + root_ + "/data' ";
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string root_;
  std::string dirs_;
};

TEST_F(BfnolkConfig, ShowUsesTheFoldersOfTheRun) {
  const ProgramRun run = Bfnolk(dirs_ + "config show");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("datakatalog: " + root_ + "/data\n"), std::string::npos) << run.out;
  EXPECT_EQ(fs::file_size(root_ + "/konfig/BFNOLKW64.P64"), 318272u);
}

TEST_F(BfnolkConfig, ResetWithoutTerminalNeedsYes) {
  ASSERT_EQ(Bfnolk(dirs_ + "config show").status, 0);
  EXPECT_EQ(Bfnolk(dirs_ + "config reset").status, 1);
  const ProgramRun yes = Bfnolk(dirs_ + "config reset --yes");
  EXPECT_EQ(yes.status, 0) << yes.out;
  EXPECT_NE(yes.out.find("\"Laser 3x8\""), std::string::npos);
}

TEST_F(BfnolkConfig, UsageErrorsExitTwoAndTouchNothing) {
  EXPECT_EQ(Bfnolk("--help").status, 0);
  EXPECT_EQ(Bfnolk("").status, 2);
  EXPECT_EQ(Bfnolk("--config-dir").status, 2);
  EXPECT_EQ(Bfnolk(dirs_ + "--colour config show").status, 2);
  EXPECT_EQ(Bfnolk(dirs_ + "bokför").status, 2);
  EXPECT_EQ(Bfnolk(dirs_ + "config list").status, 2);
  EXPECT_FALSE(fs::exists(root_ + "/konfig/BFNOLKW64.P64"));
}

}  // namespace
