#include "shell/GloDefs.h"

#include "common/Ansi.h"
#include "common/ESmall_Bytes.h"

#include <cstring>

namespace glodefs {

std::string ProgName = "BFNOLKW64";

namespace {

using namespace esmall;
using printing::FontSlot;
using printing::TFontRec;
using printing::TPrinterEnv;

// TKonfigRec
constexpr size_t kCurBase = 4, kCurLabel = 8, kCurReport = 9, kSystemPath = 10, kFileMask = 2060,
                 kComputerName = 3085, kComputerNameCapacity = 31, kDataDir = 5167,
                 kExchangeDir = 6192, kWord7218 = 7218, kProgBase = 7220, kProgDataDir = 7344,
                 kPathEntries = 45517, kPathEntrySize = 1538, kLabelNames = 59359,
                 kReportNames = 59769, kNameSize = 41, kNameCapacity = 40, kDialogPage = 60220,
                 kFormScale = 60224;

// TEtikettEnv
constexpr size_t kEtLeft = 0, kEtHeight = 4, kEtRowPitch = 6, kEtColumnPitch = 8, kEtWidth = 10,
                 kEtTop = 12, kEtExtra = 16, kEtPerRow = 18, kEtRows = 20, kEt24 = 24, kEt28 = 28,
                 kEtPrinter = 40, kEtCopies = 9640, kEtSheet = 9644;

// TRapportEnv
constexpr size_t kRaPath = 2, kRaFooter = 1027, kRaFooterCapacity = 64, kRaPrinter = 1096,
                 kRa10697 = 10697, kRaPictures = 10720, kRaPictureSize = 1032,
                 kRaPictureActive = 1025, kRaPictureDivisor = 1028;

bool IsSetting(int n) { return n >= 1 && n <= kSettings; }
bool IsProgram(int progNr) { return progNr >= 0 && progNr < kProgramSlots; }

TPrinterEnv PrinterAt(const unsigned char* at) {
  TPrinterEnv printer;
  std::memcpy(printer.bytes.data(), at, TPrinterEnv::kSize);
  return printer;
}

// The toolkit's font height for a size in points on a 96-dots-per-inch screen.
int32_t HeightOf(int32_t points) { return -((points * 96 + 36) / 72); }

TFontRec FontOf(const std::string& name, int32_t points, bool bold, bool fixedPitch = false) {
  TFontRec font;
  font.name = name;
  font.size = points;
  font.height = HeightOf(points);
  font.style = bold ? TFontRec::kBold : 0;
  font.pitch = fixedPitch ? TFontRec::kFixedPitch : TFontRec::kDefaultPitch;
  return font;
}

void SetFonts(TPrinterEnv& printer, const TFontRec& stor, const TFontRec& mellan, const TFontRec& liten) {
  printer.SetFont(FontSlot::Stor, stor);
  printer.SetFont(FontSlot::Mellan, mellan);
  printer.SetFont(FontSlot::Liten, liten);
}

// A copy of the default printer with another paper or orientation.
void SetPaper(TPrinterEnv& printer, int16_t paper, int16_t orientation) {
  printing::DeviceMode mode = printer.GetDeviceMode();
  mode.paperSize = paper;
  mode.orientation = orientation;
  printer.SetDeviceMode(printer.DeviceName(), mode);
}

struct LabelDefaults {
  const char* name;
  int32_t left;
  int16_t height, rowPitch, columnPitch, width;
  int32_t top;
  int16_t extra, perRow, rows;
  bool sheet;
  enum { kDefault, kFanfold, kFanfoldCourierCpi, kGiro } printer;
};

constexpr LabelDefaults kLabelDefaults[kSettings] = {
    {"Laser 3x8", -50, 320, 360, 703, 600, -20, 30, 3, 8, true, LabelDefaults::kDefault},
    {"Laser 6x8", 0, 370, 370, 349, 348, 0, 30, 6, 8, true, LabelDefaults::kDefault},
    {"Laser 2x8", -30, 300, 356, 1060, 900, -10, 30, 2, 8, true, LabelDefaults::kDefault},
    {"Löpande 2x12 I", -50, 230, 254, 1040, 900, 0, 0, 2, 11, false, LabelDefaults::kFanfoldCourierCpi},
    {"Löpande 2x12 II", -100, 230, 254, 930, 750, 0, 0, 2, 11, false, LabelDefaults::kFanfoldCourierCpi},
    {"Löpande 3x12", -100, 200, 254, 918, 800, 0, 0, 3, 11, false, LabelDefaults::kFanfold},
    {"Löpande 1x8", 80, 300, 380, 1810, 1790, -30, 0, 1, 8, false, LabelDefaults::kFanfold},
    {"Löpande 1x12 I", 190, 240, 254, 1800, 1750, -40, 0, 1, 12, false, LabelDefaults::kFanfold},
    {"Löpande 1x12 II", 70, 220, 254, 1910, 1850, -30, 0, 1, 12, false, LabelDefaults::kFanfold},
    {"Giroblanketter", 25, 1018, 1018, 1850, 1850, 10, 0, 1, 1, false, LabelDefaults::kGiro},
};

struct ReportDefaults {
  const char* name;
  int16_t orientation;
  const char* font;
  int32_t stor, mellan, liten;
};

constexpr ReportDefaults kReportDefaults[kSettings] = {
    {"arial.stående", printing::kPortrait, "Arial", 14, 11, 8},
    {"arial.liggande", printing::kLandscape, "Arial", 14, 11, 8},
    {"Courier.stående", printing::kPortrait, "Courier New", 16, 12, 8},
    {"Courier.liggande", printing::kLandscape, "Courier New", 16, 14, 10},
    {"Arial.stående", printing::kPortrait, "Arial", 14, 11, 8},
    {"Arial.liggande", printing::kLandscape, "Arial", 14, 11, 8},
    {"Proprinter.A3.40,36,16", printing::kPortrait, "Arial", 14, 11, 8},
    {"glimmerbodata", printing::kPortrait, "Arial", 14, 11, 8},
    {"glimmerbodata", printing::kPortrait, "Arial", 14, 11, 8},
    {"glimmerbodata", printing::kPortrait, "Arial", 14, 11, 8},
};

// Our own neutral footer: the program's name between the marks.
constexpr const char* kDefaultFooter = "## bokföringsnolk ##";

}  // namespace

// ---- TKonfigRec ----

int32_t TKonfigRec::CurBase() const { return GetI32(bytes, kCurBase); }
void TKonfigRec::SetCurBase(int32_t base) { PutI32(bytes, kCurBase, base); }

int TKonfigRec::CurrentLabelSetting() const { return IsSetting(bytes[kCurLabel]) ? bytes[kCurLabel] : 1; }
int TKonfigRec::CurrentReportSetting() const { return IsSetting(bytes[kCurReport]) ? bytes[kCurReport] : 1; }
void TKonfigRec::SetCurrentLabelSetting(int n) { bytes[kCurLabel] = static_cast<unsigned char>(IsSetting(n) ? n : 1); }
void TKonfigRec::SetCurrentReportSetting(int n) { bytes[kCurReport] = static_cast<unsigned char>(IsSetting(n) ? n : 1); }

std::string TKonfigRec::ComputerName() const { return GetPString(bytes, kComputerName, kComputerNameCapacity); }
void TKonfigRec::SetComputerName(const std::string& name) { PutPString(bytes, kComputerName, kComputerNameCapacity, name); }

std::string TKonfigRec::DataDir() const { return GetZString(bytes, kDataDir, kPathWidth); }
void TKonfigRec::SetDataDir(const std::string& dir) { PutZString(bytes, kDataDir, kPathWidth, dir); }
std::string TKonfigRec::ExchangeDir() const { return GetZString(bytes, kExchangeDir, kPathWidth); }
void TKonfigRec::SetExchangeDir(const std::string& dir) { PutZString(bytes, kExchangeDir, kPathWidth, dir); }

int32_t TKonfigRec::ProgBase(int progNr) const {
  return IsProgram(progNr) ? GetI32(bytes, kProgBase + 4 * progNr) : 0;
}
void TKonfigRec::SetProgBase(int progNr, int32_t base) {
  if (IsProgram(progNr)) PutI32(bytes, kProgBase + 4 * progNr, base);
}
std::string TKonfigRec::ProgDataDir(int progNr) const {
  return IsProgram(progNr) ? GetZString(bytes, kProgDataDir + kPathWidth * progNr, kPathWidth) : "";
}
void TKonfigRec::SetProgDataDir(int progNr, const std::string& dir) {
  if (IsProgram(progNr)) PutZString(bytes, kProgDataDir + kPathWidth * progNr, kPathWidth, dir);
}

std::string TKonfigRec::LabelName(int n) const {
  return n >= 0 && n <= kSettings ? GetPString(bytes, kLabelNames + kNameSize * n, kNameCapacity) : "";
}
void TKonfigRec::SetLabelName(int n, const std::string& name) {
  if (n >= 0 && n <= kSettings) PutPString(bytes, kLabelNames + kNameSize * n, kNameCapacity, name);
}
std::string TKonfigRec::ReportName(int n) const {
  return IsSetting(n) ? GetPString(bytes, kReportNames + kNameSize * n, kNameCapacity) : "";
}
void TKonfigRec::SetReportName(int n, const std::string& name) {
  if (IsSetting(n)) PutPString(bytes, kReportNames + kNameSize * n, kNameCapacity, name);
}

int32_t TKonfigRec::DialogPage() const { return GetI32(bytes, kDialogPage); }
void TKonfigRec::SetDialogPage(int32_t page) { PutI32(bytes, kDialogPage, page); }
int16_t TKonfigRec::FormScale() const { return GetI16(bytes, kFormScale); }
void TKonfigRec::SetFormScale(int16_t scale) { PutI16(bytes, kFormScale, scale); }

void TKonfigRec::FillDefaults(int progNr, const std::string& defaultDataDir) {
  bytes.fill(0);
  SetCurBase(0);
  SetCurrentLabelSetting(1);
  SetCurrentReportSetting(1);
  // Stored as the file has always held them; nothing here reads these two.
  PutZString(bytes, kSystemPath, kPathWidth, "c:\\windows\\command\\system32");
  PutZString(bytes, kFileMask, kPathWidth, "*.*");
  SetComputerName("vimledator.DatorID.ejdef");
  SetDataDir(defaultDataDir);
  PutU16(bytes, kWord7218, 1);
  SetProgDataDir(progNr, defaultDataDir);
  for (int i = 1; i <= 8; ++i) PutZString(bytes, kPathEntries + i * kPathEntrySize, kPathWidth, defaultDataDir);
  SetDialogPage(1);
  SetFormScale(1);
}

// ---- TEtikettEnv ----

TEtikettEnv::Geometry TEtikettEnv::GetGeometry() const {
  return {GetI32(bytes, kEtLeft),  GetI16(bytes, kEtHeight), GetI16(bytes, kEtRowPitch),
          GetI16(bytes, kEtColumnPitch), GetI16(bytes, kEtWidth), GetI32(bytes, kEtTop),
          GetI16(bytes, kEtExtra), GetI16(bytes, kEtPerRow), GetI16(bytes, kEtRows)};
}

void TEtikettEnv::SetGeometry(const Geometry& g) {
  PutI32(bytes, kEtLeft, g.leftMargin);
  PutI16(bytes, kEtHeight, g.height);
  PutI16(bytes, kEtRowPitch, g.rowPitch);
  PutI16(bytes, kEtColumnPitch, g.columnPitch);
  PutI16(bytes, kEtWidth, g.width);
  PutI32(bytes, kEtTop, g.topMargin);
  PutI16(bytes, kEtExtra, g.extra);
  PutI16(bytes, kEtPerRow, g.perRow);
  PutI16(bytes, kEtRows, g.rows);
}

int32_t TEtikettEnv::Copies() const { return GetI32(bytes, kEtCopies); }
void TEtikettEnv::SetCopies(int32_t copies) { PutI32(bytes, kEtCopies, copies); }
bool TEtikettEnv::Sheet() const { return bytes[kEtSheet] == 1; }

TPrinterEnv TEtikettEnv::Printer() const { return PrinterAt(bytes.data() + kEtPrinter); }
void TEtikettEnv::SetPrinter(const TPrinterEnv& printer) {
  std::memcpy(bytes.data() + kEtPrinter, printer.bytes.data(), TPrinterEnv::kSize);
}

void TEtikettEnv::FillDefaults(int n, const TPrinterEnv& defPrinter, TKonfigRec& konfig) {
  if (!IsSetting(n)) return;
  const LabelDefaults& d = kLabelDefaults[n - 1];
  bytes.fill(0);
  SetGeometry({d.left, d.height, d.rowPitch, d.columnPitch, d.width, d.top, d.extra, d.perRow, d.rows});
  PutI32(bytes, kEt24, 10);
  PutI32(bytes, kEt28, 10);
  TPrinterEnv printer = defPrinter;
  printer.SetPageMargins({});
  printer.SetColumns(1);
  switch (d.printer) {
    case LabelDefaults::kDefault:
    case LabelDefaults::kFanfold:
      SetFonts(printer, FontOf("Courier New", 16, true), FontOf("Courier New", 12, true),
               FontOf("Courier New", 10, true));
      break;
    case LabelDefaults::kFanfoldCourierCpi:
      SetFonts(printer, FontOf("Courier 5cpi", 15, true, true), FontOf("Courier 10cpi", 15, true, true),
               FontOf("Courier 17cpi", 15, false, true));
      break;
    case LabelDefaults::kGiro:
      SetFonts(printer, FontOf("Courier New", 16, true), FontOf("Courier New", 14, true),
               FontOf("Courier New", 12, true));
      break;
  }
  if (d.printer == LabelDefaults::kGiro) SetPaper(printer, printing::kPaperDL, printing::kLandscape);
  else if (d.printer != LabelDefaults::kDefault) SetPaper(printer, printing::kPaperFanfold, printing::kPortrait);
  SetPrinter(printer);
  SetCopies(1);
  bytes[kEtSheet] = d.sheet ? 1 : 0;
  konfig.SetLabelName(n, A(d.name));
}

// ---- TRapportEnv ----

std::string TRapportEnv::Footer() const { return GetPString(bytes, kRaFooter, kRaFooterCapacity); }
void TRapportEnv::SetFooter(const std::string& footer) { PutPString(bytes, kRaFooter, kRaFooterCapacity, footer); }

TPrinterEnv TRapportEnv::Printer() const { return PrinterAt(bytes.data() + kRaPrinter); }
void TRapportEnv::SetPrinter(const TPrinterEnv& printer) {
  std::memcpy(bytes.data() + kRaPrinter, printer.bytes.data(), TPrinterEnv::kSize);
}

TRapportEnv::Picture TRapportEnv::GetPicture(int k) const {
  if (k < 0 || k >= kPictures) return {"", false, 1};
  const size_t at = kRaPictures + k * kRaPictureSize;
  return {GetZString(bytes, at, kPathWidth), bytes[at + kRaPictureActive] == 1,
          GetI32(bytes, at + kRaPictureDivisor)};
}

void TRapportEnv::SetPicture(int k, const Picture& picture) {
  if (k < 0 || k >= kPictures) return;
  const size_t at = kRaPictures + k * kRaPictureSize;
  PutZString(bytes, at, kPathWidth, picture.path);
  bytes[at + kRaPictureActive] = picture.active ? 1 : 0;
  PutI32(bytes, at + kRaPictureDivisor, picture.sizeDivisor);
}

void TRapportEnv::FillDefaults(int n, const TPrinterEnv& defPrinter, TKonfigRec& konfig) {
  if (!IsSetting(n)) return;
  const ReportDefaults& d = kReportDefaults[n - 1];
  bytes.fill(0);
  PutZString(bytes, kRaPath, kPathWidth, "");
  SetFooter(A(kDefaultFooter));
  TPrinterEnv printer = defPrinter;
  printer.SetPageMargins({500, 500, 100, 0});
  printer.SetColumns(1);
  SetFonts(printer, FontOf(d.font, d.stor, true), FontOf(d.font, d.mellan, true),
           FontOf(d.font, d.liten, true));
  SetPaper(printer, printer.GetDeviceMode().paperSize, d.orientation);
  SetPrinter(printer);
  bytes[kRa10697] = 1;
  SetPicture(0, {"", true, 6});
  SetPicture(1, {"", false, 4});
  for (int k = 2; k < kPictures; ++k) SetPicture(k, {"", false, 5});
  konfig.SetReportName(n, A(d.name));
}

// ---- TKommEnv ----

void TKommEnv::FillDefaults(TKonfigRec& konfig) {
  bytes.fill(0);
  PutU16(bytes, 1026, 2);
  PutU16(bytes, 1028, 4);
  PutU16(bytes, 1030, 4);
  PutU16(bytes, 1038, 1);
  PutU16(bytes, 1040, 1);
  konfig.SetLabelName(0, "Com3:96,n,8,1");
}

}  // namespace glodefs
