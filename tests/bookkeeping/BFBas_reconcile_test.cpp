// The list record and the files it counts never disagree for long: a saved verification
// reaches the list at once, an open after an interruption puts the list right from the files,
// and new sum groups regroup the totals.
#include <gtest/gtest.h>

#include "BookkeepingFolder.h"
#include "bookkeeping/BFVerify.h"
#include "common/Ansi.h"

namespace bf {
namespace {

class ListRecord : public BookkeepingFolder {
 protected:
  void SetUp() override {
    BookkeepingFolder::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    NewAccount("1930", 1000);
    NewAccount("2010", 0);
    NewAccount("3010", 0);
  }

  void Post(int debit, int credit, double amount) {
    PrepareFreshVerification(s());
    ASSERT_EQ(AddVerificationRow(s(), debit, '+', amount), RowResult::kPosted);
    ASSERT_EQ(AddVerificationRow(s(), credit, '-', amount), RowResult::kPosted);
    ASSERT_EQ(SaveVerification(s(), "v", "2026-03-01"), SaveResult::kSaved);
  }

  // The list record as the file holds it.
  BfDataBasRecord Stored() {
    const BfDataBasRecord kept = s().dataBas;
    int32_t recNo = s().current;
    bool found = false, atEnd = false;
    BfAccess(s(), kListFile, kAtRecord, "", recNo, found, atEnd);
    EXPECT_TRUE(found);
    const BfDataBasRecord stored = s().dataBas;
    s().dataBas = kept;
    return stored;
  }

  void ExpectSound() {
    for (const std::string& f : VerifyBookkeeping(s(), folder_.path())) ADD_FAILURE() << ansi::ToUtf8(f);
  }
};

TEST_F(ListRecord, ASavedVerificationIsInTheListAtOnce) {
  Post(1930, 3010, 250);
  const BfDataBasRecord stored = Stored();
  EXPECT_EQ(stored.lastVerNr, 1);
  EXPECT_DOUBLE_EQ(stored.grandTotal, 1000.0);
  EXPECT_DOUBLE_EQ(stored.groupTotals[1], 250.0);
  EXPECT_DOUBLE_EQ(stored.groupTotals[3], -250.0);
}

TEST_F(ListRecord, AnOpenAfterAnInterruptionTakesNumberAndTotalsFromTheFiles) {
  const BfDataBasRecord before = Stored();
  Post(1930, 3010, 250);
  Post(3010, 2010, 40.5);
  // As a process that ended between saving and writing the list left it.
  s().dataBas = before;
  int32_t recNo = s().current;
  ASSERT_TRUE(PutDataBas(s(), false, recNo));
  db_->CloseBookkeeping();
  db_->SelectBookkeeping(1);
  ASSERT_TRUE(db_->bookkeepingOpen());
  EXPECT_EQ(s().dataBas.lastVerNr, 2);
  EXPECT_EQ(Stored().lastVerNr, 2);
  EXPECT_DOUBLE_EQ(s().dataBas.groupTotals[3], -209.5);
  EXPECT_NE(eerror::StatusMsg.find(A("stämdes av")), std::string::npos) << eerror::StatusMsg;
  ExpectSound();
  // The next verification takes the next number, never one in use.
  Post(1930, 3010, 1);
  EXPECT_EQ(s().dataBas.lastVerNr, 3);
  ExpectSound();

  // An open of books that agree says nothing and writes nothing.
  db_->CloseBookkeeping();
  eerror::StatusMsg.clear();
  db_->SelectBookkeeping(1);
  EXPECT_EQ(eerror::StatusMsg.find(A("stämdes av")), std::string::npos) << eerror::StatusMsg;
}

TEST_F(ListRecord, NewSumGroupsRegroupTheTotals) {
  Post(1930, 3010, 250);
  Post(2010, 1930, 30);
  s().dataBas.sumGroups[1] = "1000..2999";
  s().dataBas.sumGroups[2] = "3000..3999";
  ASSERT_TRUE(db_->FinishChangeBookkeeping());
  EXPECT_DOUBLE_EQ(s().dataBas.groupTotals[1], 250.0);  // 1930: +250 -30, 2010: +30
  EXPECT_DOUBLE_EQ(s().dataBas.groupTotals[2], -250.0);
  EXPECT_DOUBLE_EQ(s().dataBas.groupTotals[3], 0.0);
  EXPECT_DOUBLE_EQ(s().dataBas.groupOpeningTotals[1], 1000.0);
  EXPECT_DOUBLE_EQ(Stored().groupTotals[2], -250.0);
  ExpectSound();
}

}  // namespace
}  // namespace bf
