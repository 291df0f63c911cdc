// TbfverifikDlg ("inmating verifikation"): the dialog in which a user enters one
// verification row by row, or plays a template. The rules are bf::VerificationEntry's; the
// dialog hands each event of its controls to the entry and shows the entry's fields, focus
// and status line again. Enter in the four edits moves the focus by the key table and never
// reaches a button; elsewhere it presses only the focused button, so no Enter meant for a row
// saves the verification. Esc is Cancel, which takes every row back. Every button has its
// Alt letter: o&k, &OK, &Cancel, k&plan, &spela.
#pragma once

#include <QDialog>

#include <optional>
#include <string>

#include "bookkeeping/bfverform_entry.h"

class QLineEdit;
class QPushButton;
class QStatusBar;
class QTableWidget;

namespace bfui {

class TbfverifikDlg : public QDialog {
 public:
  static constexpr int kGridRows = 100;  // every row a verification holds

  // A fresh verification of the open bookkeeping s; templates are looked for in dataDir.
  // scale: the window scale in use, in percent.
  TbfverifikDlg(bf::BfShared& s, std::string dataDir, int scale, QWidget* parent = nullptr);

  // okBtn: saves when the verification balances, and closes.
  void accept() override;
  // cancelBtn, Esc: takes every row back and closes.
  void reject() override;

  const bf::VerificationEntry& Entry() const { return entry_; }
  QTableWidget* Grid() const { return grid_; }
  QString Status() const;

  void verOKClick();
  void kplanBtnClick();
  void playverBtnClick();

 protected:
  // The account pick list "visar konton", over the dialog; the chosen account's record
  // number, or nothing. Apart so that tests can answer it.
  virtual std::optional<int32_t> ChooseAccount();

  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLineEdit* AddEdit(const char* name, int width, bool readOnly);
  QLineEdit* EditOf(bf::EntryField field) const;
  void ShowEntry();
  void Focus(bf::EntryField field, bool select);
  bool KeyPressed(QLineEdit* edit, int key, bool keypad);
  void NameEdited(const QString& text);
  void kontobetDoubleClick();

  bf::BfShared& s_;
  std::string dataDir_;
  int scale_;
  bf::VerificationEntry entry_;
  QLineEdit* edverNr_ = nullptr;
  QLineEdit* edverdatum_ = nullptr;
  QLineEdit* vernamn_ = nullptr;
  QLineEdit* edverbalans_ = nullptr;
  QLineEdit* kontobet_ = nullptr;
  QLineEdit* kontotext_ = nullptr;
  QLineEdit* edkontosaldo_ = nullptr;
  QLineEdit* eddebkred_ = nullptr;
  QLineEdit* edversumma_ = nullptr;
  QPushButton* verOK_ = nullptr;
  QTableWidget* grid_ = nullptr;
  QStatusBar* status_ = nullptr;
  int shownRows_ = 0;
};

}  // namespace bfui
