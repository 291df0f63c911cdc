// The exchange file over real files: the heading line by extension, lines written with CR LF
// and read with either line end, the 255-character limit, the OEM hooks both ways, UTF-8
// files read in Windows letters, the dialog's folder remembered, the progress window and the
// reports on the status line, a failed write stopping every line after it, and the exit hook
// writing out a file left open.
#include "exchange/Eixport.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "../storage/TempFolder.h"
#include "FaultLoop.h"
#include "bookkeeping/BFdefs_charset.h"
#include "common/Ansi.h"
#include "exchange/EfileDlg.h"
#include "exchange/Eixport_encoding.h"
#include "shell/ECountForm.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"

namespace eixport {
namespace {

class Exchange : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMainCaption("BFNOLKW64 prov");
    previousProgress_ = ecountform::InstallProgressWindows(&progress_);
    eerror::StatusMsg.clear();
  }
  void TearDown() override {
    ecountform::InstallProgressWindows(previousProgress_);
    bf::OemOnWrite = false;
  }

  std::string Written(const std::string& name, std::initializer_list<std::string> lines) {
    IxportFile f;
    EXPECT_TRUE(f.OpenByName(0, Mode::kCreate, folder_ / name, 0));
    for (const std::string& line : lines) EXPECT_TRUE(f.WriteLine(line));
    f.Close();
    return folder_.Read(name);
  }

  std::vector<std::string> ReadBack(const std::string& bytes, std::vector<bool>* cut = nullptr) {
    folder_.Write("in.txt", bytes);
    IxportFile f;
    EXPECT_TRUE(f.OpenByName(0, Mode::kOpen, folder_ / "in.txt", 0));
    std::vector<std::string> lines;
    std::string line;
    while (!f.Eof()) {
      EXPECT_TRUE(f.ReadLine(line));
      lines.push_back(line);
      if (cut) cut->push_back(f.LineCut());
    }
    EXPECT_FALSE(f.ReadLine(line));
    f.Close();
    return lines;
  }

  TempFolder folder_;
  eerror::RecordingMessageBoxes boxes_;
  eerror::ScopedMessageBoxes installed_{boxes_};
  ecountform::RecordingProgressWindows progress_;
  ecountform::ProgressWindows* previousProgress_ = nullptr;
  etider::SetClock clock_{2026, 3, 14, 10, 0, 0};
  etider::ScopedClock scopedClock_{clock_};
};

TEST_F(Exchange, EveryWrittenFileButTheDocumentsStartsWithTheCaptionLine) {
  EXPECT_EQ(Written("plan.bfr", {"1930,Bank"}), "; BFNOLKW64 prov\r\n1930,Bank\r\n");
  EXPECT_EQ(Written("lista.TXT", {}), "; BFNOLKW64 prov\r\n");
  for (const char* document : {"sida.htm", "sida.HTML", "data.xml", "stil.xsl", "stil.css", "rapport.pdf"})
    EXPECT_EQ(Written(document, {"<p>"}), "<p>\r\n") << document;
  // Through the dialog the same rule.
  GivenFileDialogs dialog(folder_ / "ny.html");
  const ScopedFileDialogs installed(dialog);
  IxportFile f;
  std::string dir = folder_.path(), name;
  ASSERT_TRUE(f.OpenWithDialog(0, Mode::kCreate, 5, "*.htm;*.html", "htm", dir, name));
  f.WriteLine("<html>");
  f.Close();
  EXPECT_EQ(folder_.Read("ny.html"), "<html>\r\n");
}

