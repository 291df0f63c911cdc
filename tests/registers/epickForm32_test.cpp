// The pick list over a register in memory: what it reads, what the window starts with, what
// the user's choices in the window do, and what the caller learns afterwards.
#include "registers/epickForm32.h"

#include <gtest/gtest.h>

#include <functional>

#include "FakeRegister.h"

using namespace ereg;

namespace {

// The window: the test acts as the user, or none is expected.
class ScriptedWindows : public PickWindows {
 public:
  std::function<bool(TPickWindowState&)> user;
  int shown = 0;
  bool ShowPick(TPickWindowState& state) override {
    ++shown;
    return user ? user(state) : false;
  }
};

// A pick list of the fake register whose lines are the keys; keys in `marked` start selected.
class FakePick : public TEPick {
 public:
  FakePick(PickWindows& owner, FakeRecords& records, int32_t preselected, bool multi, bool sorted,
           std::string marked = "")
      : TEPick(owner, "", preselected, multi, sorted), records_(records), marked_(std::move(marked)) {}

 protected:
  bool doTheFilter() override { return records_.buffer != "filtered"; }
  void FormPickStr(std::string& line, int32_t& recNo) override {
    line = records_.buffer;
    if (!marked_.empty() && marked_.find(line) != std::string::npos) recNo = -recNo;
  }
  void FixtSelect(FixtOp op, const std::string& key, int32_t& recNo, bool& found, bool& atEnd) override {
    records_.Select(op, key, recNo, found, atEnd);
  }

