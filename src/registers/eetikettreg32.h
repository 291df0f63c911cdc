// The label register (the logic of TEEtikettRegForm): the file "Etikett" of 248-byte records
// (status word, then the text length-prefixed, at most 240 characters, lines separated by
// CR LF), keyed by the text's first line. A label stored empty becomes "XXX". At most 299
// labels. Its dialog is the caller's: the window's TEtikettDlg, or bfnolk's options.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
// it is missing, or is not a BMP, PNG or JPEG file (its name and its first bytes say).
std::string EtikettPictureFault(const std::string& path);

// The label text of lines typed in UTF-8, joined by CR LF, as the dialog and bfnolk take
// it. False, with text unchanged and the reason in message, when a character has no place
// in Windows-1252, the text is longer than 240 characters, or its first line names a
// picture (BITMAP) that EtikettPictureFault refuses.
bool TakeEtikettText(const std::vector<std::string>& lines, std::string& text, std::string& message);

// The dialog's "S&kriv": text placed n times (each the setting's copies) between the
// printer's Begin with "etiketter" and its End, the progress shown as i of n. False when
// nothing was printed (n below 1, or the job did not open).
bool PrintLabelTimes(LabelPrinter& printer, const std::string& text, int n, esmall::WindowHandle owner);

// The label file, open while the register is kept: opened in the data directory (created
// when it cannot be opened) and closed when this goes. When it can be neither,
// "fel med Etikettfilerna" is on the status line and Open() is null.
class EtikettFile {
 public:
  explicit EtikettFile(const std::string& dataDir);
  ~EtikettFile();
  EtikettFile(const EtikettFile&) = delete;
  EtikettFile& operator=(const EtikettFile&) = delete;

  isam::FileBlock* Open() const { return fb_; }

 private:
  isam::FileBlock* fb_ = nullptr;
};

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