TEST_F(Exchange, ADialogExportRemembersItsFolderForTheNextDialog) {
  folder_.MakeFolder("ny");
  GivenFileDialogs dialog;
  dialog.names = {folder_ / "ny/plan.bfr", folder_ / "ny/igen.bfr"};
  const ScopedFileDialogs installed(dialog);
  std::string dir = folder_.path(), name;
  IxportFile f;
  ASSERT_TRUE(f.OpenWithDialog(0, Mode::kCreate, 3, ";*.bfr", "bfr", dir, name));
  EXPECT_EQ(name, folder_ / "ny/plan.bfr");
  EXPECT_EQ(dir, folder_ / "ny");
  f.Close();
  name.clear();
  ASSERT_TRUE(f.OpenWithDialog(0, Mode::kCreate, 3, ";*.bfr", "bfr", dir, name));
  f.Close();
  ASSERT_EQ(dialog.requests.size(), 2u);
  EXPECT_EQ(dialog.requests[0].startDir, folder_.path());
  EXPECT_EQ(dialog.requests[1].startDir, folder_ / "ny");
  EXPECT_EQ(dialog.requests[1].startName, "");

  // Cancelled: nothing opens, the folder stays, and the close reports no lines.
  EXPECT_FALSE(f.OpenWithDialog(0, Mode::kCreate, 3, ";*.bfr", "bfr", dir, name));
  EXPECT_EQ(dir, folder_ / "ny");
  EXPECT_EQ(f.Close().lines, 0);
  EXPECT_EQ(eerror::StatusMsg, "Import/export av    0 rader    0");
}

TEST_F(Exchange, LinesAreReadWithEitherLineEndAndALongLineIsNeverSplit) {
  EXPECT_EQ(ReadBack("a\r\nb\n\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(ReadBack("a\r\n"), std::vector<std::string>{"a"});
  EXPECT_TRUE(ReadBack("").empty());
  std::vector<bool> cut;
  const std::string exact(255, 'x');
  const std::string longer = std::string(255, 'y') + "RESTEN";
  EXPECT_EQ(ReadBack(exact + "\r\n" + longer + "\r\nsist\n", &cut),
            (std::vector<std::string>{exact, std::string(255, 'y'), "sist"}));
  EXPECT_EQ(cut, (std::vector<bool>{false, true, false}));
  // A line far longer than a read block, its end in the next block.
  const std::string huge(200000, 'z');
  cut.clear();
  EXPECT_EQ(ReadBack(huge + "\nefter", &cut), (std::vector<std::string>{std::string(255, 'z'), "efter"}));
  EXPECT_EQ(cut, (std::vector<bool>{true, false}));
  EXPECT_EQ(eerror::StatusMsg, "Import/export av    2 rader    0");
}

TEST_F(Exchange, OemLettersAreReadAsTheProgramsOwnAndWrittenSoWhenAsked) {
  EXPECT_EQ(ReadBack("K\x94p fr\x86n \x8E"), std::vector<std::string>{A("Köp från Ä")});
  EXPECT_EQ(ReadBack(A("Köp från Ä")), std::vector<std::string>{A("Köp från Ä")});
  bf::OemOnWrite = true;
  EXPECT_EQ(Written("oem.txt", {A("Lön")}), "; BFNOLKW64 prov\r\nL\x94n\r\n");
}

TEST_F(Exchange, AUtf8FileIsReadInWindowsLettersAndAnyOtherAsBefore) {
  EXPECT_EQ(ReadBack("Lön för mars\r\nÅre,€5\n"), (std::vector<std::string>{A("Lön för mars"), A("Åre,€5")}));
  EXPECT_EQ(ReadBack("\xEF\xBB\xBFHyra\n"), std::vector<std::string>{"Hyra"});  // the mark is no text
  // Windows bytes that happen to hold a UTF-8 pair are still Windows text when the rest is not.
  EXPECT_EQ(ReadBack("\xC3\xA5 och \xF6"), std::vector<std::string>{"\xC3\xA5 och \xF6"});
  // A letter cut by the end of a read block is read whole, and the line limit counts letters.
  std::string line = "x";
  for (int i = 0; i < 127; ++i) line += "åö";
  std::string file;
  while (file.size() < 200000) file += line + "\n";
  const std::vector<std::string> lines = ReadBack(file);
  EXPECT_EQ(lines.size(), file.size() / (line.size() + 1));
  EXPECT_EQ(std::count(lines.begin(), lines.end(), A(line)), static_cast<long>(lines.size()));
}

TEST_F(Exchange, AUtf8FileWindowsCannotHoldDoesNotOpen) {
  for (const auto& [bytes, why] : std::initializer_list<std::pair<std::string, std::string>>{
           {"Kaffe\n1930,10,+\nmed \xE2\x86\x92 socker\n", "rad 3 har tecknet U+2192, som inte finns i Windows-1252"},
           {"\xEF\xBB\xBFHyra\nL\xF6n\n", A("rad 2 är inte UTF-8, fast filen börjar som UTF-8")}}) {
    folder_.Write("ut.ver", bytes);
    IxportFile f;
    EXPECT_FALSE(f.OpenByName(0, Mode::kOpen, folder_ / "ut.ver", 0));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(eerror::StatusMsg, A("Kan ej läsa ixportfilen \"") + std::string(folder_ / "ut.ver") + "\": " + why);
  }
}

TEST(TextEncoding, TheSameDecisionWhateverThePiecesTheBytesComeIn) {
  struct Case {
    std::string bytes;
    bool utf8;
    size_t bom;
    std::string refusal;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"", false, 0, ""},
           {"ab", false, 0, ""},
           {"\xEF\xBB\xBF", true, 3, ""},
           {"rad\nö\n", true, 0, ""},
           {"ö\xC3", false, 0, ""},                       // cut at the end
           {"ö\n\xF6", false, 0, ""},                    // a Windows letter after a UTF-8 one
           {"a\nb\n\xF0\x9F\x98\x80", true, 0, A(": rad 3 har tecknet U+1F600, som inte finns i Windows-1252")},
       }) {
    for (const size_t size : {size_t{1}, size_t{2}, size_t{1000}}) {
      TextEncodingScan scan;
      for (size_t at = 0; at < c.bytes.size(); at += size) scan.Feed(std::string_view(c.bytes).substr(at, size));
      scan.Finish();
      EXPECT_EQ(scan.Utf8(), c.utf8) << c.bytes << " in pieces of " << size;
      EXPECT_EQ(scan.BomLength(), c.bom) << c.bytes;
      EXPECT_EQ(scan.Refusal(), c.refusal) << c.bytes;
    }
  }
  EXPECT_EQ(WholeUtf8Prefix("ab\xC3"), 2u);
  EXPECT_EQ(WholeUtf8Prefix("ab\xE2\x86"), 2u);
  EXPECT_EQ(WholeUtf8Prefix("ab\xE2\x86\x92"), 5u);
  EXPECT_EQ(WholeUtf8Prefix("\x80\x80\x80\x80\x80"), 5u);  // no UTF-8 at all: left to the decoder
}