 private:
  FakeRecords& records_;
  std::string marked_;
};

class PickList : public testing::Test {
 protected:
  void SetUp() override {
    // Record numbers in another order than the keys, so the two cannot be confused.
    records.Add(3, "anna");
    records.Add(1, "bertil");
    records.Add(7, "cesar");
    records.Add(2, "filtered");
    records.Add(5, "david");
  }
  FakeRecords records;
  ScriptedWindows windows;
};

TEST_F(PickList, APreselectedRecordStartsSelectedAndOkWithoutChangesPicksIt) {
  std::vector<std::string> seen;
  windows.user = [&](TPickWindowState& state) {
    for (int i = 0; i < state.Count(); ++i) seen.push_back(state.Line(i) + (state.Selected(i) ? "*" : ""));
    EXPECT_EQ(state.Caption(), "v\xe4lj");
    EXPECT_EQ(state.Status(), "  1 [  4]");
    return true;
  };
  FakePick pick(windows, records, 7, false, false);
  pick.Run();
  EXPECT_EQ(seen, (std::vector<std::string>{"anna", "bertil", "cesar*", "david"}));  // key order, filter applied
  EXPECT_EQ(pick.Total(), 4);
  ASSERT_TRUE(pick.OkExec());
  EXPECT_EQ(pick.Antal(), 1);
  EXPECT_FALSE(pick.Alla());
  EXPECT_EQ(pick.GetPickData(0), 7);
  EXPECT_EQ(records.buffer, "cesar");  // the picked record is read for the caller
  EXPECT_EQ(pick.CheckPickItem(7), 0);
  EXPECT_EQ(pick.CheckPickItem(3), -1);
  EXPECT_EQ(pick.CheckPickStr("cesar"), 0);
  EXPECT_EQ(pick.CheckPickStr("anna"), -1);
  EXPECT_EQ(pick.CheckPickStr("nobody"), -1);
  EXPECT_EQ(pick.GetPickData(1), -1);
  EXPECT_EQ(pick.GetPickData(-1), -1);
  records.byRecNo.erase(7);  // gone since the pick
  EXPECT_EQ(pick.GetPickData(0), -1);
}

TEST_F(PickList, AllaSelectsEveryLineThenNoneAndTheButtonSaysWhatComesNext) {
  windows.user = [&](TPickWindowState& state) {
    EXPECT_TRUE(state.AllEnabled());
    EXPECT_EQ(state.AllCaption(), "&Alla");
    EXPECT_EQ(state.Status(), "  1 [  4]");
    state.PressAll();
    EXPECT_EQ(state.SelectedCount(), 4);
    EXPECT_EQ(state.AllCaption(), "&Ingen");
    EXPECT_EQ(state.Status(), "  4 [  4]");
    state.PressAll();
    EXPECT_EQ(state.SelectedCount(), 0);
    EXPECT_EQ(state.AllCaption(), "&Alla");
    EXPECT_EQ(state.Status(), " [  4]");
    state.PressAll();
    return true;
  };
  FakePick pick(windows, records, 0, true, false, "bertil");
  pick.Run();
  EXPECT_TRUE(pick.OkExec());
  EXPECT_TRUE(pick.Alla());
  EXPECT_EQ(pick.Antal(), 4);
}

TEST_F(PickList, MarkedEntriesStartSelectedAndThePicksComeInTheWindowsOrder) {
  records.Add(9, "Adam");  // sorted before the small letters
  windows.user = [&](TPickWindowState& state) {
    EXPECT_EQ(state.Line(0), "Adam");
    EXPECT_TRUE(state.Selected(0));
    EXPECT_TRUE(state.Selected(4));  // david
    EXPECT_FALSE(state.Selected(1));
    state.SetSelected(2, true);  // bertil
    state.SetSelected(0, false);
    return true;
  };
  FakePick pick(windows, records, 0, true, true, "Adam,david");
  pick.Run();
  ASSERT_EQ(pick.Antal(), 2);
  EXPECT_EQ(pick.Entries()[0].line, "bertil");
  EXPECT_EQ(pick.Entries()[0].recNo, 1);
  EXPECT_EQ(pick.Entries()[1].recNo, 5);  // positive again
  EXPECT_EQ(pick.CheckPickItem(5), 1);
}

TEST_F(PickList, ASingleChoiceKeepsOneLineAndADoubleClickPicksIt) {
  windows.user = [&](TPickWindowState& state) {
    EXPECT_FALSE(state.AllEnabled());
    EXPECT_EQ(state.SelectedCount(), 1);  // two marked, one shown
    state.PressAll();
    EXPECT_EQ(state.SelectedCount(), 1);
    state.SetSelected(3, true);
    EXPECT_EQ(state.SelectedCount(), 1);
    EXPECT_TRUE(state.DoubleClickPicks());
    return true;
  };
  FakePick pick(windows, records, 0, false, false, "anna,bertil");
  pick.Run();
  ASSERT_EQ(pick.Antal(), 1);
  EXPECT_EQ(pick.GetPickData(0), 5);
}

TEST_F(PickList, CancelOrNothingChosenIsNoPickAndAnEmptyListShowsNoWindow) {
  windows.user = [](TPickWindowState&) { return false; };
  FakePick cancelled(windows, records, 3, false, false);
  cancelled.Run();
  EXPECT_FALSE(cancelled.Picked());
  EXPECT_FALSE(cancelled.OkExec());
  EXPECT_EQ(cancelled.Antal(), 0);
  EXPECT_EQ(cancelled.GetPickData(0), -1);
  EXPECT_EQ(cancelled.CheckPickItem(3), -1);

  windows.user = [](TPickWindowState& state) {
    state.SetSelected(0, false);
    return true;
  };
  FakePick none(windows, records, 3, false, false);
  none.Run();
  EXPECT_TRUE(none.Picked());
  EXPECT_FALSE(none.OkExec());

  FakeRecords empty;
  windows.shown = 0;
  FakePick nothing(windows, empty, 0, true, false);
  nothing.Run();
  EXPECT_EQ(windows.shown, 0);
  EXPECT_FALSE(nothing.OkExec());
  EXPECT_FALSE(nothing.Alla());
}

TEST_F(PickList, LinesAreCutTo255Characters) {
  records.Add(11, std::string(300, 'x'));
  windows.user = [](TPickWindowState& state) {
    EXPECT_EQ(state.Line(state.Count() - 1).size(), 255u);
    state.SetSelected(state.Count() - 1, true);
    return true;
  };
  FakePick pick(windows, records, 0, true, false);
  pick.Run();
  ASSERT_EQ(pick.Antal(), 1);
  EXPECT_EQ(pick.Entries()[0].recNo, 11);
}

}  // namespace
