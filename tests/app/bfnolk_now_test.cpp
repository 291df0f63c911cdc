// bfnolk --now: the clock of one run. What reads today's date (a verification without
// --date, the month its sums are filed under) reads that time; a time that does not exist is
// a usage error before anything is touched.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "BfnolkFolder.h"

namespace {

class BfnolkNow : public BfnolkFolder {
 protected:
  // The months of the selected bookkeeping's sums, as isamtool lists their keys.
  std::string Months() const {
    return RunProgram("'" BFN_BIN_DIR "/isamtool' dump '" + root_ + "/data/BfSums01' --keys 1").out;
  }
};

TEST_F(BfnolkNow, ARunIsDatedAndItsSumsFiledByTheTimeGiven) {
  Ok("init --yes");
  Ok("new --name Hemmet --from 2019-01-01 --to 2019-12-31");
  Ok("account add 1930 --name Bank");
  Ok("account add 3010 --name Lön");
  Ok("--now '2019-03-05 08:07:06' ver add --text Mars 1930:+:10.00 3010:-:10.00");
  Ok("--now '2019-04-30 23:59:59' ver add --text April 1930:+:20.00 3010:-:20.00");
  // --date still wins over the clock.
  Ok("--now '2019-04-30 23:59:59' ver add --text Juni --date 2019-06-15 1930:+:5.00 3010:-:5.00");

  const ProgramRun list = Run("ver list --json");
  ASSERT_EQ(list.status, 0) << list.out;
  EXPECT_NE(list.out.find(R"("nummer":1,"datum":"2019-03-05")"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find(R"("nummer":2,"datum":"2019-04-30")"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find(R"("nummer":3,"datum":"2019-06-15")"), std::string::npos) << list.out;

  const std::string months = Months();
  EXPECT_NE(months.find(" 2019-03\n"), std::string::npos) << months;
  EXPECT_NE(months.find(" 2019-04\n"), std::string::npos) << months;
  EXPECT_EQ(months.find(" 2019-06\n"), std::string::npos) << months;  // filed when entered
  Verified("three verifications");
}

TEST_F(BfnolkNow, ATimeThatDoesNotExistIsAUsageErrorThatTouchesNothing) {
  for (const char* now : {"2026-02-30 12:00:00", "2026-01-01 25:00:00", "2026-01-01 12:00",
                          "2026-01-01T12:00:00", "i morgon"}) {
    const ProgramRun run = Run(std::string("--now '") + now + "' init --yes");
    EXPECT_EQ(run.status, 2) << now << "\n" << run.out;
    EXPECT_NE(run.out.find("--now " + std::string(now) + " är ingen tidpunkt"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("ÅÅÅÅ-MM-DD TT:MM:SS"), std::string::npos) << run.out;
  }
  EXPECT_EQ(Run("--now").status, 2);
  EXPECT_FALSE(std::filesystem::exists(root_ + "/data"));
  EXPECT_FALSE(std::filesystem::exists(root_ + "/konfig"));
}

}  // namespace
