#include "common/Ansi.h"
#include "printing/PrinterEnv.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace printing;

namespace {

// Reads the bytes directly, not through the block's own accessors.
int32_t I32(const TPrinterEnv& b, size_t at) {
  return static_cast<int32_t>(b.bytes[at] | (b.bytes[at + 1] << 8) | (b.bytes[at + 2] << 16) |
                              (static_cast<uint32_t>(b.bytes[at + 3]) << 24));
}
int16_t I16(const TPrinterEnv& b, size_t at) {
  return static_cast<int16_t>(b.bytes[at] | (b.bytes[at + 1] << 8));
}
std::string Z(const TPrinterEnv& b, size_t at) { return reinterpret_cast<const char*>(&b.bytes[at]); }

TFontRec Arial() {
  TFontRec font;
  font.charset = 1;
  font.color = 0x00112233;
  font.height = -19;
  font.size = 14;
  font.name = "Arial";
  font.pitch = TFontRec::kVariablePitch;
  font.style = TFontRec::kBold | TFontRec::kItalic;
  return font;
}

TEST(PrinterBlockLayout, NamesFontsFlagColumnsAtTheirOffsets) {
  static_assert(sizeof(TPrinterEnv::bytes) == 9600);
  TPrinterEnv block;
  block.SetNames("CUPS", A("Skrivare på kontoret"), "ipp");
  block.SetFont(FontSlot::Mellan, Arial());
  block.SetValid(true);
  block.SetColumns(3);
  EXPECT_EQ(Z(block, 0), "CUPS");
  EXPECT_EQ(Z(block, 81), A("Skrivare på kontoret"));
  EXPECT_EQ(Z(block, 162), "ipp");
  const size_t font = 344;
  EXPECT_EQ(block.bytes[font + 0], 1);
  EXPECT_EQ(I32(block, font + 4), 0x00112233);
  EXPECT_EQ(I32(block, font + 8), -19);
  EXPECT_EQ(I32(block, font + 12), 14);
  EXPECT_EQ(block.bytes[font + 16], 5);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&block.bytes[font + 17]), 5), "Arial");
  EXPECT_EQ(block.bytes[font + 97], 1);
  EXPECT_EQ(block.bytes[font + 98], 3);
  EXPECT_EQ(block.bytes[244 + 16], 0);  // "stor" untouched
  EXPECT_EQ(block.bytes[544], 1);
  EXPECT_EQ(I32(block, 9592), 3);

  const TFontRec back = block.Font(FontSlot::Mellan);
  EXPECT_EQ(back.name, "Arial");
  EXPECT_EQ(back.height, -19);
  EXPECT_EQ(back.style, 3);
}

TEST(PrinterBlockLayout, DeviceModeFieldsAtTheirOffsets) {
  TPrinterEnv block;
  DeviceMode mode;
  mode.orientation = kLandscape;
  mode.paperSize = kPaperFanfold;
  mode.printQuality = -4;
  mode.yResolution = 300;
  mode.privatePart = {0xDE, 0xAD, 0xBE};
  ASSERT_TRUE(block.SetDeviceMode("Laser", mode));
  EXPECT_EQ(I16(block, 552 + 68), 220);
  EXPECT_EQ(I16(block, 622), 3);
  EXPECT_EQ(I16(block, 628), kLandscape);
  EXPECT_EQ(I16(block, 630), 40);
  EXPECT_EQ(I16(block, 642), -4);
  EXPECT_EQ(I16(block, 648), 300);
  EXPECT_EQ(block.bytes[772], 0xDE);
  EXPECT_EQ(block.bytes[774], 0xBE);
  EXPECT_EQ(block.bytes[552], 'L');  // device name in 16-bit characters
  EXPECT_EQ(block.bytes[553], 0);

  const DeviceMode back = block.GetDeviceMode();
  EXPECT_EQ(back.paperSize, 40);
  EXPECT_EQ(back.privatePart, mode.privatePart);
}

TEST(PrinterBlockLayout, PrivatePartOfZeroAndOfTooManyBytes) {
  TPrinterEnv block;
  DeviceMode mode;
  EXPECT_TRUE(block.SetDeviceMode("p", mode));
  EXPECT_EQ(I16(block, 622), 0);

  mode.privatePart.assign(8194, 0x55);
  EXPECT_FALSE(block.SetDeviceMode("p", mode));
  EXPECT_EQ(I16(block, 622), 0);
  EXPECT_EQ(block.bytes[772], 0);  // not stored

  mode.privatePart.assign(8193, 0x55);
  EXPECT_TRUE(block.SetDeviceMode("p", mode));
  EXPECT_EQ(I16(block, 622), 8193);
  EXPECT_EQ(block.bytes[772 + 8192], 0x55);
  EXPECT_EQ(block.bytes[772 + 8193], 0);  // page set-up begins untouched at 8968 further on
}

TEST(PrinterBlockLayout, PageSetupAndDeviceNames) {
  TPrinterEnv block;
  block.SetDefaultPageSetup(kPaperA4, kPortrait);
  block.SetPageMargins({500, 500, 100, 0});
  EXPECT_EQ(I32(block, 8968), 128);
  EXPECT_EQ(I32(block, 9000) & 1152, 1152);
  EXPECT_EQ(I32(block, 9004), 21000);
  EXPECT_EQ(I32(block, 9008), 29700);
  EXPECT_EQ(I32(block, 9028), 500);
  EXPECT_EQ(I32(block, 9032), 500);
  EXPECT_EQ(I32(block, 9036), 100);
  EXPECT_EQ(I32(block, 9040), 0);

  block.SetDeviceNames("PDF", "PDF-fil", "FILE:", true);
  EXPECT_EQ(I16(block, 9096), 4);
  EXPECT_EQ(I16(block, 9098), 8);
  EXPECT_EQ(I16(block, 9100), 16);
  EXPECT_EQ(I16(block, 9102), 1);
  EXPECT_EQ(block.bytes[9096 + 2 * 8], 'P');
  EXPECT_EQ(block.bytes[9096 + 2 * 8 + 2 * 6], 'l');
  EXPECT_EQ(block.bytes[9096 + 2 * 16 + 2 * 4], ':');
}

TEST(PrinterBlockLayout, DamagedBytesReadClampedAndUnknownBytesKept) {
  TPrinterEnv block;
  for (size_t i = 0; i < block.bytes.size(); ++i) block.bytes[i] = static_cast<unsigned char>(i % 255 + 1);  // never 0
  block.bytes[622] = 0xFF;  // private length 0xFFxx: damage
  block.bytes[623] = 0xFF;
  const TPrinterEnv original = block;
  EXPECT_EQ(block.DriverName().size(), 80u);  // no terminating zero in the field
  EXPECT_LE(block.Font(FontSlot::Stor).name.size(), 80u);
  EXPECT_TRUE(block.GetDeviceMode().privatePart.empty());
  block.SetFont(FontSlot::Liten, block.Font(FontSlot::Liten));
  block.SetColumns(block.Columns());
  // Rewriting a font keeps its padding bytes; only a name longer than its length byte
  // claimed would change, and the length byte is clamped to 80 on reading.
  for (size_t at : {444 + 1, 444 + 2, 444 + 3, 444 + 99}) EXPECT_EQ(block.bytes[at], original.bytes[at]);
  for (size_t at = 0; at < 444; ++at) ASSERT_EQ(block.bytes[at], original.bytes[at]) << at;
  for (size_t at = 544; at < 9600; ++at) ASSERT_EQ(block.bytes[at], original.bytes[at]) << at;
}

}  // namespace
