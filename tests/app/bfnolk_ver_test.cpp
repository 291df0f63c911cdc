// bfnolk ver play and ver add, run as a script runs them: a template played as the window
// plays it, refused before anything is posted while a row it asks for lacks --amount; rows
// refused with the dialog's own messages; and ver play killed with SIGKILL anywhere in its
// life, after which the books hold the whole verification or none of it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "BfnolkFolder.h"

namespace fs = std::filesystem;

namespace {

class BfnolkVer : public BfnolkFolder {
 protected:
  void SetUp() override {
    BfnolkFolder::SetUp();
    Ok("init");
    Ok("new --name Hemmet --from 2026-01-01 --to 2026-12-31");
    Ok("account add 1930 --name Bank --sign + --opening 1000");
    Ok("account add 7010 --name Lon --sign +");
    Ok("account add 2710 --name Skatt --sign -");
  }
  // A template in the test's folder; its name.
  std::string Template(const std::string& name, const std::string& cp1252) const {
    std::ofstream(root_ + "/" + name, std::ios::binary) << cp1252;
    return "'" + root_ + "/" + name + "'";
  }
  // Every file of the data directory with its bytes.
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(root_ + "/data")) {
      std::ostringstream bytes;
      bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
      files[entry.path().filename().string()] = bytes.str();
    }
    return files;
  }
  static std::string Salary() {
    return "L\xF6n #month\r\n; kontrollera skatten\r\n7010,25000,+\r\n2710,0,-\r\n\r\n1930,1,=\r\n";
  }
};

TEST_F(BfnolkVer, ATemplatePlaysWithTheAmountsItAsksFor) {
  const std::string file = Template("lon.ver", Salary());
  const auto files = Files();
  const ProgramRun missing = Run("--now '2026-03-25 08:00:00' ver play " + file);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("bfnolk: mallens belopp är 0 på rad 2; ange dem med --amount RAD=BELOPP"),
            std::string::npos) << missing.out;
  EXPECT_EQ(Files(), files);  // nothing posted, nothing written
  const ProgramRun extra = Run("ver play " + file + " --amount 2=1 --amount 1=5");
  EXPECT_EQ(extra.status, 2);
  EXPECT_NE(extra.out.find("mallen har redan beloppet på rad 1"), std::string::npos) << extra.out;

  const ProgramRun played = Run("--now '2026-03-25 08:00:00' ver play " + file + " --amount 2=4100,50");
  ASSERT_EQ(played.status, 0) << played.out;
  EXPECT_NE(played.out.find("verifikation 1 sparad"), std::string::npos);
  const ProgramRun shown = Run("ver show 1 --json");
  EXPECT_NE(shown.out.find(R"("datum":"2026-03-25","text":"Lön Mars")"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find(R"({"konto":"1930","sida":"-","belopp":20899.50})"), std::string::npos) << shown.out;
  // A name without a folder is the caller's, not the data directory's.
  const ProgramRun relative = RunProgram("cd '" + root_ + "' && " + Command("ver play lon.ver --amount 2=100 --text Bonus"));
  ASSERT_EQ(relative.status, 0) << relative.out;
  EXPECT_NE(Run("ver show 2").out.find("Bonus"), std::string::npos);
  Verified("after the templates");
}

TEST_F(BfnolkVer, ATemplateThatDoesNotBalanceOrNamesNoAccountSavesNothing) {
  const auto before = Run("account list").out;
  const ProgramRun unbalanced = Run("ver play " + Template("halv.ver", "Halv\n7010,100,+\n"));
  EXPECT_EQ(unbalanced.status, 1);
  EXPECT_NE(unbalanced.out.find("bfnolk: verifikationen sparades inte: verifikationen ej balanserad"), std::string::npos)
      << unbalanced.out;
  const ProgramRun unknown = Run("ver play " + Template("fel.ver", "Fel\n7010,100,+\n4444,100,-\n"));
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.out.find("bfnolk: mallens rad 2: kontot finns inte i databasen, dubbelklicka för att välja!"),
            std::string::npos) << unknown.out;
  const ProgramRun empty = Run("ver play " + Template("tom.ver", "; bara namn\nTom\n"));
  EXPECT_EQ(empty.status, 1);
  EXPECT_NE(empty.out.find("den har inga rader"), std::string::npos) << empty.out;
  const ProgramRun absent = Run("ver play '" + root_ + "/saknas.ver'");
  EXPECT_EQ(absent.status, 1);
  EXPECT_NE(absent.out.find("Kan ej öppna IxportFile"), std::string::npos) << absent.out;
  EXPECT_EQ(Run("account list").out, before);
  EXPECT_EQ(Run("ver list").out, "");
  Verified("after the refusals");
}

TEST_F(BfnolkVer, AddGoesThroughTheEntryAndItsMessages) {
  const ProgramRun unknown = Run("ver add --text Fel 1930:+:1 4444:-:1");
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.out.find("bfnolk: raden 4444:-:1: kontot finns inte i databasen, dubbelklicka för att välja!"),
            std::string::npos) << unknown.out;
  const ProgramRun half = Run("ver add --text Halv 1930:+:1.01 7010:-:1");
  EXPECT_EQ(half.status, 1);
  EXPECT_NE(half.out.find("verifikationen ej balanserad"), std::string::npos) << half.out;
  EXPECT_EQ(Run("ver add --text Debet 1930:D:1 7010:K:1").status, 2);  // the dialog's sides only
  Ok("ver add --text Rätt 1930:+:1,5 7010:-:1.50");
  EXPECT_NE(Run("ver show 1").out.find("1.50"), std::string::npos);
  Verified("after ver add");
}

// SIGKILL at moments spread over the life of ver play of a long template: afterwards the
// books hold the verification whole or not at all, and no log is left once they are opened.
class BfnolkVerCrash : public BfnolkVer {};

TEST_F(BfnolkVerCrash, AKillAnywhereLeavesTheWholeVerificationOrNone) {
  std::string rows = "Lång\n";
  for (int r = 0; r < 40; ++r) rows += (r % 2 ? "2710,1.25,-\n" : "7010,1.25,+\n");
  const std::string file = root_ + "/lang.ver";
  std::ofstream(file, std::ios::binary) << rows;
  const auto start = std::chrono::steady_clock::now();
  Ok("ver play '" + file + "'");
  const auto life = std::chrono::steady_clock::now() - start;
  std::mt19937 rng(24);
  int saved = 1;
  for (int run = 0; run < 25; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    KilledAfter("ver play '" + file + "'", life * (rng() % 1000) / 1000);
    // The next open takes back what the killed run left; verify opens for reading.
    const ProgramRun verify = Run("verify");
    ASSERT_EQ(verify.status, 0) << verify.out;
    const ProgramRun list = Run("ver list");
    const int now = static_cast<int>(std::count(list.out.begin(), list.out.end(), '\n'));
    ASSERT_TRUE(now == saved || now == saved + 1) << list.out;
    saved = now;
    EXPECT_FALSE(fs::exists(root_ + "/data/Bf01.Rad"));
  }
}

}  // namespace
