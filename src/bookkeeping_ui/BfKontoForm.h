// TkontoDlg ("konto"): the account dialog in which one account is added or changed, over
// the rules of TkontoEdit. The fields kontonummer (enabled only for a new account),
// kontotext, secrettext, debetkredit, edbudget and edinsaldo, the read-only eddebet,
// edkredit and edutsaldo, "ok" and "avbryt", and the status line StatusBar1 with the hints
// and the messages. A refused field gets its message with a beep, and the focus back with
// its text selected; Cancel, Escape and the close box put the account buffer back.
#pragma once

#include <QDialog>

#include "bookkeeping_ui/BfKontoReg_rules.h"

class QFormLayout;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace bfui {

class NumberSpin;

class TkontoDlg : public QDialog {
 public:
  TkontoDlg(bf::TkontoEdit& edit, QWidget* parent = nullptr);

  void accept() override;  // OK: the rules first
  void reject() override;  // the buffer as it was

  QLineEdit* Field(bf::KontoField field) const;
  QString Status() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;  // a field's hint when it gets the focus

 private:
  QLineEdit* AddEdit(const char* name, const char* caption, const char* hint, int maxLength);
  void CheckTyped(bf::KontoField field);
  void Refuse(bf::KontoField field, const std::string& message);
  bf::KontoTexts Typed() const;

  bf::TkontoEdit& edit_;
  NumberSpin* number_ = nullptr;
  QLineEdit* name_ = nullptr;
  QLineEdit* reference_ = nullptr;
  QLineEdit* sign_ = nullptr;
  QLineEdit* budget_ = nullptr;
  QLineEdit* opening_ = nullptr;
  QStatusBar* status_ = nullptr;
  QFormLayout* fields_ = nullptr;
};

// The account dialog of the account register, modal over its owner.
class QtKontoDialogs : public bf::KontoDialogs {
 public:
  void SetOwner(QWidget* owner) { owner_ = owner; }
  bool RunKontoDialog(bf::TkontoEdit& edit) override;

 private:
  QWidget* owner_ = nullptr;
};

}  // namespace bfui
