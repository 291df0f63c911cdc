// The text device's layout is read by scripts: these cases pin it down whole.
#include "printing/ewrite32.h"
#include "printing/ewrite32_textdevice.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace printing;

namespace {

glodefs::TRapportEnv Setting(int columns) {
  TPrinterEnv defPrinter;
  defPrinter.SetDefaultPageSetup(kPaperA4, kPortrait);
  glodefs::TKonfigRec konfig;
  glodefs::TRapportEnv setting;
  setting.FillDefaults(1, defPrinter, konfig);
  setting.SetFooter("fot");
  TPrinterEnv block = setting.Printer();
  block.SetColumns(columns);
  setting.SetPrinter(block);
  return setting;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

class TextDeviceTest : public ::testing::Test {
 protected:
  eerror::RecordingMessageBoxes boxes;
  eerror::ScopedMessageBoxes installedBoxes{boxes};
  etider::SetClock clock{2024, 1, 17, 9, 5, 3};
  etider::ScopedClock installedClock{clock};
  RecordingReportDialogs dialogs;
  TextDevice device;
  PrintJob job{device, dialogs};
};

TEST_F(TextDeviceTest, ColumnsAndLinesAreTheTextsOwn) {
  ASSERT_TRUE(job.printerinit(false, "Huvudbok", Setting(3), 0));  // one page column still
  EXPECT_EQ(job.Columns(), 1);
  EXPECT_EQ(job.LeftMargin(), 0);
  EXPECT_EQ(job.TopMargin(), 0);
  EXPECT_EQ(job.CharsPerColumn(), 96);
  job.Need("", 1);
  job.Tab(2);
  job.Write("Konto: 1930");
  job.Tab(16);
  job.WriteLn("Bank   ");
  job.Tab(53);
  job.WriteLn("100,00");
  job.Rule();
  job.printerexit(false);

  const auto lines = Lines(device.Output());
  ASSERT_EQ(lines.size(), 64u);
  EXPECT_EQ(lines[0], "  Konto: 1930   Bank");
  EXPECT_EQ(lines[1], std::string(53, ' ') + "100,00");
  EXPECT_EQ(lines[2], std::string(96, '-'));
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[61], " " + std::string(95, '-'));
  EXPECT_EQ(lines[62], "");
  const std::string footer = "fot 2024-01-17 09:05:03";
  EXPECT_EQ(lines[63], std::string((96 - footer.size()) / 2, ' ') + footer);
  EXPECT_TRUE(device.Ended());
}

TEST_F(TextDeviceTest, PagesBreakAtLine59AndAreSeparatedByAFormFeedLine) {
  ASSERT_TRUE(job.printerinit(false, "Huvudbok", Setting(1), 0));
  for (int n = 1; n <= 60; ++n) {
    job.Need("Huvudbok", 1);
    job.Tab(0);
    job.WriteLn("rad " + std::to_string(n));
  }
  job.printerexit(false);

  const auto lines = Lines(device.Output());
  ASSERT_GT(lines.size(), 64u);
  EXPECT_EQ(lines[58], "rad 59");
  EXPECT_EQ(lines[62], std::string((96 - 20) / 2, ' ') + "\"Huvudbok\" forts...");
  EXPECT_EQ(lines[64], "\f");
  const std::string heading = "forts.. \"Huvudbok\"  sida:   2";
  EXPECT_EQ(lines[65], std::string((96 - heading.size()) / 2, ' ') + heading);
  EXPECT_EQ(lines[66], std::string(96, '-'));
  // Heading, rule, the empty line: the text goes on at line 3.
  EXPECT_EQ(lines[65 + 2], "");
  EXPECT_EQ(lines[65 + 3], "rad 60");
  EXPECT_EQ(lines.size(), 65u + 64u);
}

TEST_F(TextDeviceTest, LinesWrittenWithoutReservingStillBreakBeforeTheFooter) {
  ASSERT_TRUE(job.printerinit(false, "t", Setting(1), 0));
  // Each block reserves one line less than it writes (a rule, an unreserved line), as the
  // ledger's account foot does; the room is measured below the cursor all the same.
  for (int n = 1; n <= 25; ++n) {
    job.Need("t", 2);
    job.WriteLn("blok " + std::to_string(n));
    job.Rule();
    job.WriteLn();
  }
  job.printerexit(false);
  const auto lines = Lines(device.Output());
  ASSERT_EQ(lines.size(), 65u + 64u);
  // Block 20 ends at line 59; block 21 would have reached the footer from line 61 on.
  EXPECT_EQ(lines[57], " blok 20");
  EXPECT_EQ(lines[60], "");
  EXPECT_EQ(lines[61], " " + std::string(95, '-'));
  EXPECT_EQ(lines[62], std::string((96 - 13) / 2, ' ') + "\"t\" forts...");
  EXPECT_EQ(lines[65 + 3], " blok 21");
}

TEST_F(TextDeviceTest, ABoxFillsItsCellsOnThePage) {
  ASSERT_TRUE(job.printerinit(false, "t", Setting(1), 0));
  job.Box({2, 1, 3, 2}, 0xff0000);
  job.Box({94, 3, 10, 1}, 0);  // cut at the page's edge
  job.TextAt(3, 2, "x");
  job.printerexit(false);
  const auto lines = Lines(device.Output());
  EXPECT_EQ(lines[1], "  ###");
  EXPECT_EQ(lines[2], "  #x#");
  EXPECT_EQ(lines[3], std::string(94, ' ') + "##");
}

TEST_F(TextDeviceTest, ACancelledJobLeavesNothing) {
  dialogs.cancelAtEvent = 2;
  ASSERT_TRUE(job.printerinit(false, "t", Setting(1), 0));
  for (int n = 0; n < 5; ++n) job.WriteLn("rad");
  job.printerexit(false);
  EXPECT_EQ(device.Output(), "");
  EXPECT_FALSE(device.Ended());
}

}  // namespace

namespace {

TEST(ConsoleReportDialogTest, OneLineOnATerminalNothingOtherwise) {
  std::ostringstream terminal, pipe;
  {
    ConsoleReportDialogs console(terminal, true);
    auto dialog = console.Create({});
    dialog->ShowLine(ReportLine::Job, "BFNOLKW64:Huvudbok");
    dialog->ShowLine(ReportLine::Device, "Laser,CUPS,usb");
    dialog->ShowLine(ReportLine::Count, "   12[  100]");
  }
  EXPECT_EQ(terminal.str(),
            "\rrapport: BFNOLKW64:Huvudbok\x1b[K"
            "\rrapport: BFNOLKW64:Huvudbok  antal:   12[  100]\x1b[K"
            "\r\x1b[K");
  {
    ConsoleReportDialogs console(pipe, false);
    auto dialog = console.Create({});
    dialog->ShowLine(ReportLine::Job, "BFNOLKW64:Huvudbok");
  }
  EXPECT_EQ(pipe.str(), "");
}

}  // namespace
