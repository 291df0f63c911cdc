// The giro form dialogs TplusgiroDlg, TpostgiroDlg and TbankgiroDlg ("plusgiroblankett"...):
// one form of the register edited over the rules of TGiroEdit. The kinds differ only in
// their field captions and in whether the third number, printed on the postgiro form
// alone, is shown; so one dialog, TGiroDlg, is built from the kind's description, and the
// three names only choose it. The controls: the message Memo2 and the sender Memo1
// (centred) without word wrap, the payee Edit3, the littera Edit5, the account numbers
// Edit2 and Edit4, the third number Edit1, the amount SpinEdit2 (0..9999, step 5), the
// copies SpinEdit1 (1..99) in the group "kopior", "ok", "avbryt", "utskrift" and the status
// line StatusBar1. The names and numbers are in the label setting's "stor" font, the memos
// and the second account number in its "mellan" font.
//
// A field holds no more than its place in the record: a line field takes no more
// characters (the status line says why), a memo typed beyond its place is said to be too
// long at once and refused on "ok" and "utskrift", as is a character Windows-1252 lacks.
#pragma once

#include <QDialog>

#include <memory>

#include "registers/egiroreg32.h"

class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QStatusBar;

namespace eregui {

// What sets one kind's dialog apart.
struct GiroDlgKind {
  const char* objectName;  // "plusgiroDlg"
  const char* account1;    // the captions of the account fields
  const char* account2;
  const char* number3;     // the third number's caption; nullptr when the form has no box for it
};

class TGiroDlg : public QDialog {
 public:
  TGiroDlg(ereg::TGiroEdit& edit, const GiroDlgKind& kind, QWidget* parent = nullptr);

  void accept() override;  // "ok": the fields taken, then the rules
  void Print();            // "utskrift"

  QLineEdit* Edit(ereg::GiroField field) const;  // a line field, nullptr for the memos and amount
  QPlainTextEdit* Memo(ereg::GiroField field) const;
  QSpinBox* Amount() const { return amount_; }
  QSpinBox* Copies() const { return copies_; }
  QString Status() const;

 private:
  // The controls into the edit's form; false (the field refused) when one cannot be stored.
  bool TakeFields();
  void Refuse(QWidget* field, const std::string& message);
  void CheckMemo(ereg::GiroField field);

  ereg::TGiroEdit& edit_;
  QLineEdit* edits_[8] = {};  // by GiroField
  QPlainTextEdit* message_ = nullptr;
  QPlainTextEdit* sender_ = nullptr;
  QSpinBox* amount_ = nullptr;
  QSpinBox* copies_ = nullptr;
  QStatusBar* status_ = nullptr;
};

class TplusgiroDlg : public TGiroDlg {
 public:
  explicit TplusgiroDlg(ereg::TGiroEdit& edit, QWidget* parent = nullptr);
};

class TpostgiroDlg : public TGiroDlg {
 public:
  explicit TpostgiroDlg(ereg::TGiroEdit& edit, QWidget* parent = nullptr);
};

class TbankgiroDlg : public TGiroDlg {
 public:
  explicit TbankgiroDlg(ereg::TGiroEdit& edit, QWidget* parent = nullptr);
};

// The dialog of the edit's kind: kinds 2 and 4, printed from bfnolk only, are edited in the
// plusgiro and the bankgiro dialog, whose forms theirs resemble.
std::unique_ptr<TGiroDlg> MakeGiroDlg(ereg::TGiroEdit& edit, QWidget* parent);

// The form dialog of a giro register, modal over its owner.
class QtGiroDialogs : public ereg::GiroDialogs {
 public:
  void SetOwner(QWidget* owner) { owner_ = owner; }
  bool RunGiroDialog(ereg::TGiroEdit& edit) override;

 private:
  QWidget* owner_ = nullptr;
};

}  // namespace eregui
