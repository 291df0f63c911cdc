// The giro registers on a real "giroP" file and their forms on the recording canvas; the
// setting is "Giroblanketter", one form a page.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <deque>

#include "KeyedRegisterTest.h"
#include "common/Ansi.h"
#include "common/ESmall_Bytes.h"
#include "registers/egiroreg32.h"

using namespace ereg;

namespace {

// The dialog: each run takes the next form and presses "ok" until it is accepted or the
// forms run out (then "avbryt").
class ScriptedGiroDialog : public GiroDialogs {
 public:
  std::deque<GiroForm> forms;
  std::vector<std::string> messages;
  bool RunGiroDialog(TGiroEdit& edit) override {
    while (!forms.empty()) {
      edit.form = forms.front();
      forms.pop_front();
      const std::string message = edit.Ok();
      if (message.empty()) return true;
      messages.push_back(message);
    }
    return false;
  }
};

GiroForm Form(const std::string& payee, const std::string& littera = "", const std::string& account = "18") {
  GiroForm f;
  f.payee = payee;
  f.littera = littera;
  f.account1 = account;
  f.amount = "250";
  return f;
}

class GiroTest : public KeyedRegisterTest<TEGiroReg, ScriptedGiroDialog> {
 protected:
  void SetUp() override { OpenRegister(GiroFileName(dir.path(), kPlusgiro), kGiroRecordSize, kPlusgiro); }
  bool Add(const GiroForm& form) {
    const int before = reg->Count();
    dialog.forms = {form};
    reg->EditEntry(true);
    return reg->Count() > before;
  }
  // The texts drawn on the form printed with kind.
  std::vector<printing::RecordingCanvas::Op> Printed(int kind, const GiroForm& form) {
    LabelPrinter printer(job, canvas, setting);
    EXPECT_TRUE(PrintGiroForms(printer, kind, form, 1, 0));
    return canvas.Of("text");
  }

