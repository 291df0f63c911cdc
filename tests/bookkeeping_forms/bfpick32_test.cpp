// The account, group and verification pick lists on a real bookkeeping, and the sum group
// chosen by list.
#include "bookkeeping_ui/bfpick32.h"

#include <gtest/gtest.h>

#include "../bookkeeping/BookkeepingFolder.h"
#include "ScriptedPickWindows.h"
#include "bookkeeping/BFMisc_entry.h"
#include "common/Ansi.h"
#include "shell/Eerror32.h"

namespace bf {
namespace {

class Picks : public BookkeepingFolder {
 protected:
  void SetUp() override {
    BookkeepingFolder::SetUp();
    if (HasFatalFailure()) return;
    eerror::StatusMsg.clear();
  }
  ScriptedPickWindows windows;
};

TEST_F(Picks, TheAccountListShowsEveryAccountInKeyOrderAndPickKontoReadsTheChosenOne) {
  NewAccount("3010", 0);
  const int32_t bank = NewAccount("1930", 1234.5);
  NewAccount("2440", -20);
  std::vector<std::string> shown;
  windows.user = [&](ereg::TPickWindowState& state) {
    shown = ScriptedPickWindows::Shown(state);
    EXPECT_EQ(state.Caption(), A("visar konton"));
    EXPECT_FALSE(state.Multi());
    state.SetSelected(0, true);
    return true;
  };
  int32_t recNo = 0;
  ASSERT_TRUE(PickKonto(windows, s(), A("visar konton"), recNo));
  EXPECT_EQ(shown, (std::vector<std::string>{"1930 \"konto...\"     1234.50", "2440 \"konto...\"      -20.00",
                                            "3010 \"konto...\"        0.00"}));
  EXPECT_EQ(recNo, bank);
  EXPECT_EQ(s().konto.number, "1930");

  windows.user = [](ereg::TPickWindowState&) { return false; };
  EXPECT_FALSE(PickKonto(windows, s(), A("visar konton"), recNo));
  EXPECT_EQ(recNo, -1);
}

TEST_F(Picks, AGroupHoldingARangeStartsWithItsAccountsSelectedAndBecomesTheList) {
  for (const char* number : {"1930", "1510", "2440", "1010", "3010"}) NewAccount(number, 0);
  BfDataBasRecord record = s().dataBas;  // group 1 is 1000..1999 in a fresh bookkeeping
  ASSERT_EQ(record.sumGroups[1], "1000..1999");
  std::vector<std::string> shown;
  windows.user = [&](ereg::TPickWindowState& state) {
    shown = ScriptedPickWindows::Shown(state);
    EXPECT_EQ(state.Caption(), A("välj konto(n)"));
    EXPECT_TRUE(state.Multi());
    return true;
  };
  ASSERT_TRUE(PickGroupAccounts(windows, s(), record, 1));
  EXPECT_EQ(shown, (std::vector<std::string>{"1010 \"konto...\"        0.00*", "1510 \"konto...\"        0.00*",
                                            "1930 \"konto...\"        0.00*", "2440 \"konto...\"        0.00",
                                            "3010 \"konto...\"        0.00"}));
  EXPECT_EQ(record.sumGroups[1], "1010,1510,1930");
  EXPECT_EQ(s().dataBas.sumGroups[1], "1000..1999");  // the form's record, not the list's

  // The selection starts from the definition now in the record, and a cancel keeps it.
  windows.user = [&](ereg::TPickWindowState& state) {
    shown = ScriptedPickWindows::Shown(state);
    return false;
  };
  record.sumGroups[1] = "1510";
  EXPECT_FALSE(PickGroupAccounts(windows, s(), record, 1));
  EXPECT_EQ(shown[1], "1510 \"konto...\"        0.00*");
  EXPECT_EQ(shown[0], "1010 \"konto...\"        0.00");
  EXPECT_EQ(record.sumGroups[1], "1510");

  // Nothing selected empties the group.
  windows.user = [](ereg::TPickWindowState& state) {
    state.PressAll();
    state.PressAll();
    return true;
  };
  ASSERT_TRUE(PickGroupAccounts(windows, s(), record, 1));
  EXPECT_EQ(record.sumGroups[1], "");
}

TEST_F(Picks, FourteenAccountsChosenKeepTheFirstThirteenInListOrder) {
  for (int n = 14; n >= 1; --n) NewAccount(KontoKey(4000 + n * 10), 0);
  BfDataBasRecord record = s().dataBas;
  windows.user = [](ereg::TPickWindowState& state) {
    state.PressAll();
    return true;
  };
  ASSERT_TRUE(PickGroupAccounts(windows, s(), record, 4));
  EXPECT_EQ(record.sumGroups[4], "4010,4020,4030,4040,4050,4060,4070,4080,4090,4100,4110,4120,4130");
  EXPECT_EQ(eerror::StatusMsg, A("summagruppen rymmer högst 13 konton, 1 togs inte med"));

  int dropped = -1;
  EXPECT_EQ(GroupDefinition({"1930"}, dropped), "1930");
  EXPECT_EQ(dropped, 0);
  EXPECT_EQ(GroupDefinition({}, dropped), "");
}

TEST_F(Picks, WithoutAccountsNoWindowIsShownAndNothingChanges) {
  BfDataBasRecord record = s().dataBas;
  EXPECT_FALSE(PickGroupAccounts(windows, s(), record, 2));
  int32_t recNo = 0;
  EXPECT_FALSE(PickKonto(windows, s(), "x", recNo));
  EXPECT_EQ(windows.shown, 0);
  EXPECT_EQ(record, s().dataBas);
}

TEST_F(Picks, TheGroupListShowsTheNineGroupsWithTheirTotals) {
  NewAccount("1930", 150);
  NewAccount("3010", -40.25);
  std::vector<std::string> shown;
  windows.user = [&](ereg::TPickWindowState& state) {
    shown = ScriptedPickWindows::Shown(state);
    state.SetSelected(3, true);
    return true;
  };
  TGruppPick pick(windows, s(), "grupper", false);
  pick.Run();
  ASSERT_EQ(shown.size(), 9u);
  EXPECT_EQ(shown[0], A("Övriga..........        0.00        0.00"));
  EXPECT_EQ(shown[1], "1000..1999......      150.00        0.00");
  EXPECT_EQ(shown[3], "3000..3999......      -40.25        0.00");
  ASSERT_TRUE(pick.OkExec());
  EXPECT_EQ(pick.GetPickData(0), 3);
}

TEST_F(Picks, TheVerificationListStepsThroughTheFileInOrder) {
  NewAccount("1930", 0);
  NewAccount("3010", 0);
  for (const char* name : {"Hyra", "L\xf6n"}) {
    PrepareFreshVerification(s());
    ASSERT_EQ(AddVerificationRow(s(), 1930, '+', 10), RowResult::kPosted);
    ASSERT_EQ(AddVerificationRow(s(), 3010, '-', 10), RowResult::kPosted);
    ASSERT_EQ(SaveVerification(s(), name, "2026-03-01"), SaveResult::kSaved);
  }
  std::vector<std::string> shown;
  windows.user = [&](ereg::TPickWindowState& state) {
    shown = ScriptedPickWindows::Shown(state);
    state.SetSelected(1, true);
    return true;
  };
  TVerPick pick(windows, s(), "verifikationer", false);
  pick.Run();
  EXPECT_EQ(shown, (std::vector<std::string>{"0001 \"Hyra\" ", "0002 \"L\xf6n\" "}));
  ASSERT_TRUE(pick.OkExec());
  EXPECT_GT(pick.GetPickData(0), 0);
  EXPECT_EQ(s().ver.number, 2);
}

}  // namespace
}  // namespace bf
