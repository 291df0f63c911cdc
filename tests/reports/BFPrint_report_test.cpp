// The frame every report shares: the data each needs before it runs, and a job that cannot
// start.
#include "reports/BFPrint_report.h"

#include "ReportBooks.h"
#include "shell/Eerror32.h"
#include "storage/Filer.h"

namespace reports {
namespace {

class Frame : public ReportBooks {};

TEST_F(Frame, EachReportNeedsItsRecordsOrSaysThereIsNotEnoughData) {
  // The books have accounts and verifications but no month sums yet.
  for (const char* word : {"huvudbok", "grundbok", "kontoplan", "saldolista", "resultat", "balans", "summagrupper"})
    EXPECT_TRUE(EnoughData(s(), *FindReport(word))) << word;
  eerror::StatusMsg.clear();
  EXPECT_FALSE(EnoughData(s(), *FindReport("grafiskt")));
  EXPECT_EQ(eerror::StatusMsg, A("Ej tillräckliga data!"));

  // Without verifications the ledger and the journal have nothing to show, the account
  // reports still do.
  for (int32_t recNo = 1; recNo < isam::FileLen(s().verFile); ++recNo) isam::DeleteRec(s().verFile, recNo);
  EXPECT_FALSE(EnoughData(s(), *FindReport("huvudbok")));
  EXPECT_FALSE(EnoughData(s(), *FindReport("grundbok")));
  EXPECT_TRUE(EnoughData(s(), *FindReport("balans")));
  EXPECT_EQ(FindReport("bokslut"), nullptr);
}

TEST_F(Frame, AJobThatCannotStartPrintsNothingAndLeavesNoJobOpen) {
  struct Refusing : printing::TextDevice {
    bool BeginDocument(const std::string&) override { return false; }
  } refusing;
  printing::PrintJob job(refusing, dialogs_);
  EXPECT_FALSE(PrintReport(job, s(), *FindReport("kontoplan"), AllAccounts(), Setting()));
  EXPECT_FALSE(job.IsOpen());
  EXPECT_EQ(dialogs_.created, 0);
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].text, A("Kan ej skapa vald skrivare enligt inställningar"));
}

}  // namespace
}  // namespace reports
