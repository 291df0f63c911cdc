// The info form's rules on a real list of bookkeepings: what a name and a period must be, a
// new bookkeeping made and one cancelled, and a change regrouping the totals.
#include "bookkeeping_ui/BfInfoForm_rules.h"

#include <gtest/gtest.h>

#include "../bookkeeping/BookkeepingFolder.h"
#include "ScriptedPickWindows.h"
#include "bookkeeping/BFVerify.h"
#include "common/Ansi.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"

namespace bf {
namespace {

using InfoForm = BookkeepingFolder;

TEST(BookkeepingInfo, ANameAndARealPeriodAreTakenAsTypedAndAnythingElseIsRefused) {
  const struct {
    InfoTexts typed;
    InfoField field;
    const char* says;
  } refused[] = {
      {{"Bostadsrättsföreningen Ekbacken", "2026-01-01", "2026-12-31"}, InfoField::kName,
       "namn rymmer högst 26 tecken, texten har 31"},
      {{"", "2026-01-01", "2026-12-31"}, InfoField::kName, "ange ett namn på bokföringen"},
      {{"   ", "2026-01-01", "2026-12-31"}, InfoField::kName, "ange ett namn på bokföringen"},
      {{"Hus ☃", "2026-01-01", "2026-12-31"}, InfoField::kName, "namn kan inte lagra tecknet U+2603 (finns inte i Windows-1252)"},
      {{"Hem", "2026-02-30", "2026-12-31"}, InfoField::kFromDate, "2026-02-30 är inget datum (åååå-mm-dd)"},
      {{"Hem", "--", "2026-12-31"}, InfoField::kFromDate, "-- är inget datum (åååå-mm-dd)"},
      {{"Hem", "1899-12-31", "2026-12-31"}, InfoField::kFromDate, "1899-12-31 är inget datum (åååå-mm-dd)"},
      {{"Hem", "2026-01-01", "2026-13-01"}, InfoField::kToDate, "2026-13-01 är inget datum (åååå-mm-dd)"},
      {{"Hem", "2026-01-01", "20261231"}, InfoField::kToDate, "20261231 är inget datum (åååå-mm-dd)"},
      {{"Hem", "2026-07-01", "2026-06-30"}, InfoField::kToDate, "perioden slutar före sin början"},
  };
  const BfDataBasRecord fresh = FreshDataBasRecord();
  for (const auto& c : refused) {
    SCOPED_TRACE(c.says);
    BfDataBasRecord record = fresh;
    InfoField field = InfoField::kName;
    std::string message;
    EXPECT_FALSE(TakeBookkeepingInfo(c.typed, record, field, message));
    EXPECT_EQ(field, c.field);
    EXPECT_EQ(message, A(c.says));
    EXPECT_EQ(record, fresh);
  }
  BfDataBasRecord record = fresh;
  InfoField field = InfoField::kName;
  std::string message;
  ASSERT_TRUE(TakeBookkeepingInfo({"Föreningen", "2026-07-01", "2026-07-01"}, record, field, message));
  EXPECT_EQ(record.name, A("Föreningen"));
  EXPECT_EQ(record.fromDate, "2026-07-01");
  EXPECT_EQ(RejectedText(InfoField::kName), A("namn rymmer högst 26 tecken"));
}

TEST_F(InfoForm, ANewBookkeepingIsMadeWithItsFilesAndOpened) {
  NewAccount("1930", 10);
  TInputIEdit form(*db_, true);
  ASSERT_TRUE(form.Started());
  EXPECT_FALSE(db_->bookkeepingOpen());  // the open one was closed for the new one
  EXPECT_EQ(form.Shown().name, "");
  EXPECT_EQ(form.Record().sumGroups[2], "2000..2999");
  InfoField field = InfoField::kName;
  std::string message;
  EXPECT_FALSE(form.Ok({"Klubben", "2026-01-01", "2025-12-31"}, field, message));
  EXPECT_EQ(db_->current(), 0);  // nothing saved
  ASSERT_TRUE(form.Ok({"Klubben", "2026-01-01", "2026-12-31"}, field, message)) << message;
  EXPECT_EQ(db_->current(), 2);
  EXPECT_TRUE(db_->bookkeepingOpen());
  EXPECT_EQ(s().dataBas.name, "Klubben");
  EXPECT_EQ(s().dataBas.number, "02");
}

TEST_F(InfoForm, ACancelledNewBookkeepingLeavesNoneOpenUntilTheRememberedOneIsSelected) {
  ekonfig::Konfig.SetCurBase(1);
  TInputIEdit form(*db_, true);
  ASSERT_TRUE(form.Started());
  EXPECT_FALSE(db_->bookkeepingOpen());
  form.Cancel();
  EXPECT_TRUE(db_->bookkeepingOpen());
  EXPECT_EQ(db_->current(), 1);
  EXPECT_EQ(s().dataBas.name, "prov");
}

TEST_F(InfoForm, AChangeWithAGroupChosenByListRegroupsTheTotals) {
  NewAccount("1930", 100);
  NewAccount("3010", 40);
  TInputIEdit form(*db_, false);
  EXPECT_EQ(form.Shown().name, "prov");
  ScriptedPickWindows windows;
  windows.user = [](ereg::TPickWindowState& state) {
    EXPECT_FALSE(state.Selected(0));  // 1930 is in group 1, not 3
    EXPECT_TRUE(state.Selected(1));
    state.SetSelected(0, true);
    return true;
  };
  form.ChooseGroup(windows, 3);
  EXPECT_EQ(form.Record().sumGroups[3], "1930,3010");
  EXPECT_EQ(s().dataBas.sumGroups[3], "3000..3999");  // not yet
  InfoField field = InfoField::kName;
  std::string message;
  ASSERT_TRUE(form.Ok({"prov och mer", "2026-01-01", "2026-12-31"}, field, message)) << message;
  EXPECT_EQ(s().dataBas.name, "prov och mer");
  EXPECT_EQ(s().dataBas.sumGroups[3], "1930,3010");
  // 1930 stays in group 1, the first that holds it; 3010 is only in group 3 now.
  EXPECT_DOUBLE_EQ(s().dataBas.groupOpeningTotals[1], 100);
  EXPECT_DOUBLE_EQ(s().dataBas.groupOpeningTotals[3], 40);
  EXPECT_TRUE(VerifyBookkeeping(s(), folder_.path()).empty());
}

TEST_F(InfoForm, AListOfEightRefusesANinthBookkeepingBeforeTheFormOpens) {
  for (int n = 2; n <= kMaxBookkeepings; ++n) {
    TInputIEdit form(*db_, true);
    ASSERT_TRUE(form.Started());
    InfoField field = InfoField::kName;
    std::string message;
    ASSERT_TRUE(form.Ok({"b" + std::to_string(n), "2026-01-01", "2026-12-31"}, field, message)) << message;
  }
  TInputIEdit ninth(*db_, true);
  EXPECT_FALSE(ninth.Started());
  EXPECT_EQ(eerror::StatusMsg, A("Max antal bokföringar uppnått!"));
  EXPECT_TRUE(db_->bookkeepingOpen());
}

}  // namespace
}  // namespace bf
