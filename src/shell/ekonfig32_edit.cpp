#include "shell/ekonfig32_edit.h"

#include "common/Ansi.h"
#include "printing/PrinterSelect.h"
#include "shell/ESmall.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"

#include <algorithm>

namespace ekonfig {

namespace {

using printing::TFontRec;
using printing::TPrinterEnv;

// The toolkit's font height for a size in points on a 96-dots-per-inch screen, as the
// defaults store it.
int32_t HeightOf(int32_t points) { return -((points * 96 + 36) / 72); }

int16_t Length(int value) { return static_cast<int16_t>(std::clamp(value, kLengthMin, kLengthMax)); }

void SetPrinterOf(SettingKind kind, const TPrinterEnv& printer) {
  if (kind == SettingKind::kLabel) CurEtikett.SetPrinter(printer);
  else CurRapport.SetPrinter(printer);
}

}  // namespace

std::string FontCaption(const TFontRec& font) { return font.name + " " + std::to_string(font.size); }

TFontRec ChosenFont(const TFontRec& before, const std::string& family, int points, uint8_t style,
                    bool fixedPitch) {
  TFontRec font = before;
  font.name = esmall::Cut(family, kFontNameMax);
  font.size = std::max(1, points);
  font.height = HeightOf(font.size);
  font.style = style & (TFontRec::kBold | TFontRec::kItalic | TFontRec::kUnderline | TFontRec::kStrikeOut);
  if (fixedPitch) font.pitch = TFontRec::kFixedPitch;
  else if (font.pitch == TFontRec::kFixedPitch) font.pitch = TFontRec::kDefaultPitch;
  return font;
}

void ReportUnreadablePicture(const std::string& path) {
  eerror::StatusMsg = esmall::Cut("kan ej ladda filen " + path + "\"", eerror::kMaxMessage);
}

KonfigEdit::KonfigEdit() : konfig_(Konfig), etikett_(CurEtikett), rapport_(CurRapport) {}

namespace {

// Setting n as the file holds it, read through the current buffer, which is put back as it was.
template <typename Env>
Env ReadThrough(Env& current, void (KonfigFile::*read)(int), int n) {
  const Env kept = current;
  KonfigFile file;
  file.OpenRead();
  (file.*read)(n);
  const Env stored = current;
  current = kept;
  return stored;
}

}  // namespace

void KonfigEdit::Remember(SettingKind kind, int n) {
  if (n < 1 || n > glodefs::kSettings) return;
  if (kind == SettingKind::kLabel && !labelsRead_.contains(n))
    labelsRead_[n] = ReadThrough(CurEtikett, &KonfigFile::ReadLabel, n);
  else if (kind == SettingKind::kReport && !reportsRead_.contains(n))
    reportsRead_[n] = ReadThrough(CurRapport, &KonfigFile::ReadReport, n);
}

void KonfigEdit::Load(SettingKind kind, int n) {
  Remember(kind, n);
  if (kind == SettingKind::kLabel) LoadLabelSetting(n);
  else LoadReportSetting(n);
}

void KonfigEdit::Save(SettingKind kind, int n) {
  if (n < 1 || n > glodefs::kSettings) return;
  Remember(kind, n);
  if (kind == SettingKind::kLabel) {
    SaveLabelSetting(n);
    labelsWritten_.insert(n);
  } else {
    SaveReportSetting(n);
    reportsWritten_.insert(n);
  }
}

LabelFields KonfigEdit::Label() const {
  const glodefs::TEtikettEnv::Geometry g = CurEtikett.GetGeometry();
  auto length = [](int value) { return std::clamp(value, kLengthMin, kLengthMax); };
  return {Konfig.LabelName(Konfig.CurrentLabelSetting()),
          length(g.leftMargin),
          length(g.height),
          length(g.rowPitch),
          length(g.columnPitch),
          length(g.width),
          length(g.topMargin),
          std::clamp<int>(g.perRow, kPerRowMin, kPerRowMax),
          std::clamp<int>(g.rows, kRowsMin, kRowsMax),
          std::clamp<int>(CurEtikett.Copies(), kCopiesMin, kCopiesMax)};
}

void KonfigEdit::SetLabel(const LabelFields& f) {
  glodefs::TEtikettEnv::Geometry g = CurEtikett.GetGeometry();  // keeps the value at 16
  g.leftMargin = Length(f.leftMargin);
  g.height = Length(f.height);
  g.rowPitch = Length(f.rowPitch);
  g.columnPitch = Length(f.columnPitch);
  g.width = Length(f.width);
  g.topMargin = Length(f.topMargin);
  g.perRow = static_cast<int16_t>(std::clamp(f.perRow, kPerRowMin, kPerRowMax));
  g.rows = static_cast<int16_t>(std::clamp(f.rows, kRowsMin, kRowsMax));
  CurEtikett.SetGeometry(g);
  CurEtikett.SetCopies(std::clamp(f.copies, kCopiesMin, kCopiesMax));
  Konfig.SetLabelName(Konfig.CurrentLabelSetting(), esmall::Cut(f.name, kSettingNameMax));
}

ReportFields KonfigEdit::Report() const {
  ReportFields f{Konfig.ReportName(Konfig.CurrentReportSetting()), CurRapport.Footer(),
                 std::clamp<int>(CurRapport.Printer().Columns(), kColumnsMin, kColumnsMax), {}};
  for (int k = 0; k < glodefs::TRapportEnv::kPictures; ++k) {
    const glodefs::TRapportEnv::Picture picture = CurRapport.GetPicture(k);
    f.pictures[k] = {picture.path, picture.active, std::clamp<int>(picture.sizeDivisor, kDivisorMin, kDivisorMax)};
  }
  return f;
}

void KonfigEdit::SetReport(const ReportFields& f) {
  Konfig.SetReportName(Konfig.CurrentReportSetting(), esmall::Cut(f.name, kSettingNameMax));
  CurRapport.SetFooter(esmall::Cut(f.footer, kFooterMax));
  TPrinterEnv printer = CurRapport.Printer();
  printer.SetColumns(std::clamp(f.columns, kColumnsMin, kColumnsMax));
  CurRapport.SetPrinter(printer);
  for (int k = 0; k < glodefs::TRapportEnv::kPictures; ++k) {
    glodefs::TRapportEnv::Picture picture = CurRapport.GetPicture(k);
    picture.active = f.pictures[k].active;
    picture.sizeDivisor = std::clamp(f.pictures[k].divisor, kDivisorMin, kDivisorMax);
    CurRapport.SetPicture(k, picture);
  }
}

TPrinterEnv KonfigEdit::Printer(SettingKind kind) const {
  return kind == SettingKind::kLabel ? CurEtikett.Printer() : CurRapport.Printer();
}

void KonfigEdit::SetFont(SettingKind kind, printing::FontSlot slot, const TFontRec& font) {
  TPrinterEnv printer = Printer(kind);
  printer.SetFont(slot, font);
  SetPrinterOf(kind, printer);
}

void KonfigEdit::SetPicturePath(int k, const std::string& path) {
  glodefs::TRapportEnv::Picture picture = CurRapport.GetPicture(k);
  picture.path = esmall::Cut(path, glodefs::kMaxPath);
  CurRapport.SetPicture(k, picture);
}

printing::Printer KonfigEdit::BeginPrinterSetup(SettingKind kind) {
  const TPrinterEnv stored = Printer(kind);
  if (!stored.Valid() || !printing::SelectStoredPrinter(stored)) printing::SelectStoredPrinter(DefPrinter);
  return printing::CurrentPrinterSystem().Selected();
}

bool KonfigEdit::EndPrinterSetup(SettingKind kind, const printing::Printer& chosen) {
  printing::PrinterSystem& system = printing::CurrentPrinterSystem();
  if (!system.Select(chosen)) {
    eerror::StatusMsg = A("Kan ej välja skrivaren ") + "\"" + chosen.device + "\"";
    return false;
  }
  TPrinterEnv printer = Printer(kind);
  printing::gettheprinter(printer);
  printer.SetDeviceNames(chosen.driver, chosen.device, chosen.port,
                         chosen.device == printing::DefaultPrinter(system).device);
  SetPrinterOf(kind, printer);
  return true;
}

void KonfigEdit::Accept(int page, const std::string& computerName) {
  Konfig.SetDialogPage(page);
  Konfig.SetComputerName(esmall::Cut(computerName, kComputerNameMax));
}

void KonfigEdit::Cancel() {
  for (int n : labelsWritten_) {
    CurEtikett = labelsRead_[n];
    SaveLabelSetting(n);
  }
  for (int n : reportsWritten_) {
    CurRapport = reportsRead_[n];
    SaveReportSetting(n);
  }
  labelsWritten_.clear();
  reportsWritten_.clear();
  Konfig = konfig_;
  CurEtikett = etikett_;
  CurRapport = rapport_;
}

}  // namespace ekonfig
