// The label register (the logic of TEEtikettRegForm): the file "Etikett" of 248-byte records
// (status word, then the text length-prefixed, at most 240 characters, lines separated by
// CR LF), keyed by the text's first line. A label stored empty becomes "XXX". At most 299
// labels. Its dialog is the caller's: the window's TEtikettDlg, or bfnolk's options.
#pragma once

#include <cstdint>
#include <string>

#include "registers/eetikettprint32.h"
#include "registers/ekeyedreg32.h"

namespace ereg {

constexpr int32_t kEtikettRecordSize = 248;
constexpr size_t kEtikettTextAt = 4;
constexpr int kMaxLabels = 299;

// The file's path in the data directory.
std::string EtikettFileName(const std::string& dataDir);
// The key of a label: its first line, at most 30 characters.
std::string EtikettKey(const std::string& text);
// Why text cannot be a label ("" when it can): longer than 240 characters.
std::string EtikettTextFault(const std::string& text);

// Why path cannot be a label's picture ("" when it can): "kan ej ladda filen "path"" when
// it is missing or not a picture file the program reads.
std::string EtikettPictureFault(const std::string& path);

// The label dialog, modal: edits text; true on OK.
class EtikettDialogs {
 public:
  virtual ~EtikettDialogs() = default;
  virtual bool RunEtikettDialog(std::string& text) = 0;
};

class TEEtikettReg : public TKeyedFileReg {
 public:
  TEEtikettReg(isam::FileBlock* fb, EtikettDialogs& dialogs);

  std::string Text() const;
  void SetText(const std::string& text);
  std::string RecordKey() const override;

  // Prints the selected labels (each with the setting's copies) on printer, between its
  // Begin with "etiketter" and its End; false when the job did not open.
  bool PrintSelectedLabels(LabelPrinter& printer, esmall::WindowHandle owner);

 protected:
  void FormRegStr(std::string& line) override { line = RecordKey(); }
  bool CheckBeforeAdding() override;
  void DoTheDialog(bool isNew, int index, int32_t recNo) override;
  void BeforeStore() override;

 private:
  EtikettDialogs& dialogs_;
};

}  // namespace ereg
