// One visit of the settings dialog: what its two tabs show and edit, and how OK and Cancel
// end it. Tabs work on the current label and report buffers of ekonfig and on the file
// directly (leaving a tab writes its setting before the next is read); the visit remembers
// the buffers and the main record as they were when it began, and each setting as the file
// held it when the visit first read it, so Cancel can put all of it back.
//
// Every value handed in is brought inside the dialog's limits before it is stored, and
// every value read from a damaged file is brought inside them before it is shown.
#pragma once

#include "printing/PrinterEnv.h"
#include "printing/PrinterSystem.h"
#include "shell/GloDefs.h"

#include <array>
#include <map>
#include <set>
#include <string>

namespace ekonfig {

// Limits of the dialog's fields (lengths in tenths of a millimetre).
constexpr size_t kComputerNameMax = 31;
constexpr size_t kSettingNameMax = 40;
constexpr size_t kFooterMax = 64;
constexpr size_t kPrinterNameShown = 63;
constexpr size_t kFontNameMax = 80;
constexpr int kLengthMin = -999, kLengthMax = 9999;
constexpr int kPerRowMin = 1, kPerRowMax = 9;
constexpr int kRowsMin = 1, kRowsMax = 99;
constexpr int kCopiesMin = 1, kCopiesMax = 99;
// A page divides into at least one column; a picture gets 1/n of the width, n at least 1.
constexpr int kColumnsMin = 1, kColumnsMax = 9;
constexpr int kDivisorMin = 1, kDivisorMax = 99;

enum class SettingKind { kReport, kLabel };

struct LabelFields {
  std::string name;
  int leftMargin, height, rowPitch, columnPitch, width, topMargin, perRow, rows, copies;
};

struct PictureFields {
  std::string path;  // shown only; SetPicturePath changes it
  bool active;
  int divisor;
};

struct ReportFields {
  std::string name;
  std::string footer;
  int columns;
  std::array<PictureFields, glodefs::TRapportEnv::kPictures> pictures;
};

// A font display: the font's name and size in points.
std::string FontCaption(const printing::TFontRec& font);

// The font record after the font dialog chose family, points and style (TFontRec::Style
// bits); character set and colour stay as they were.
printing::TFontRec ChosenFont(const printing::TFontRec& before, const std::string& family, int points,
                              uint8_t style, bool fixedPitch);

// StatusMsg for a picture file that is there but cannot be read.
void ReportUnreadablePicture(const std::string& path);

class KonfigEdit {
 public:
  KonfigEdit();

  // Reads setting n of kind from the file into the current buffer and makes it current.
  void Load(SettingKind kind, int n);
  // Writes the current buffer as setting n of kind at once.
  void Save(SettingKind kind, int n);

  // The current buffers as the tabs show them, with the current settings' names.
  LabelFields Label() const;
  void SetLabel(const LabelFields& fields);
  ReportFields Report() const;
  void SetReport(const ReportFields& fields);

  printing::TPrinterEnv Printer(SettingKind kind) const;
  void SetFont(SettingKind kind, printing::FontSlot slot, const printing::TFontRec& font);
  // The path of report picture k, at most 1024 characters; empty removes the picture.
  void SetPicturePath(int k, const std::string& path);

  // "skrivare": selects the setting's stored printer, or the default printer when the
  // system no longer has it, and returns it for the set-up dialog to start with.
  printing::Printer BeginPrinterSetup(SettingKind kind);
  // The printer the set-up dialog ended with: selected, and stored into the setting's
  // block with its device names, valid. False when the system refused it: nothing is
  // stored and StatusMsg names the printer.
  bool EndPrinterSetup(SettingKind kind, const printing::Printer& chosen);

  // OK: the shown page (1-based) and the computer name into the main record.
  void Accept(int page, const std::string& computerName);
  // Cancel: every setting the visit wrote goes back into the file as it was, and the
  // buffers and main record are those of the start.
  void Cancel();

 private:
  // Setting n as the file holds it, remembered the first time the visit touches it.
  void Remember(SettingKind kind, int n);

  glodefs::TKonfigRec konfig_;
  glodefs::TEtikettEnv etikett_;
  glodefs::TRapportEnv rapport_;
  std::map<int, glodefs::TEtikettEnv> labelsRead_;
  std::map<int, glodefs::TRapportEnv> reportsRead_;
  std::set<int> labelsWritten_, reportsWritten_;
};

}  // namespace ekonfig
