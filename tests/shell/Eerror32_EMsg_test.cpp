#include "common/Ansi.h"
#include "shell/EMsgTxt.h"
#include "shell/Eerror32.h"
#include "storage/Filer_error.h"

#include <gtest/gtest.h>

#include <sstream>

using eerror::BoxKind;
using eerror::EMsg;
using eerror::EMsgCode;
using eerror::StatusMsg;

namespace {

class EMsgTest : public ::testing::Test {
 protected:
  void SetUp() override { StatusMsg.clear(); }
  eerror::RecordingMessageBoxes boxes;
  eerror::ScopedMessageBoxes installed{boxes};
};

TEST_F(EMsgTest, KindByCodeWithCaptionAndAnswer) {
  EXPECT_EQ(EMsg(eerror::kStatusLine + 1, "bara status"), 1);
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(StatusMsg, "bara status");

  boxes.answers = {eerror::kNo, eerror::kOk, eerror::kRetry, eerror::kOk, eerror::kOk};
  EXPECT_EQ(EMsg(eerror::kQuestion + 1, "Spara?"), eerror::kNo);
  EXPECT_EQ(EMsg(eerror::kCommonWarning, "varning"), eerror::kOk);
  EXPECT_EQ(EMsg(eerror::kAbortRetryIgnore + 99, "diskfel"), eerror::kRetry);
  EXPECT_EQ(EMsg(eerror::kErrorBox, "fel"), eerror::kOk);
  EXPECT_EQ(EMsg(eerror::kErrorBox + 10000, "fel"), eerror::kOk);  // every code above too
  ASSERT_EQ(boxes.boxes.size(), 5u);
  EXPECT_EQ(boxes.boxes[0].kind, BoxKind::Question);
  EXPECT_EQ(boxes.boxes[0].caption, "??");
  EXPECT_EQ(boxes.boxes[1].kind, BoxKind::Warning);
  EXPECT_EQ(boxes.boxes[1].caption, "info");
  EXPECT_EQ(boxes.boxes[2].kind, BoxKind::AbortRetryIgnore);
  EXPECT_EQ(boxes.boxes[2].caption, "error");
  EXPECT_EQ(boxes.boxes[3].kind, BoxKind::Error);
  EXPECT_EQ(boxes.boxes[4].kind, BoxKind::Error);
  EXPECT_EQ(StatusMsg, "bara status");  // boxes leave the status message alone
}

TEST_F(EMsgTest, LongTextIsCutTo160) {
  const std::string text(200, 'x');
  EMsg(eerror::kCommonWarning, text);
  EXPECT_EQ(boxes.boxes.at(0).text, std::string(160, 'x'));
  EMsg(eerror::kStatusLine, text);
  EXPECT_EQ(StatusMsg, std::string(160, 'x'));
}

TEST_F(EMsgTest, DosLettersAreShownAsWindowsLetters) {
  EMsg(eerror::kCommonWarning, emsgtxt::msgtext(101));
  EXPECT_EQ(boxes.boxes.at(0).text, A("Skrivfel på skivan"));
  EMsg(eerror::kCommonWarning, emsgtxt::msgtext(10193));
  EXPECT_EQ(boxes.boxes.at(1).text, A("Btree: PutRec: Försök att skriva record noll"));
  // A Windows text without DOS Swedish letters is shown as it is.
  EMsg(eerror::kCommonWarning, A("Läsfel på skivan é"));
  EXPECT_EQ(boxes.boxes.at(2).text, A("Läsfel på skivan é"));
}

TEST_F(EMsgTest, CodeChoosesTextAndResult) {
  EXPECT_TRUE(EMsgCode(eerror::kWarning + eerror::kFilesMissingText));
  EXPECT_EQ(boxes.boxes.at(0).text, "Datafiler saknas/ ej i aktuellt bibliotek");
  EXPECT_EQ(boxes.boxes.at(0).caption, "info");
  EXPECT_EQ(StatusMsg, "Datafiler saknas/ ej i aktuellt bibliotek");

  EXPECT_TRUE(EMsgCode(eerror::kWarning + eerror::kBlankText));
  EXPECT_EQ(boxes.boxes.at(1).text, "");

  StatusMsg = A("lämnat av anroparen");
  EXPECT_TRUE(EMsgCode(eerror::kWarning + 50));
  EXPECT_EQ(boxes.boxes.at(2).text, A("lämnat av anroparen"));

  EXPECT_TRUE(EMsgCode(eerror::kStatusLine + eerror::kFilesOpenText));  // status line only
  EXPECT_EQ(boxes.boxes.size(), 3u);
  EXPECT_EQ(StatusMsg, A("Filerna öppna...."));

  boxes.answers = {eerror::kNo, eerror::kYes, eerror::kAbort, eerror::kIgnore, eerror::kCancel};
  EXPECT_FALSE(EMsgCode(eerror::kQuestion + eerror::kNoDatabaseText));
  EXPECT_TRUE(EMsgCode(eerror::kQuestion + eerror::kNoDatabaseText));
  EXPECT_FALSE(EMsgCode(eerror::kAbortRetryIgnore));
  EXPECT_TRUE(EMsgCode(eerror::kAbortRetryIgnore));
  EXPECT_FALSE(EMsgCode(eerror::kErrorBox));
}

TEST_F(EMsgTest, StorageErrorReportShowsCatalogueText) {
  isam::SetError(isam::kErrKeyExists);
  eerror::ReportIsamError();
  isam::ClearError();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].kind, BoxKind::Warning);
  EXPECT_EQ(boxes.boxes[0].text, "Btree: AddKey: Existerar redan som unik");
  EXPECT_EQ(StatusMsg, "Btree: AddKey: Existerar redan som unik");
}

TEST_F(EMsgTest, NumberEntryCutsPromptAndRefusesImpossibleAnswers) {
  boxes.numberAnswers = {42, 123456};
  EXPECT_EQ(eerror::NumberEntry(std::string(100, 'p'), 7), 42);
  EXPECT_EQ(boxes.numberPrompts.at(0).size(), 79u);
  EXPECT_EQ(eerror::NumberEntry("antal", 7), 7);
  EXPECT_EQ(eerror::NumberEntry("antal", 7), 7);  // cancelled
}

TEST(ConsoleMessageBoxes, AnswersFromInputOrCautiously) {
  std::istringstream in("ja\nf\n");
  std::ostringstream out;
  eerror::ConsoleMessageBoxes interactive(in, out, true);
  EXPECT_EQ(interactive.Show(BoxKind::Question, "??", A("Nollställa?")), eerror::kYes);
  EXPECT_EQ(interactive.Show(BoxKind::AbortRetryIgnore, "error", "x"), eerror::kRetry);
  EXPECT_EQ(interactive.Show(BoxKind::Question, "??", "slut"), eerror::kNo);  // end of input
  EXPECT_NE(out.str().find("??: Nollställa?"), std::string::npos);            // shown as UTF-8

  std::istringstream none("ja\n");
  std::ostringstream log;
  eerror::ConsoleMessageBoxes script(none, log, false);
  EXPECT_EQ(script.Show(BoxKind::Question, "??", "q"), eerror::kNo);
  EXPECT_EQ(script.Show(BoxKind::AbortRetryIgnore, "error", "q"), eerror::kAbort);
  EXPECT_EQ(script.Show(BoxKind::Error, "error", "q"), eerror::kOk);
  EXPECT_EQ(script.AskNumber("n", 5), 5);
  EXPECT_EQ(log.str(), "??: q\nerror: q\nerror: q\n");
}

}  // namespace
