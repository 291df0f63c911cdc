// The label register on a real "Etikett" file, and the label printer on the recording
// canvas.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>

#include "KeyedRegisterTest.h"
#include "common/Ansi.h"
#include "common/ESmall_Bytes.h"
#include "registers/eetikettprint32.h"
#include "registers/eetikettreg32.h"

using namespace ereg;

namespace {

class ScriptedLabelDialog : public EtikettDialogs {
 public:
  std::deque<std::string> texts;  // what the user types; empty: Cancel
  bool RunEtikettDialog(std::string& text) override {
    if (texts.empty()) return false;
    text = texts.front();
    texts.pop_front();
    return true;
  }
};

class LabelTest : public KeyedRegisterTest<TEEtikettReg, ScriptedLabelDialog> {
 protected:
  void SetUp() override { OpenRegister(EtikettFileName(dir.path()), kEtikettRecordSize); }
  void Add(const std::string& text) {
    dialog.texts.push_back(text);
    reg->EditEntry(true);
  }
  // The texts drawn, in order.
  std::vector<printing::RecordingCanvas::Op> Texts() const { return canvas.Of("text"); }
};

TEST_F(LabelTest, KeepsLabelsKeyedByTheirFirstLineAndAnEmptyOneAsXXX) {
  TEEtikettReg r(fb, dialog);
  dialog.texts = {"Arbetsutskottet\r\nStorgatan 1\r\n123 45 Ort", "", "BITMAP/tmp/logo.png"};
  r.EditEntry(true);
  r.EditEntry(true);
  r.EditEntry(true);
  ASSERT_EQ(r.Count(), 3);
  EXPECT_EQ(r.Lines()[0].text, "Arbetsutskottet");
  EXPECT_EQ(r.Lines()[1].text, "BITMAP/tmp/logo.png");
  EXPECT_EQ(r.Lines()[2].text, "XXX");

  // A change that is cancelled keeps the label; one confirmed moves its line.
  r.SetSelected(2, false);
  r.SetCurrent(0);
  r.EditEntry(false);  // no text scripted: Cancel
  TEEtikettReg again(fb, dialog);
  again.Fill();
  EXPECT_EQ(again.Lines()[0].text, "Arbetsutskottet");
  dialog.texts = {"Zeta"};
  again.SetCurrent(0);
  again.EditEntry(false);
  EXPECT_EQ(again.Lines()[2].text, "Zeta");

  for (int i = 0; i < again.Count(); ++i) again.SetSelected(i, again.Lines()[i].text == "XXX");
  again.EraseEntry();
  EXPECT_EQ(eerror::StatusMsg, A("Etikett \"XXX\", raderad..."));
  TEEtikettReg reread(fb, dialog);
  reread.Fill();
  ASSERT_EQ(reread.Count(), 2);
  EXPECT_EQ(reread.Lines()[1].text, "Zeta");
}

// The files as a program killed while the change dialog is open leaves them: the label is
// still listed when they are opened again.
TEST_F(LabelTest, AChangeLeftOpenWhenTheProgramDiesLosesNoLabel) {
  Add("Arbetsutskottet\r\nStorgatan 1");
  const TempFolder killed;
  class CopyingDialog : public EtikettDialogs {
   public:
    CopyingDialog(const std::string& from, const std::string& to) : from_(from), to_(to) {}
    bool RunEtikettDialog(std::string&) override {
      for (const char* ext : {".DAT", ".IX", ".DIA"})
        if (std::filesystem::exists(from_ + "/Etikett" + ext))
          std::filesystem::copy_file(from_ + "/Etikett" + ext, to_ + "/Etikett" + ext);
      return false;
    }

   private:
    std::string from_, to_;
  } dying(dir.path(), killed.path());
  TEEtikettReg r(fb, dying);
  r.Fill();
  r.SetCurrent(0);
  r.EditEntry(false);

  const EtikettFile reopened(killed.path());
  ASSERT_NE(reopened.Open(), nullptr);
  TEEtikettReg after(reopened.Open(), dialog);
  after.Fill();
  ASSERT_EQ(after.Count(), 1);
  EXPECT_EQ(after.Lines()[0].text, "Arbetsutskottet");
  // The change that did end (Cancel) left the label as it was.
  r.Fill();
  ASSERT_EQ(r.Count(), 1);
  EXPECT_EQ(r.Lines()[0].text, "Arbetsutskottet");
}

TEST_F(LabelTest, TextsOverTwoHundredFortyAndDamagedLengthsAreHeldToTheField) {
  EXPECT_EQ(EtikettTextFault(std::string(240, 'a')), "");
  EXPECT_NE(EtikettTextFault(std::string(241, 'a')), "");
  // The dialog's text is cut to the field, never written past it.
  dialog.texts = {std::string(300, 'b')};
  reg->EditEntry(true);
  EXPECT_EQ(reg->Text().size(), 240u);
  EXPECT_EQ(EtikettKey(reg->Text()), std::string(30, 'b'));
  // A length byte that claims more than the record holds reads as the field's 240.
  reg->Record()[kEtikettTextAt] = 255;
  EXPECT_EQ(reg->Text().size(), 240u);
}

TEST_F(LabelTest, TypedLinesAreJoinedWithCrLfAndRefusedWhenTheLabelCannotHoldThem) {
  std::string text = "kvar", message;
  EXPECT_TRUE(TakeEtikettText({"\xc3\x85rsm\xc3\xb6tet", "Storgatan 1"}, text, message));
  EXPECT_EQ(text, "\xc5rsm\xf6tet\r\nStorgatan 1");
  text = "kvar";
  const auto refused = [&](const std::vector<std::string>& lines, const std::string& said) {
    EXPECT_FALSE(TakeEtikettText(lines, text, message)) << lines.front();
    EXPECT_EQ(message, said);
    EXPECT_EQ(text, "kvar");
  };
  refused({"Pil \xe2\x86\x92"}, "etiketten kan inte lagra tecknet U+2192 (finns inte i Windows-1252)");
  refused({"\xff"}, A("etiketten kan inte lagra texten: den är inte UTF-8"));
  refused({std::string(119, 'a'), std::string(120, 'b')}, A("etiketten får ha högst 240 tecken, den har 241"));

  // A picture is judged by its name and its first bytes, both.
  const std::string png = dir.path() + "/logo.png", bmpNamed = dir.path() + "/logo.bmp", text1 = dir.path() + "/brev.png";
  for (const std::string& name : {png, bmpNamed}) std::ofstream(name, std::ios::binary) << "\x89PNG\r\n\x1a\nrest";
  std::ofstream(text1) << "brev";
  EXPECT_TRUE(TakeEtikettText({"BITMAP" + png, "rad 2"}, text, message)) << message;
  EXPECT_EQ(EtikettPictureFault(png), "");
  text = "kvar";
  for (const std::string& name : {bmpNamed, text1, dir.path() + "/inte.jpg", dir.path()})
    refused({"BITMAP" + name}, "kan ej ladda filen \"" + name + "\"");
}

TEST_F(LabelTest, TheDialogsPrintPlacesTheLabelTheTimesAskedEachWithTheSettingsCopies) {
  glodefs::TEtikettEnv setting = LabelSetting(1);
  setting.SetCopies(2);
  {
    LabelPrinter printer(job, canvas, setting);
    EXPECT_TRUE(PrintLabelTimes(printer, "Arbetsutskottet\r\nTorget 2", 3, 0));
  }
  EXPECT_EQ(Texts().size(), 12u);  // two lines, three times two copies
  EXPECT_EQ(dialogs.Last(printing::ReportLine::Count), "    3[    3]");
  LabelPrinter printer(job, canvas, setting);
  EXPECT_FALSE(PrintLabelTimes(printer, "Arbetsutskottet", 0, 0));
  EXPECT_EQ(Texts().size(), 12u);
}

TEST_F(LabelTest, RefusesTheThreeHundredthLabel) {
  for (int i = 0; i < kMaxLabels; ++i) Add("etikett " + std::to_string(i));
  EXPECT_EQ(reg->Count(), kMaxLabels);
  Add("en till");
  EXPECT_EQ(reg->Count(), kMaxLabels);
  EXPECT_EQ(eerror::StatusMsg, A("maxantalet uppnått kan ej addera registerpost!"));
}

TEST_F(LabelTest, ALaserThreeByEightSheetHoldsTwentyFourLabelsInItsCells) {
  glodefs::TEtikettEnv setting = LabelSetting(1);  // "Laser 3x8"
  LabelPrinter printer(job, canvas, setting);
  ASSERT_TRUE(printer.Begin("etiketter", 0));
  for (int i = 1; i <= 25; ++i) printer.Place("L" + std::to_string(i));
  EXPECT_EQ(printer.Sheet(), 2);
  printer.End();

  const auto texts = Texts();
  ASSERT_EQ(texts.size(), 25u);
  for (int i = 0; i < 24; ++i) EXPECT_EQ(texts[static_cast<size_t>(i)].page, 1) << i;
  EXPECT_EQ(texts[24].page, 2);
  EXPECT_EQ(canvas.Of("page").size(), 1u);
  bool sheetShown = false;
  for (const auto& line : dialogs.lines) sheetShown |= line.text == "Ark nr:  2";
  EXPECT_TRUE(sheetShown);

  // Cell (row 1, column 1) of "Laser 3x8": left -50 + 51.5, top -(-20 + 20); the label is
  // 600 wide, 320 high; each row 360 down, each column 703 right.
  const LabelCell first = CellAt(setting.GetGeometry(), 1, 1);
  EXPECT_EQ(first.left, 2);
  EXPECT_EQ(first.right, 602);
  EXPECT_EQ(first.top, 0);
  EXPECT_EQ(first.bottom, -320);
  const LabelCell last = CellAt(setting.GetGeometry(), 8, 3);
  EXPECT_EQ(last.left, 2 + 2 * 703);
  EXPECT_EQ(last.top, -7 * 360);
  // Each text is centred in its cell: "L24" sits in the last cell of the sheet.
  const auto& l24 = texts[23];
  EXPECT_EQ(l24.text, "L24");
  EXPECT_GT(l24.x, Dev(last.left));
  EXPECT_LT(l24.x, Dev(last.right));
  EXPECT_GT(l24.y, Dev(-last.top));
  EXPECT_LT(l24.y, Dev(-last.bottom));
  // The second label is one column to the right, the fourth one row down.
  EXPECT_EQ(texts[1].x - texts[0].x, Dev(703 + 2) - Dev(2));
  EXPECT_EQ(texts[3].y - texts[0].y, Dev(360 + 160) - Dev(160));
}

TEST_F(LabelTest, NinePerRowPrintsEightAndKeepsTheSetting) {
  glodefs::TEtikettEnv setting = LabelSetting(2);  // "Laser 6x8", 349 pitch
  auto g = setting.GetGeometry();
  g.perRow = 9;
  g.columnPitch = 90;
  g.width = 80;
  setting.SetGeometry(g);
  LabelPrinter printer(job, canvas, setting);
  ASSERT_TRUE(printer.Begin("etiketter", 0));
  for (int i = 0; i < 9; ++i) printer.Place("x");
  EXPECT_EQ(printer.Row(), 2);
  EXPECT_EQ(printer.Column(), 1);
  printer.End();
  EXPECT_EQ(setting.GetGeometry().perRow, 9);
}

TEST_F(LabelTest, AGridLongerThanThePageGoesOnToTheNextSheet) {
  glodefs::TEtikettEnv setting = LabelSetting(1);
  auto g = setting.GetGeometry();
  g.rows = 20;  // an A4 page holds rows down to the one whose top lies at 2880
  setting.SetGeometry(g);
  LabelPrinter printer(job, canvas, setting);
  ASSERT_TRUE(printer.Begin("etiketter", 0));
  for (int i = 0; i < 28; ++i) printer.Place("x");
  EXPECT_EQ(printer.Sheet(), 2);
  EXPECT_EQ(printer.Row(), 1);
  printer.End();
  EXPECT_EQ(Texts()[26].page, 1);
  EXPECT_EQ(Texts()[27].page, 2);
}

TEST_F(LabelTest, ALongTextFallsBackToTheHalfSmallFont) {
  glodefs::TEtikettEnv setting = LabelSetting(1);
  LabelPrinter printer(job, canvas, setting);
  ASSERT_TRUE(printer.Begin("etiketter", 0));
  canvas.ops.clear();
  printer.Place("kort");
  const auto shortFonts = canvas.Of("font");
  ASSERT_FALSE(shortFonts.empty());
  const int big = shortFonts.front().x;  // fits at once: drawn in the big font
  canvas.ops.clear();
  printer.Place(std::string(200, 'W'));  // one word wider than the cell in every font
  const auto fonts = canvas.Of("font");
  // big, normal, small, and each at half size, each tried once (and restored after).
  std::vector<int> tried;
  for (const auto& f : fonts) tried.push_back(f.x);
  ASSERT_GE(tried.size(), 6u);
  EXPECT_EQ(tried[0], big);
  const auto drawn = canvas.Of("text");
  ASSERT_EQ(drawn.size(), 1u);
  // The last font tried before the text was drawn is the half small one.
  int lastFont = 0;
  for (const auto& op : canvas.ops) {
    if (op.kind == "text") break;
    if (op.kind == "font") lastFont = op.x;
  }
  EXPECT_LT(lastFont, big / 2 + 1);
  printer.End();
}

TEST_F(LabelTest, APictureLabelIsStretchedIntoItsCellAndCopiesFillCells) {
  canvas.files["/bilder/logo.png"] = {300, 100};
  glodefs::TEtikettEnv setting = LabelSetting(1);
  setting.SetCopies(3);
  LabelPrinter printer(job, canvas, setting);
  ASSERT_TRUE(printer.Begin("etiketter", 0));
  printer.Place("bitmap/bilder/logo.png");
  printer.Place("BITMAP/finns/inte.png");  // no picture, but its cells are used
  printer.Place("Arbetsutskottet");
  printer.End();
  const auto pictures = canvas.Of("picture");
  ASSERT_EQ(pictures.size(), 3u);
  const LabelCell cell = CellAt(setting.GetGeometry(), 1, 2);
  EXPECT_EQ(pictures[1].x, Dev(cell.left));
  EXPECT_EQ(pictures[1].y, Dev(-cell.top));
  EXPECT_EQ(pictures[1].x2, Dev(cell.right));
  EXPECT_EQ(pictures[1].y2, Dev(-cell.bottom));
  // Three copies of each label: the text ones are the seventh to ninth cells.
  const auto texts = Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(printer.Printed(), 3);
  EXPECT_EQ(setting.Copies(), 3);
}

TEST_F(LabelTest, CopiesBelowOneAreAskedForAndTheSettingKeepsAtLeastOne) {
  glodefs::TEtikettEnv setting = LabelSetting(1);
  setting.SetCopies(0);
  boxes.numberAnswers = {2};
  LabelPrinter printer(job, canvas, setting);
  ASSERT_TRUE(printer.Begin("etiketter", 0));
  printer.Place("Arbetsutskottet");
  printer.End();
  ASSERT_EQ(boxes.numberPrompts.size(), 1u);
  EXPECT_EQ(boxes.numberPrompts[0], "Antal kopior:");
  EXPECT_EQ(Texts().size(), 2u);
  EXPECT_EQ(setting.Copies(), 1);
}

TEST_F(LabelTest, PrintsTheSelectedLabelsAndNothingWithoutAPrinter) {
  Add("Arbetsutskottet");
  Add("Styrelsen");
  reg->SetSelected(0, true);
  glodefs::TEtikettEnv setting = LabelSetting(1);
  {
    LabelPrinter printer(job, canvas, setting);
    EXPECT_TRUE(reg->PrintSelectedLabels(printer, 0));
  }
  ASSERT_EQ(Texts().size(), 2u);
  printing::RecordingCanvas refusing;
  refusing.refuseBegin = true;
  printing::PrintJob other(refusing, dialogs);
  LabelPrinter printer(other, refusing, setting);
  EXPECT_FALSE(reg->PrintSelectedLabels(printer, 0));
  EXPECT_TRUE(refusing.Of("text").empty());
}

}  // namespace
