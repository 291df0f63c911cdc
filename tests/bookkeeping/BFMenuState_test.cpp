#include "bookkeeping/BFMenuState.h"

#include <gtest/gtest.h>

#include "BookkeepingFolder.h"
#include "common/Ansi.h"

namespace bf {
namespace {

class MenuStateTest : public BookkeepingFolder {};

TEST_F(MenuStateTest, NoListEverySlotVacantAndNothingOfTheTable) {
  TempFolder empty;
  BfDatabase none(empty.path());
  none.OpenBookkeepingList();
  const MenuState state = RefreshMenuState(none);
  for (const BookkeepingSlot& slot : state.bookkeepings) {
    EXPECT_EQ(slot.caption, "vakant");
    EXPECT_FALSE(slot.enabled);
    EXPECT_FALSE(slot.checked);
  }
  EXPECT_EQ(state.dataPanel, "<inga filer>");
  for (const char* item : {"new", "tbBackup", "etikettMenu", "change", "plan", "huvudbok"})
    EXPECT_FALSE(state.Allows(NeedOf(item))) << item;
  EXPECT_TRUE(state.Allows(NeedOf("initdata")));
}

TEST_F(MenuStateTest, DeletedSlotReadsRaderadAndBufferIsKept) {
  ASSERT_TRUE(db_->BeginNewBookkeeping());
  s().dataBas.name = "andra";
  ASSERT_TRUE(db_->FinishNewBookkeeping());
  boxes_.defaultAnswer = eerror::kYes;
  ASSERT_TRUE(db_->DeleteBookkeeping(1));
  db_->SelectBookkeeping(2);
  const MenuState state = RefreshMenuState(*db_);
  EXPECT_EQ(state.bookkeepings[0].caption, "raderad");
  EXPECT_FALSE(state.bookkeepings[0].enabled);
  EXPECT_EQ(state.bookkeepings[1].caption, "andra");
  EXPECT_TRUE(state.bookkeepings[1].enabled && state.bookkeepings[1].checked);
  EXPECT_EQ(state.bookkeepings[2].caption, "vakant");
  EXPECT_EQ(s().dataBas.name, "andra");
  EXPECT_EQ(state.dataPanel, "andra");
}

TEST_F(MenuStateTest, VerificationReportsNeedAVerification) {
  MenuState state = RefreshMenuState(*db_);
  EXPECT_TRUE(state.Allows(NeedOf("kontoreg")));
  EXPECT_TRUE(state.Allows(NeedOf("kontoplan")));
  EXPECT_FALSE(state.Allows(NeedOf("huvudbok")));
  EXPECT_FALSE(state.Allows(NeedOf("balansrapport")));
  int32_t recNo = 0;
  ASSERT_TRUE(PutVer(s(), true, recNo));
  state = RefreshMenuState(*db_);
  EXPECT_TRUE(state.Allows(NeedOf("huvudbok")));
  db_->CloseBookkeeping();
  state = RefreshMenuState(*db_);
  EXPECT_EQ(state.dataPanel, A("<bokföring ej vald>"));
  EXPECT_TRUE(state.Allows(NeedOf("new")));
  EXPECT_FALSE(state.Allows(NeedOf("change")));
}

TEST(RecordSizes, RightAlignedInThree) {
  EXPECT_EQ(RecordSizesText(), "1=3552 2= 73 3=174 4=952 5=909 6=808 7=16004 8=48012 9= 20");
}

}  // namespace
}  // namespace bf
