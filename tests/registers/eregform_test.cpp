// The register frame over a register in memory: the list it keeps, the dialog frame of a
// new and a changed record, deleting, and printing the selected lines.
#include "registers/eregform.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "FakeRegister.h"
#include "KeyedRegisterTest.h"
#include "RecordingCanvas.h"
#include "common/Ansi.h"
#include "printing/ewrite32_dialog.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"

using namespace ereg;

namespace {

// A register of names: the line is the name, the key too. The dialog is the test's.
class NameRegister : public TERegForm {
 public:
  explicit NameRegister(FakeRecords& records) : records_(records) {}

  std::function<bool(std::string& name)> dialog;  // edits the buffer; true for OK
  bool full = false;
  std::set<std::string> kept;      // CheckBeforeDeleting refuses these
  std::set<std::string> stuck;     // DelRecSelect fails on these
  std::vector<std::string> calls;  // the slots the frame called

 protected:
  void FormRegStr(std::string& line) override { line = records_.buffer; }
  bool CheckBeforeAdding() override { return full; }
  bool CheckBeforeDeleting() override { return kept.count(records_.buffer) == 0; }
  void DoTheDialog(bool isNew, int index, int32_t recNo) override {
    if (isNew) records_.buffer.clear();
    DialogFrame(isNew, index, recNo, [&] {
      const std::string before = records_.buffer;
      const bool ok = dialog(records_.buffer);
      if (!ok) records_.buffer = before;
      return ok;
    });
  }
  void FixtSelect(FixtOp op, const std::string& key, int32_t& recNo, bool& found, bool& atEnd) override {
    records_.Select(op, key, recNo, found, atEnd);
  }
  bool PutRecSelect() override { return true; }
  bool AddRecSelect(bool isNew, int32_t& recNo, bool ok) override {
    calls.push_back(std::string("add ") + (isNew ? "new " : "") + (ok ? "ok" : "cancel"));
    if (isNew) recNo = records_.byRecNo.empty() ? 1 : records_.byRecNo.rbegin()->first + 1;
    records_.Add(recNo, records_.buffer);
    return true;
  }
  bool DelRecSelect(FixtOp op, const std::string&, int32_t recNo, bool deleteRecord) override {
    EXPECT_EQ(op, kFixtAtRecord);
    calls.push_back(deleteRecord ? "delete" : "keys");
    const std::string key = records_.byRecNo.at(recNo);
    if (stuck.count(key) != 0) return false;
    records_.keys.erase(key);
    if (deleteRecord) records_.byRecNo.erase(recNo);
    return true;
  }

 private:
  FakeRecords& records_;
};

// A register that says nothing about adding.
class SilentRegister : public NameRegister {
 public:
  using NameRegister::NameRegister;