  glodefs::TEtikettEnv setting = LabelSetting(10);  // "Giroblanketter"
};

TEST(GiroNumber, PassesTheModulusTenCheckOnDigitsOnly) {
  EXPECT_TRUE(GiroNumberOk("18"));  // 8 x 1 + 1 x 2
  EXPECT_FALSE(GiroNumberOk("19"));
  EXPECT_TRUE(GiroNumberOk("1-8"));
  EXPECT_TRUE(GiroNumberOk(""));
  EXPECT_TRUE(GiroNumberOk("4 5 8 7 1 7 - 6"));  // 6 + 14-9 + 1 + 14-9 + 8 + 10-9 + 4 = 30
  EXPECT_FALSE(GiroNumberOk("4587177"));
}

TEST(GiroRecord, KeepsEachFieldAtItsOffsetAndReadsADamagedMemoToItsEnd) {
  std::vector<unsigned char> r(kGiroRecordSize);
  GiroForm f = Form("Elverket", "A", "1-8");
  f.message = "rad 1\r\nrad 2";
  f.sender = A("Föreningen");
  f.number3 = "77";
  WriteGiroForm(r, f);
  EXPECT_EQ(r[1507], 3);
  EXPECT_EQ(r[1600], 8);
  EXPECT_EQ(r[1662], 1);
  EXPECT_EQ(r[1663], 'A');
  EXPECT_EQ(esmall::GetZString(r, 1190, 317), A("Föreningen"));
  const GiroForm back = ReadGiroForm(r);
  EXPECT_EQ(back.message, f.message);
  EXPECT_EQ(back.number3, "77");
  EXPECT_EQ(GiroLine(back), "1-8............. Elverket_A");
  EXPECT_EQ(GiroKey(back.payee, back.littera), "Elverket_A");
  // A message without its terminating zero reads up to its field, never into the sender.
  std::fill(r.begin() + 4, r.begin() + 1190, 'x');
  EXPECT_EQ(ReadGiroForm(r).message.size(), 1185u);
  EXPECT_EQ(ReadGiroForm(r).sender, A("Föreningen"));
}

TEST(GiroRecord, TellsWhichFieldIsTooLong) {
  GiroForm f = Form("Elverket");
  f.payee = std::string(30, 'p');
  f.message = std::string(1185, 'm');
  f.sender = std::string(316, 's');
  EXPECT_EQ(GiroFieldFault(f), "");
  f.littera = "ABC";
  EXPECT_EQ(GiroFieldFault(f), A("littera rymmer högst 2 tecken"));
  f.littera = "";
  f.message += "m";
  EXPECT_EQ(GiroFieldFault(f), A("meddelande rymmer högst 1185 tecken"));
  EXPECT_EQ(GiroAmountValue("250"), 250);
  EXPECT_EQ(GiroAmountValue("2x"), 0);
}

// The program ends while a change's dialog is open (its keys then taken out): the form and
// its key are there at the next open.
TEST_F(GiroTest, AFormWhoseChangeNeverEndedIsStillListed) {
  ASSERT_TRUE(Add(Form("Elverket", "A")));
  struct Killing : GiroDialogs {
    bool RunGiroDialog(TGiroEdit& edit) override {
      edit.form.payee = "Vattnet";
      std::_Exit(0);
    }
  } killing;
  TEGiroReg killed(fb, kPlusgiro, killing);
  killed.Fill();
  killed.SetCurrent(0);
  EXPECT_EXIT(killed.EditEntry(false), ::testing::ExitedWithCode(0), "");
  reg.reset();
  isam::CloseFileBlock(fb);
  ASSERT_TRUE(OpenOrCreateKeyedFile(fb, GiroFileName(dir.path(), kPlusgiro), kGiroRecordSize));
  reg = std::make_unique<TEGiroReg>(fb, kPlusgiro, dialog);
  reg->Fill();
  ASSERT_EQ(reg->Count(), 1);
  EXPECT_EQ(reg->Lines()[0].text, "18.............. Elverket_A");
  int32_t recNo = 0;
  EXPECT_TRUE(reg->FindByKey("Elverket_A", recNo));
}

TEST(GiroRecord, TypedTextIsTakenWholeOrRefusedNamingWhy) {
  GiroForm f = Form("Elverket");
  std::string message;
  // A memo's line break is stored as CR LF and counts as two characters.
  ASSERT_TRUE(TakeGiroText(f, GiroField::kSender, std::string(300, 's') + "\n" + std::string(14, 's'), message));
  EXPECT_EQ(f.sender.size(), 316u);
  EXPECT_EQ(f.sender.substr(300, 2), "\r\n");
  ASSERT_TRUE(TakeGiroText(f, GiroField::kMessage, "rad 1\r\nrad 2", message));
  EXPECT_EQ(f.message, "rad 1\r\nrad 2");
  EXPECT_FALSE(TakeGiroText(f, GiroField::kSender, std::string(300, 's') + "\n" + std::string(15, 's'), message));
  EXPECT_EQ(message, A("avsändare rymmer högst 316 tecken, texten har 317"));
  EXPECT_EQ(f.sender.size(), 316u);
  ASSERT_TRUE(TakeGiroText(f, GiroField::kPayee, "Elverket ÅÄÖ", message));
  EXPECT_EQ(f.payee, A("Elverket ÅÄÖ"));
  EXPECT_FALSE(TakeGiroText(f, GiroField::kPayee, "El → verket", message));
  EXPECT_EQ(message, "mottagare kan inte lagra tecknet U+2192 (finns inte i Windows-1252)");
  EXPECT_FALSE(TakeGiroText(f, GiroField::kLittera, "ABC", message));
  EXPECT_EQ(message, A("littera rymmer högst 2 tecken, texten har 3"));
  EXPECT_EQ(f.payee, A("Elverket ÅÄÖ"));
  EXPECT_EQ(f.littera, "");
}

TEST_F(GiroTest, AFormThatCannotBeStoredIsNotPrinted) {
  GiroForm f = Form("Elverket");
  f.littera = "ABC";
  TGiroEdit edit(*reg, f);
  LabelPrinter printer(job, canvas, setting);
  EXPECT_FALSE(edit.Print(printer, 1, 0));
  EXPECT_EQ(eerror::StatusMsg, A("littera rymmer högst 2 tecken"));
  EXPECT_EQ(canvas.Of("text").size(), 0u);
}

TEST_F(GiroTest, FormsOfOnePayeeAreToldApartByLitteraAndAThirdIsRefused) {
  EXPECT_TRUE(Add(Form("Elverket")));
  EXPECT_TRUE(Add(Form("Elverket", "B")));
  EXPECT_FALSE(Add(Form("Elverket", "B")));
  ASSERT_EQ(dialog.messages.size(), 1u);
  EXPECT_EQ(dialog.messages[0], A("Mottagare och littera finns redan registrerad. \"Elverket_B\" Måste vara unik."));
  EXPECT_FALSE(Add(Form("Vattnet", "", "19")));
  EXPECT_EQ(dialog.messages.back(), A("fel på gironummer"));
  EXPECT_EQ(boxes.beeps, 2);
  ASSERT_EQ(reg->Count(), 2);

  // A change keeping payee and littera is no duplicate of itself.
  reg->SetCurrent(1);
  GiroForm changed = Form("Elverket", "B");
  changed.amount = "300";
  dialog.forms = {changed};
  reg->EditEntry(false);
  EXPECT_EQ(dialog.messages.size(), 2u);
  EXPECT_EQ(reg->Form().amount, "300");

  // An empty payee is stored as "XXX"; deleting says so.
  EXPECT_TRUE(Add(Form("", "", "")));
  TEGiroReg again(fb, kPlusgiro, dialog);
  again.Fill();
  ASSERT_EQ(again.Count(), 3);
  EXPECT_EQ(again.Lines()[0].text, "................ XXX");
  again.SetSelected(0, true);
  again.EraseEntry();
  EXPECT_EQ(eerror::StatusMsg, A("Girot \"XXX\", raderad..."));
}

TEST_F(GiroTest, ThreeCopiesOnGiroblanketterAreThreePages) {
  LabelPrinter printer(job, canvas, setting);
  ASSERT_TRUE(PrintGiroForms(printer, kPlusgiro, Form("Elverket"), 3, 0));
  EXPECT_EQ(canvas.Of("page").size(), 2u);
  EXPECT_EQ(canvas.Of("text").back().page, 3);
  EXPECT_EQ(dialogs.Last(printing::ReportLine::Status2), "utskrift av giroblanketter");
}

// Where a box text lands: centred in the box (x, y, w, h) of the cell at (left, top).
struct Landing {
  int x1, y1, x2, y2;
};

TEST_F(GiroTest, ThePlusgiroAmountIsPrintedDigitByDigitFromTheRight) {
  const auto texts = Printed(kPlusgiro, Form("Elverket"));
  // The cell of "Giroblanketter": left 25 + 0, top -(10 + 0).
  const LabelCell cell = CellAt(setting.GetGeometry(), 1, 1);
  EXPECT_EQ(cell.left, 25);
  EXPECT_EQ(cell.top, -10);
  std::vector<printing::RecordingCanvas::Op> digits;
  for (const auto& t : texts)
    if (t.text.size() == 1) digits.push_back(t);
  ASSERT_EQ(digits.size(), 6u);  // "250.00"
  const std::string order = "00.052";
  const double steps[] = {0, 36.3, 72.6, 108.9, 145.2, 181.5 + 4};
  for (size_t k = 0; k < digits.size(); ++k) {
    EXPECT_EQ(digits[k].text, std::string(1, order[k])) << k;
    const int left = Dev(25 + std::lround(1135 - steps[k]));
    const int right = Dev(25 + std::lround(1135 - steps[k]) + 55);
    EXPECT_GE(digits[k].x, left) << k;
    EXPECT_LT(digits[k].x, right) << k;
    EXPECT_GE(digits[k].y, Dev(10 + 780)) << k;
    EXPECT_LT(digits[k].y, Dev(10 + 780 + 50)) << k;
  }
}

TEST_F(GiroTest, EveryBoxOfEveryKindIsWhereItsLayoutSays) {
  GiroForm f = Form("M", "", "1");
  f.message = "m";
  f.sender = "s";
  f.account2 = "2";
  f.amount = "9";
  f.number3 = "3";
  // kind: message, sender, first account, payee, second account, amount (x, y, w, h); a
  // digit field's one character is in the box at its start.
  const int boxes[kGiroKinds][6][4] = {
      {{150, 140, 900, 470}, {1100, 360, 700, 220}, {1100, 100, 370, 50}, {1100, 185, 550, 140},
       {1100, 625, 820, 55}, {1135, 780, 55, 50}},
      {{190, 260, 900, 320}, {1170, 360, 880, 220}, {1785, 140, 50, 80}, {1170, 255, 880, 80},
       {150, 700, 650, 55}, {1855, 670, 55, 80}},
      {{200, 110, 900, 640}, {1150, 360, 780, 220}, {1150, 110, 450, 50}, {1150, 190, 550, 130},
       {1150, 615, 780, 55}, {1150, 700, 350, 50}},
      {{110, 90, 1930, 280}, {110, 420, 1000, 180}, {1180, 670, 440, 55}, {1150, 420, 850, 180},
       {110, 670, 440, 55}, {620, 670, 480, 55}},
      {{200, 80, 1850, 410}, {200, 540, 900, 220}, {1140, 570, 270, 80}, {1420, 570, 600, 80},
       {200, 800, 340, 50}, {1670, 430, 360, 55}},
  };
  const char* names[6] = {"m", "s", "1", "M", "2", "9"};
  for (int kind = 0; kind < kGiroKinds; ++kind) {
    canvas.ops.clear();
    const auto texts = Printed(kind, f);
    for (int b = 0; b < 6; ++b) {
      // The amount in digit boxes is "9.00": its last character stands in the first box.
      const std::string want = b == 5 && kind <= kPostgiro ? "0" : names[b];
      const auto* box = boxes[kind][b];
      bool seen = false;
      for (const auto& t : texts) {
        if (t.text != want) continue;
        seen = true;
        EXPECT_GE(t.x, Dev(25 + box[0])) << kind << " " << want;
        EXPECT_LT(t.x, Dev(25 + box[0] + box[2])) << kind << " " << want;
        EXPECT_GE(t.y, Dev(10 + box[1])) << kind << " " << want;
        EXPECT_LE(t.y, Dev(10 + box[1] + box[3])) << kind << " " << want;
        break;
      }
      EXPECT_TRUE(seen) << kind << " " << want;
    }
    // The postgiro prints the third number in its digit boxes from 1040, 140.
    bool third = false;
    for (const auto& t : texts) third |= t.text == "3" && t.x >= Dev(25 + 1040) && t.x < Dev(25 + 1090);
    EXPECT_EQ(third, kind == kPostgiro) << kind;
  }
}

}  // namespace
