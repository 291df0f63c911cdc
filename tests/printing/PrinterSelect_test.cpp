#include "common/Ansi.h"
#include "printing/PrinterSelect.h"
#include "shell/Eerror32.h"

#include <gtest/gtest.h>

using namespace printing;

namespace {

Printer Laser() {
  Printer p{"CUPS", "Laser", "ipp://laser", {}};
  p.mode.paperSize = kPaperLetter;
  p.mode.privatePart = {1, 2, 3, 4};
  return p;
}

Printer Matrix() {
  Printer p{"CUPS", "Matris", "usb", {}};
  p.mode.paperSize = kPaperFanfold;
  p.mode.orientation = kLandscape;
  return p;
}

class PrinterSelectTest : public ::testing::Test {
 protected:
  void SetUp() override { eerror::StatusMsg.clear(); }
  void Use(PrinterList& list) { previous_ = InstallPrinterSystem(&list); }
  void TearDown() override { InstallPrinterSystem(previous_); }
  eerror::RecordingMessageBoxes boxes;
  eerror::ScopedMessageBoxes installed{boxes};

 private:
  PrinterSystem* previous_ = nullptr;
};

TEST_F(PrinterSelectTest, PdfFileIsAlwaysThereAndDefaultWithoutPrinters) {
  PrinterList none;
  EXPECT_EQ(AllPrinters(none).size(), 1u);
  EXPECT_EQ(DefaultPrinter(none).device, "PDF-fil");

  PrinterList two({Laser(), Matrix()}, "Matris");
  ASSERT_EQ(AllPrinters(two).size(), 3u);
  EXPECT_EQ(AllPrinters(two).back().device, "PDF-fil");
  EXPECT_EQ(DefaultPrinter(two).device, "Matris");
  PrinterList noDefault({Laser(), Matrix()});
  EXPECT_EQ(DefaultPrinter(noDefault).device, "Laser");
}

TEST_F(PrinterSelectTest, DefaultPrinterFillsTheWholeBlock) {
  PrinterList list({Laser(), Matrix()}, "Matris");
  Use(list);
  TPrinterEnv block;
  getdefdevmode(block);
  EXPECT_TRUE(block.Valid());
  EXPECT_EQ(block.DeviceName(), "Matris");
  EXPECT_EQ(block.DriverName(), "CUPS");
  EXPECT_EQ(block.PortName(), "usb");
  EXPECT_EQ(block.GetDeviceMode().paperSize, kPaperFanfold);
  EXPECT_EQ(block.GetDeviceMode().orientation, kLandscape);
  EXPECT_EQ(block.PageSetupFlags() & 1152u, 1152u);
  EXPECT_EQ(block.bytes[9096 + 6], 1);  // marked as the default in the device names
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(eerror::StatusMsg, "");
}

TEST_F(PrinterSelectTest, VanishedDefaultIsReportedAndFirstPrinterTaken) {
  PrinterList list({Laser()}, "Borta");
  Use(list);
  TPrinterEnv block;
  getdefdevmode(block);
  EXPECT_EQ(eerror::StatusMsg, "pagesetupdlg error: 4104");
  EXPECT_EQ(block.DeviceName(), "Laser");
  EXPECT_TRUE(block.Valid());
}

TEST_F(PrinterSelectTest, TooLongPrivatePartIsReportedAndNotStored) {
  Printer big = Laser();
  big.mode.privatePart.assign(8194, 7);
  PrinterList list({big}, "Laser");
  Use(list);
  TPrinterEnv block;
  getdefdevmode(block);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].kind, eerror::BoxKind::Warning);
  EXPECT_EQ(boxes.boxes[0].text, A("glodefs:skrivardrivrutinens storlek är för stor 8194 > 8193"));
  EXPECT_EQ(block.PrivatePartLength(), 0);
  EXPECT_TRUE(block.Valid());
}

TEST_F(PrinterSelectTest, StoredPrinterSelectedAgainWithItsSettings) {
  PrinterList list({Laser(), Matrix()}, "Laser");
  Use(list);
  ASSERT_TRUE(list.Select(Matrix()));
  TPrinterEnv start;
  gettheprinter(start);
  EXPECT_EQ(start.DeviceName(), "Matris");
  EXPECT_TRUE(start.Valid());

  ASSERT_TRUE(list.Select(Laser()));
  EXPECT_TRUE(Setdefdevmode(start));
  EXPECT_EQ(list.Selected().device, "Matris");
  EXPECT_EQ(list.Selected().mode.paperSize, kPaperFanfold);

  TPrinterEnv gone = start;
  gone.SetNames("CUPS", "Borta", "usb");
  EXPECT_FALSE(SelectStoredPrinter(gone));
  EXPECT_EQ(list.Selected().device, "Matris");
}

TEST_F(PrinterSelectTest, InvalidBlockSelectsNothing) {
  PrinterList list({Laser()}, "Laser");
  Use(list);
  TPrinterEnv empty;
  EXPECT_FALSE(Setdefdevmode(empty));
  EXPECT_EQ(eerror::StatusMsg, "Error! Kan ej finna default skrivare.");
  EXPECT_EQ(list.Selected().device, "Laser");
}

}  // namespace
