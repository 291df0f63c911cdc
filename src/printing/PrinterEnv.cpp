#include "printing/PrinterEnv.h"

#include "common/ESmall_Bytes.h"

#include <algorithm>
#include <cstring>

namespace printing {
namespace {

using namespace esmall;

// TFontRec
constexpr size_t kFontCharset = 0, kFontColor = 4, kFontHeight = 8, kFontSize = 12,
                 kFontName = 16, kFontNameCapacity = 80, kFontPitch = 97, kFontStyle = 98;

// TPrinterEnv
constexpr size_t kNameWidth = 81;
constexpr size_t kDriver = 0, kDevice = 81, kPort = 162;
constexpr size_t kFonts = 244;
constexpr size_t kValid = 544;
constexpr size_t kDevMode = 552, kDevModeFixed = 220;
// Offsets inside the device mode's fixed part.
constexpr size_t kDmDeviceName = 0, kDmDeviceNameWidth = 32, kDmStructVersion = 64, kDmSize = 68,
                 kDmDriverExtra = 70, kDmFields = 72, kDmOrientation = 76, kDmPaperSize = 78,
                 kDmCopies = 86, kDmPrintQuality = 90, kDmYResolution = 96;
constexpr uint16_t kDmVersion = 0x0401;
constexpr uint32_t kDmFieldsSet = 0x0001 | 0x0002 | 0x0100 | 0x0400 | 0x2000;
constexpr size_t kPrivate = 772;
constexpr size_t kPageSetup = 8968, kPageSetupSize = 128;
constexpr size_t kPsFlags = 32, kPsPaperSize = 36, kPsMargins = 60;
constexpr uint32_t kReturnDefaultNoWarning = 1152, kInHundredthsOfMillimetres = 8;
constexpr size_t kDevNames = 9096, kDevNamesSize = 504;
constexpr size_t kColumns = 9592;

struct PaperMillimetres {
  int16_t paper;
  int32_t width, height;  // hundredths of a millimetre
};
constexpr PaperMillimetres kPapers[] = {
    {kPaperLetter, 21590, 27940}, {kPaperA4, 21000, 29700},
    {kPaperDL, 11000, 22000},     {kPaperFanfold, 21590, 30480}};

}  // namespace

TFontRec TFontRec::Decode(std::span<const unsigned char, kSize> b) {
  TFontRec font;
  font.charset = b[kFontCharset];
  font.color = GetU32(b, kFontColor);
  font.height = GetI32(b, kFontHeight);
  font.size = GetI32(b, kFontSize);
  font.name = GetPString(b, kFontName, kFontNameCapacity);
  font.pitch = b[kFontPitch];
  font.style = b[kFontStyle];
  return font;
}

void TFontRec::EncodeInto(std::span<unsigned char, kSize> b) const {
  b[kFontCharset] = charset;
  PutU32(b, kFontColor, color);
  PutI32(b, kFontHeight, height);
  PutI32(b, kFontSize, size);
  PutPString(b, kFontName, kFontNameCapacity, name);
  b[kFontPitch] = pitch;
  b[kFontStyle] = style;
}

std::string TPrinterEnv::DriverName() const { return GetZString(bytes, kDriver, kNameWidth); }
std::string TPrinterEnv::DeviceName() const { return GetZString(bytes, kDevice, kNameWidth); }
std::string TPrinterEnv::PortName() const { return GetZString(bytes, kPort, kNameWidth); }

void TPrinterEnv::SetNames(const std::string& driver, const std::string& device, const std::string& port) {
  PutZString(bytes, kDriver, kNameWidth, driver);
  PutZString(bytes, kDevice, kNameWidth, device);
  PutZString(bytes, kPort, kNameWidth, port);
}

TFontRec TPrinterEnv::Font(FontSlot slot) const {
  const size_t at = kFonts + static_cast<size_t>(slot) * TFontRec::kSize;
  return TFontRec::Decode(std::span<const unsigned char, TFontRec::kSize>(bytes.data() + at, TFontRec::kSize));
}

void TPrinterEnv::SetFont(FontSlot slot, const TFontRec& font) {
  const size_t at = kFonts + static_cast<size_t>(slot) * TFontRec::kSize;
  font.EncodeInto(std::span<unsigned char, TFontRec::kSize>(bytes.data() + at, TFontRec::kSize));
}

bool TPrinterEnv::Valid() const { return bytes[kValid] == 1; }
void TPrinterEnv::SetValid(bool valid) { bytes[kValid] = valid ? 1 : 0; }

uint16_t TPrinterEnv::PrivatePartLength() const {
  const uint16_t length = GetU16(bytes, kDevMode + kDmDriverExtra);
  return length <= kMaxPrivatePart ? length : 0;
}

DeviceMode TPrinterEnv::GetDeviceMode() const {
  DeviceMode mode;
  mode.orientation = GetI16(bytes, kDevMode + kDmOrientation);
  mode.paperSize = GetI16(bytes, kDevMode + kDmPaperSize);
  mode.copies = GetI16(bytes, kDevMode + kDmCopies);
  mode.printQuality = GetI16(bytes, kDevMode + kDmPrintQuality);
  mode.yResolution = GetI16(bytes, kDevMode + kDmYResolution);
  const auto* begin = bytes.data() + kPrivate;
  mode.privatePart.assign(begin, begin + PrivatePartLength());
  return mode;
}

bool TPrinterEnv::SetDeviceMode(const std::string& device, const DeviceMode& mode) {
  const size_t at = kDevMode;
  std::memset(bytes.data() + at, 0, kDevModeFixed);
  PutWString(bytes, at + kDmDeviceName, kDmDeviceNameWidth, device);
  PutU16(bytes, at + kDmStructVersion, kDmVersion);
  PutU16(bytes, at + kDmSize, kDevModeFixed);
  PutU32(bytes, at + kDmFields, kDmFieldsSet);
  PutI16(bytes, at + kDmOrientation, mode.orientation);
  PutI16(bytes, at + kDmPaperSize, mode.paperSize);
  PutI16(bytes, at + kDmCopies, mode.copies);
  PutI16(bytes, at + kDmPrintQuality, mode.printQuality);
  PutI16(bytes, at + kDmYResolution, mode.yResolution);
  const size_t length = mode.privatePart.size();
  const bool fits = length <= kMaxPrivatePart;
  if (fits && length > 0) {
    PutU16(bytes, at + kDmDriverExtra, static_cast<uint16_t>(length));
    std::memcpy(bytes.data() + kPrivate, mode.privatePart.data(), length);
  }
  return fits;
}

uint32_t TPrinterEnv::PageSetupFlags() const { return GetU32(bytes, kPageSetup + kPsFlags); }

Margins TPrinterEnv::PageMargins() const {
  const size_t at = kPageSetup + kPsMargins;
  return {GetI32(bytes, at), GetI32(bytes, at + 4), GetI32(bytes, at + 8), GetI32(bytes, at + 12)};
}

void TPrinterEnv::SetPageMargins(const Margins& m) {
  const size_t at = kPageSetup + kPsMargins;
  PutI32(bytes, at, m.left);
  PutI32(bytes, at + 4, m.top);
  PutI32(bytes, at + 8, m.right);
  PutI32(bytes, at + 12, m.bottom);
}

void TPrinterEnv::SetDefaultPageSetup(int16_t paperSize, int16_t orientation) {
  std::memset(bytes.data() + kPageSetup, 0, kPageSetupSize);
  PutU32(bytes, kPageSetup, kPageSetupSize);
  PutU32(bytes, kPageSetup + kPsFlags, kReturnDefaultNoWarning | kInHundredthsOfMillimetres);
  const auto* paper = std::find_if(std::begin(kPapers), std::end(kPapers),
                                   [&](const PaperMillimetres& p) { return p.paper == paperSize; });
  if (paper == std::end(kPapers)) paper = &kPapers[1];  // A4 for a paper we have no size of
  const bool landscape = orientation == kLandscape;
  PutI32(bytes, kPageSetup + kPsPaperSize, landscape ? paper->height : paper->width);
  PutI32(bytes, kPageSetup + kPsPaperSize + 4, landscape ? paper->width : paper->height);
}

void TPrinterEnv::SetDeviceNames(const std::string& driver, const std::string& device,
                                 const std::string& port, bool isDefault) {
  std::memset(bytes.data() + kDevNames, 0, kDevNamesSize);
  // Offsets count 16-bit characters from the start of the structure; its four fields
  // take the first four.
  size_t offset = 4;
  size_t field = 0;
  for (const std::string* name : {&driver, &device, &port}) {
    const std::string cut = name->substr(0, kNameWidth - 1);
    PutU16(bytes, kDevNames + 2 * field++, static_cast<uint16_t>(offset));
    PutWString(bytes, kDevNames + 2 * offset, cut.size() + 1, cut);
    offset += cut.size() + 1;
  }
  PutU16(bytes, kDevNames + 6, isDefault ? 1 : 0);
}

int32_t TPrinterEnv::Columns() const { return GetI32(bytes, kColumns); }
void TPrinterEnv::SetColumns(int32_t columns) { PutI32(bytes, kColumns, columns); }

}  // namespace printing
