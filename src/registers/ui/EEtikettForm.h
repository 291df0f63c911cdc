// The label register's windows over the rules of TEEtikettReg: the register TEEtikettRegForm
// ("etikettregister", the register window listing the labels by their first lines, printing
// the selected ones through the label printer) and the label dialog TEtikettDlg ("etikett").
//
// The dialog edits one label: the memo etikettMemo in the label setting's "mellan" font, the
// picture box Image1 (a click chooses a picture file; the label then reads BITMAP and the
// path), "&Text" back to the text the label had before its picture, the copies box, "S&kriv"
// (the memo printed that many times on the label setting's printer), OK and "Avbryt", and the
// status line StatusBar1. OK takes the memo only when TakeEtikettText does; a refusal is
// shown with a beep and the dialog stays.
#pragma once

#include <QDialog>
#include <QString>

#include <optional>
#include <string>

#include "registers/eetikettreg32.h"
#include "registers/ui/eregform.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QStatusBar;

namespace eregui {

class TEtikettDlg : public QDialog {
 public:
  // text: the label (Windows-1252), replaced on OK.
  TEtikettDlg(std::string& text, QWidget* parent = nullptr);

  void accept() override;

  // The picture file path made the label's picture, when TakeEtikettText allows it; else
  // its refusal on the status line with a beep.
  void TakePicture(const QString& path);
  // The label as it was before its picture.
  void BackToText();
  // "S&kriv".
  void PrintLabel();

  QPlainTextEdit* Memo() const { return memo_; }
  QLabel* Picture() const { return picture_; }
  QSpinBox* Copies() const { return copies_; }
  QPushButton* Button(const char* name) const;
  QString Status() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;  // a click on the picture box

 private:
  // The memo as the label text; false with the refusal shown.
  bool Taken(std::string& text);
  // The open-picture dialog until a picture file is chosen; empty when cancelled.
  QString ChoosePictureFile();
  // The picture box shows the picture the memo's first line names (empty when none); false
  // when that picture cannot be read.
  bool ShowPicture();
  // message on the status line; Refuse with a beep.
  void Say(const std::string& message);
  void Refuse(const std::string& message);

  std::string& text_;
  QString textBefore_;  // the memo before a picture was chosen
  std::optional<std::string> shownPath_;  // the picture the box was last filled for
  bool pictureRead_ = true;
  QPlainTextEdit* memo_ = nullptr;
  QLabel* picture_ = nullptr;
  QPushButton* textButton_ = nullptr;
  QSpinBox* copies_ = nullptr;
  QStatusBar* status_ = nullptr;
};

// The label dialog of the label register, modal over its owner.
class QtEtikettDialogs : public ereg::EtikettDialogs {
 public:
  void SetOwner(QWidget* owner) { owner_ = owner; }
  bool RunEtikettDialog(std::string& text) override;

 private:
  QWidget* owner_ = nullptr;
};

// The register and its dialogs, made before the window that lists the register.
struct EtikettRegParts {
  explicit EtikettRegParts(isam::FileBlock* fb) : reg(fb, dialogs) {}
  QtEtikettDialogs dialogs;
  ereg::TEEtikettReg reg;
};

class TEEtikettRegForm : private EtikettRegParts, public TERegFormDlg {
 public:
  // fb: the open label file.
  explicit TEEtikettRegForm(isam::FileBlock* fb, QWidget* parent = nullptr);

  ereg::TEEtikettReg& Register() { return reg; }

 protected:
  // The selected labels through the label printer, on the label setting's printer.
  void PrintSelection() override;
};

// The menu entry "etikettregister": the label file of the data directory opened, the
// register shown modally, the file closed. When the file cannot be opened nor created,
// "fel med Etikettfilerna" is on the status line and nothing is shown.
void ShowEtikettRegister(QWidget* parent);

}  // namespace eregui