 protected:
  bool CheckBeforeAdding() override { return TERegForm::CheckBeforeAdding(); }
};

std::vector<std::string> Shown(const TERegForm& reg) {
  std::vector<std::string> lines;
  for (const TRegLine& l : reg.Lines()) lines.push_back(l.text + (l.selected ? "*" : ""));
  return lines;
}

class Register : public testing::Test {
 protected:
  void SetUp() override {
    eerror::StatusMsg.clear();
    records.Add(4, "cesar");
    records.Add(2, "anna");
    records.Add(9, "bertil");
    reg.Fill();
  }
  FakeRecords records;
  NameRegister reg{records};
  eerror::RecordingMessageBoxes boxes;
  eerror::ScopedMessageBoxes installedBoxes{boxes};
};

TEST_F(Register, ListsTheRecordsSortedAndCountsLinesAndSelection) {
  EXPECT_EQ(Shown(reg), (std::vector<std::string>{"anna", "bertil", "cesar"}));
  EXPECT_EQ(reg.Lines()[1].rec.recNo, 9);
  EXPECT_EQ(reg.ClickStatus(), "   3 [   0]");
  reg.SetSelected(0, true);
  reg.SetSelected(2, true);
  EXPECT_EQ(reg.ClickStatus(), "   3 [   2]");
}

TEST_F(Register, AFullRegisterRefusesANewRecordAndOneThatSaysNothingIsFull) {
  reg.full = true;
  reg.dialog = [](std::string&) -> bool { ADD_FAILURE() << "no dialog for a full register"; return false; };
  reg.EditEntry(true);
  EXPECT_EQ(eerror::StatusMsg, A("maxantalet uppnått kan ej addera registerpost!"));
  EXPECT_EQ(boxes.beeps, 1);
  EXPECT_EQ(reg.Count(), 3);

  SilentRegister silent(records);
  silent.dialog = reg.dialog;
  silent.Fill();
  silent.EditEntry(true);
  EXPECT_EQ(boxes.beeps, 2);
  EXPECT_EQ(silent.Count(), 3);
}

TEST_F(Register, ANewRecordGetsItsSortedLineAsTheOnlySelectedOne) {
  reg.SetSelected(0, true);
  reg.dialog = [](std::string& name) {
    name = "berit";
    return true;
  };
  reg.EditEntry(true);
  EXPECT_EQ(Shown(reg), (std::vector<std::string>{"anna", "berit*", "bertil", "cesar"}));
  EXPECT_EQ(reg.Current(), 1);
  EXPECT_EQ(reg.Lines()[1].rec.recNo, 10);
  EXPECT_EQ(records.keys.at("berit"), 10);
  EXPECT_EQ(reg.calls, (std::vector<std::string>{"add new ok"}));

  // Cancelled, a new record leaves nothing behind.
  reg.calls.clear();
  reg.dialog = [](std::string& name) {
    name = "david";
    return false;
  };
  reg.EditEntry(true);
  EXPECT_EQ(reg.Count(), 4);
  EXPECT_TRUE(reg.calls.empty());
  EXPECT_EQ(records.keys.count("david"), 0u);
}

TEST_F(Register, ACancelledChangeLeavesRecordKeysAndLineAsTheyWere) {
  reg.SetSelected(1, true);
  bool keyWhileOpen = true;
  reg.dialog = [&](std::string& name) {
    keyWhileOpen = records.keys.count("bertil") != 0;  // the record's own key is out of the way
    name = "adam";
    return false;
  };
  reg.EditEntry(false);
  EXPECT_FALSE(keyWhileOpen);
  EXPECT_EQ(reg.calls, (std::vector<std::string>{"keys", "add cancel"}));
  EXPECT_EQ(Shown(reg), (std::vector<std::string>{"anna", "bertil*", "cesar"}));
  EXPECT_EQ(records.byRecNo.at(9), "bertil");
  EXPECT_EQ(records.keys.at("bertil"), 9);
}

TEST_F(Register, AChangeTakesTheFirstSelectedLineElseTheCurrentOneAndMovesItsLine) {
  reg.SetSelected(2, true);
  reg.SetCurrent(0);
  reg.dialog = [](std::string& name) {
    EXPECT_EQ(name, "cesar");
    name = "adam";
    return true;
  };
  reg.EditEntry(false);
  EXPECT_EQ(Shown(reg), (std::vector<std::string>{"adam*", "anna", "bertil"}));
  EXPECT_EQ(reg.Lines()[0].rec.recNo, 4);
  EXPECT_EQ(reg.Current(), 0);

  for (int i = 0; i < reg.Count(); ++i) reg.SetSelected(i, false);
  reg.SetCurrent(2);
  reg.dialog = [](std::string& name) {
    EXPECT_EQ(name, "bertil");
    return true;
  };
  reg.EditEntry(false);
  EXPECT_EQ(Shown(reg), (std::vector<std::string>{"adam", "anna", "bertil*"}));

  // A line whose record is gone opens no dialog.
  records.byRecNo.erase(2);
  reg.SetSelected(1, true);
  reg.dialog = [](std::string&) -> bool { ADD_FAILURE() << "no dialog for a record that is gone"; return false; };
  reg.EditEntry(false);
}

TEST_F(Register, DeletingRemovesTheSelectedLinesThatMayGoAndDeselectsTheOthers) {
  records.Add(7, "david");
  reg.Fill();
  for (int i = 0; i < reg.Count(); ++i) reg.SetSelected(i, i != 3);  // anna, bertil, cesar
  reg.kept = {"bertil"};
  reg.EraseEntry();
  EXPECT_EQ(Shown(reg), (std::vector<std::string>{"bertil", "david"}));
  EXPECT_EQ(records.byRecNo.count(2), 0u);
  EXPECT_EQ(records.byRecNo.count(9), 1u);
  EXPECT_EQ(records.keys.count("bertil"), 1u);

  // A record the register cannot delete keeps its line; one already gone loses it.
  reg.SetSelected(0, true);
  reg.SetSelected(1, true);
  reg.kept.clear();
  reg.stuck = {"bertil"};
  records.byRecNo.erase(7);
  reg.EraseEntry();
  EXPECT_EQ(Shown(reg), (std::vector<std::string>{"bertil"}));
  EXPECT_EQ(records.byRecNo.count(9), 1u);
}

glodefs::TRapportEnv Setting() {
  glodefs::TKonfigRec konfig;
  glodefs::TRapportEnv setting;
  setting.FillDefaults(1, LaserA4(), konfig);
  setting.SetPicture(0, {"", false, 6});
  return setting;
}

TEST_F(Register, PrintsTheSelectedLinesUnderTheTitleAtColumnFive) {
  etider::SetClock clock{2026, 3, 1, 12, 0, 0};
  etider::ScopedClock installedClock{clock};
  printing::RecordingReportDialogs dialogs;
  printing::RecordingCanvas canvas;
  printing::PrintJob job(canvas, dialogs);
  EXPECT_FALSE(reg.PrintSelected(job, "BFNOLKW64: register", Setting(), 0));  // nothing selected
  EXPECT_TRUE(canvas.ops.empty());

  reg.SetSelected(0, true);
  reg.SetSelected(2, true);
  ASSERT_TRUE(reg.PrintSelected(job, "BFNOLKW64: register", Setting(), 0));
  EXPECT_EQ(dialogs.Last(printing::ReportLine::Status1), "BFNOLKW64: register");
  const printing::RecordingCanvas::Op heading = canvas.FindText("BFNOLKW64: register");
  const printing::RecordingCanvas::Op anna = canvas.FindText("anna");
  const printing::RecordingCanvas::Op cesar = canvas.FindText("cesar");
  ASSERT_EQ(anna.kind, "text");
  ASSERT_EQ(cesar.kind, "text");
  EXPECT_EQ(canvas.FindText("bertil").kind, "");
  EXPECT_LT(heading.y, anna.y);
  EXPECT_EQ(anna.x, job.LeftMargin() + 5 * 11);  // tab 5 in the normal font, 11 units a character
  EXPECT_EQ(cesar.x, anna.x);
  EXPECT_GT(cesar.y, anna.y);
  EXPECT_FALSE(canvas.Of("line").empty());  // the rule under the heading
  EXPECT_EQ(canvas.ops.back().kind, "end");
  EXPECT_EQ(dialogs.Last(printing::ReportLine::Count), "    3[    3]");  // line 3 of 3

  // A printer that cannot start prints nothing.
  printing::RecordingCanvas refusing;
  refusing.refuseBegin = true;
  printing::PrintJob failing(refusing, dialogs);
  EXPECT_FALSE(reg.PrintSelected(failing, "BFNOLKW64: register", Setting(), 0));
  EXPECT_TRUE(refusing.Of("text").empty());
}

}  // namespace
