// bfnolk import plan and bfnolk import sie killed with SIGKILL at moments spread over their
// life: afterwards bfnolk verify finds nothing and the bookkeepings are exactly those before
// the import or those after it, whether the import made a new bookkeeping or filled the
// open one; only which one is selected may have stayed as before.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

#include "../storage/TempFolder.h"
#include "BfnolkFolder.h"

namespace fs = std::filesystem;

namespace {

class BfnolkImportCrash : public BfnolkFolder {
 protected:
  void SetUp() override {
    // Every run flushes a great deal and the kills need no disk: the folder lies in memory.
    std::string pattern = (fs::path(FastTempParent()) / "bfnolkXXXXXX").string();
    root_ = ::mkdtemp(pattern.data());
    Ok("init");
    Ok("new --name Hemmet --from 2026-01-01 --to 2026-12-31");
    Ok("account add 1930 --name Bank --sign + --opening 1000");
    std::string plan;
    for (int a = 0; a < 150; ++a) plan += std::to_string(3000 + a) + ",Konto,-,,1.00,0,2.00\r\n";
    std::ofstream(root_ + "/plan.bfr", std::ios::binary) << plan;
    std::string sie = "#FLAGGA 0\r\n#FNAMN \"F\x94rening\"\r\n#RAR 0 20260101 20261231\r\n#KONTO 1930 Bank\r\n";
    for (int v = 1; v <= 300; ++v)
      sie += "#VER \"\" " + std::to_string(v) + " 20260105 \"Avgift " + std::to_string(v) +
             "\"\r\n{\r\n#TRANS 1930 {} 1.25\r\n#TRANS 3010 {} -1.25\r\n}\r\n";
    std::ofstream(root_ + "/bok.se", std::ios::binary) << sie;
    fs::copy(root_, root_ + ".pristine", fs::copy_options::recursive);
  }
  void TearDown() override {
    fs::remove_all(root_ + ".pristine");
    BfnolkFolder::TearDown();
  }

  void BackToPristine() const {
    for (const char* folder : {"/data", "/konfig"}) {
      fs::remove_all(root_ + folder);
      fs::copy(root_ + ".pristine" + folder, root_ + folder, fs::copy_options::recursive);
    }
  }

  // Everything bfnolk shows of the bookkeepings, the one selected among it.
  std::string Books() const {
    // The list first: which bookkeeping is selected belongs to the state too.
    std::string all = Run("list").out;
    for (const char* n : {"1", "2"}) {
      if (Run(std::string("select ") + n).status != 0) continue;
      all += Run("account list").out + Run("ver list").out;
    }
    return all;
  }

  // The import run once whole for its life and the books after it; then killed at moments
  // spread over that life, each time from the books before it.
  void KillAnywhere(const std::string& args, unsigned seed) {
    BackToPristine();
    const std::string before = Books();
    BackToPristine();
    const auto start = std::chrono::steady_clock::now();
    Ok(args);
    const auto life = std::chrono::steady_clock::now() - start;
    const std::string after = Books();
    ASSERT_NE(before, after);
    // The list and the remembered choice are two files: a kill between their writes leaves the
    // import whole and the choice where it was.
    BackToPristine();
    Ok(args);
    Ok("select 1");
    const std::string afterChoiceKept = Books();
    std::mt19937 rng(seed);
    int whole = 0;
    for (int run = 0; run < 8; ++run) {
      SCOPED_TRACE(args + ", run " + std::to_string(run));
      BackToPristine();
      KilledAfter(args, life * (rng() % 1000) / 1000);
      const ProgramRun verify = Run("verify");
      ASSERT_EQ(verify.status, 0) << verify.out;
      const std::string now = Books();
      ASSERT_TRUE(now == before || now == after || now == afterChoiceKept) << now;
      whole += now == after;
      EXPECT_FALSE(fs::exists(root_ + "/data/replace01.tmp"));
    }
    RecordProperty(args, whole);
  }
};

TEST_F(BfnolkImportCrash, PlanImport) { KillAnywhere("import plan '" + root_ + "/plan.bfr' --balance opening", 27); }

TEST_F(BfnolkImportCrash, SieImportIntoTheOpenBookkeeping) { KillAnywhere("import sie '" + root_ + "/bok.se'", 28); }

TEST_F(BfnolkImportCrash, SieImportIntoANewBookkeeping) {
  KillAnywhere("import sie '" + root_ + "/bok.se' --new", 29);
}

}  // namespace