TEST_F(Exchange, FieldsAreTrimmedAndControlCharactersBlank) {
  EXPECT_EQ(Field("1930, 100.00 ,+", ',', 1), "1930");
  EXPECT_EQ(Field("1930, 100.00 ,+", ',', 2), "100.00");
  EXPECT_EQ(Field("1930, 100.00 ,+", ',', 3), "+");
  EXPECT_EQ(Field("1930, 100.00 ,+", ',', 4), "");
  EXPECT_EQ(Field("a,\tb\x01" "c\xFF,", ',', 2), "b c");
  EXPECT_EQ(Field("", ',', 1), "");
  EXPECT_EQ(Field("a", ',', 0), "");
}

TEST_F(Exchange, ProgressAndReportsOnTheStatusLine) {
  IxportFile f;
  ASSERT_TRUE(f.OpenByName(0, Mode::kCreate, folder_ / "ut.bfr", 3));
  EXPECT_EQ(eerror::StatusMsg, "IxportFile " + (folder_ / "ut.bfr") + A(" öppen.."));
  ASSERT_EQ(progress_.setups.size(), 1u);
  EXPECT_EQ(progress_.setups[0].caption, folder_ / "ut.bfr");
  f.WriteLine("1930");
  f.ExportProgress(A("Lön"), true, 120);
  f.ExportProgress("2", false, 120);
  int32_t bytes = 10;
  f.WriteCountedLine("abc", bytes);
  EXPECT_EQ(bytes, 14);
  const IxportFile::Counts counts = f.Close();
  EXPECT_EQ(counts.lines, 2);
  EXPECT_EQ(counts.exported, 1);
  EXPECT_EQ(progress_.closed, 1);
  ASSERT_GE(progress_.lines.size(), 2u);
  EXPECT_EQ(progress_.lines[0].text, "Export:    1 [ 120]");
  EXPECT_EQ(progress_.lines[1].text, A("Lön"));
  EXPECT_EQ(eerror::StatusMsg, "Import/export av    2 rader    0");

  EXPECT_FALSE(f.OpenByName(0, Mode::kOpen, folder_ / "saknas.bfr", 3));
  EXPECT_EQ(eerror::StatusMsg, A("Kan ej öppna IxportFile: \"") + (folder_ / "saknas.bfr") + "\" Hittar ej filen");
  EXPECT_EQ(progress_.setups.size(), 1u);  // no window for a file that did not open
  f.Close();
  EXPECT_EQ(progress_.closed, 1);
  EXPECT_EQ(eerror::StatusMsg.rfind(A("Kan ej öppna IxportFile: "), 0), 0u);  // the reason stays
  EXPECT_FALSE(f.OpenByName(0, Mode::kOpen, "", 0));

  GivenFileDialogs dialog(folder_ / "saknas/ut.bfr");
  const ScopedFileDialogs installed(dialog);
  std::string dir, name;
  EXPECT_FALSE(f.OpenWithDialog(0, Mode::kCreate, 0, ";*.bfr", "bfr", dir, name));
  EXPECT_EQ(eerror::StatusMsg, A("Kan ej öppna/skapa ixportfilen \"") + (folder_ / "saknas/ut.bfr") + "\"");
}

