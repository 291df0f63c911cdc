// The documents through the exchange file: chosen in its dialog or named, never headed by
// its "; " line nor converted to the OEM code page, and a failure told.
#include "tabledisplay/egridform_ixport.h"

#include <gtest/gtest.h>

#include "SampleTable.h"
#include "bookkeeping/BFdefs_charset.h"
#include "exchange/EfileDlg.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "tabledisplay/egridform_writers.h"

namespace egridform {
namespace {

class Documents : public ::testing::Test {
 protected:
  DocumentWriter Csv() {
    return [this](LineSink& out, const std::string&) { return WriteCsv(table_, out); };
  }
  Table table_ = SampleTable();
  ScratchFolder folder_;
  eerror::RecordingMessageBoxes boxes_;
  eerror::ScopedMessageBoxes installedBoxes_{boxes_};
};

TEST_F(Documents, ADocumentIsWrittenAsItIsWhateverItsNameAndTheCodePageSwitch) {
  bf::OemOnWrite = true;
  ASSERT_TRUE(ExportByName(0, folder_ / "tabell.bild", Csv()));
  bf::OemOnWrite = false;
  StringSink expected;
  WriteCsv(table_, expected);
  EXPECT_EQ(folder_.Get("tabell.bild"), expected.Text());
  EXPECT_NE(eerror::StatusMsg.find("Import/export av    5 rader"), std::string::npos) << eerror::StatusMsg;
}

TEST_F(Documents, TheDialogStartsInTheExchangeDirectoryAndRemembersTheFolderChosen) {
  eixport::GivenFileDialogs dialogs;
  eixport::ScopedFileDialogs installed(dialogs);
  ekonfig::Konfig.SetExchangeDir(folder_.path());
  std::filesystem::create_directory(folder_ / "ny");
  dialogs.names = {folder_ / "ny/bok.csv"};
  std::string file;
  ASSERT_TRUE(ExportWithDialog(0, "*.csv", "csv", Csv(), file));
  EXPECT_EQ(file, folder_ / "ny/bok.csv");
  EXPECT_EQ(dialogs.requests.at(0).startDir, folder_.path());
  EXPECT_EQ(ekonfig::Konfig.ExchangeDir(), folder_ / "ny");
  EXPECT_FALSE(ExportWithDialog(0, "*.csv", "csv", Csv(), file));  // cancelled
  EXPECT_EQ(ekonfig::Konfig.ExchangeDir(), folder_ / "ny");
}

TEST_F(Documents, AFileThatCannotBeMadeWritesNothing) {
  bool asked = false;
  EXPECT_FALSE(ExportByName(0, folder_ / "saknas/bok.csv", [&asked](LineSink&, const std::string&) {
    asked = true;
    return true;
  }));
  EXPECT_FALSE(asked);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "saknas"));
}

}  // namespace
}  // namespace egridform