TEST_F(Exchange, AFailedWriteStopsEveryLineAfterItAndIsReportedNotCounted) {
  // Enough lines for several blocks, so the failure can come at any of them or at the close.
  const std::string line(99, 'r');
  std::string whole = "; BFNOLKW64 prov\r\n";
  for (int i = 0; i < 2000; ++i) whole += line + "\r\n";
  struct Outcome {
    bool opened = false;
    int firstRefused = -1;
    bool writtenAfterRefusal = false;
    bool failed = false;
  };
  faultloop::EveryFault(
      [&] {
        eerror::StatusMsg.clear();
        boxes_.boxes.clear();
      },
      [&] {
        Outcome o;
        IxportFile f;
        o.opened = f.OpenByName(0, Mode::kCreate, folder_ / "ut.txt", 0);
        for (int i = 0; o.opened && i < 2000; ++i) {
          const bool written = f.WriteLine(line);
          if (!written && o.firstRefused < 0) o.firstRefused = i;
          if (written && o.firstRefused >= 0) o.writtenAfterRefusal = true;
        }
        f.Close();
        o.failed = f.Failed() || !boxes_.boxes.empty();
        return o;
      },
      [&](const Outcome& o, const faultloop::Injection& injection) {
        const std::string file = folder_.Read("ut.txt");
        if (injection.none()) {
          EXPECT_TRUE(o.opened);
          EXPECT_EQ(o.firstRefused, -1);
          EXPECT_EQ(file, whole);
          EXPECT_EQ(eerror::StatusMsg, "Import/export av 2000 rader    0");
          return;
        }
        if (!o.opened) return;  // the file could not be made: nothing to stop
        EXPECT_FALSE(o.writtenAfterRefusal);
        ASSERT_EQ(boxes_.boxes.size(), 1u);
        EXPECT_EQ(boxes_.boxes[0].text.rfind(A("Kan ej skriva ixportfilen \"") + (folder_ / "ut.txt") + "\"", 0), 0u);
        EXPECT_NE(eerror::StatusMsg.rfind("Import/export av", 0), 0u);
        EXPECT_EQ(whole.compare(0, file.size(), file), 0) << "the file is not the start of what was written";
        EXPECT_LT(file.size(), whole.size());
      },
      {{faultloop::Op::Write, 0, ENOSPC, 0}, {faultloop::Op::Write, 0, EIO, 7}, {faultloop::Op::Truncate, 0, EIO, 0}});
}

TEST_F(Exchange, AFileLeftOpenAtTheEndOfTheProgramIsWrittenOutAndClosed) {
  const std::string name = folder_ / "kvar.txt";
  const pid_t child = ::fork();
  if (child == 0) {
    IxportFile f;  // never closed: the program ends with it open
    if (!f.OpenByName(0, Mode::kCreate, name, 0) || !f.WriteLine("rad 1") || !f.WriteLine("rad 2")) std::_Exit(3);
    std::exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(folder_.Read("kvar.txt"), "; BFNOLKW64 prov\r\nrad 1\r\nrad 2\r\n");
}

}  // namespace
}  // namespace eixport
