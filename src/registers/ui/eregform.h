// TERegFormDlg ("register"): the register window over a register's TERegForm. The sorted
// list ERegListBox in a bold fixed-pitch font with extended multiple selection, the buttons
// "&Ny", "&Ändra" (and a double-click on a line), "&Radera", "S&kriv" and "&Stäng", and a
// status line: the line and selection counts after a click, StatusMsg when a command
// changed it. The window passes the user's selection into the register, runs one command
// and shows the list as the register then has it.
#pragma once

#include <QDialog>
#include <QString>

#include <string>

#include "registers/eregform.h"

class QListWidget;
class QPushButton;
class QStatusBar;

namespace eregui {

class TERegFormDlg : public QDialog {
 public:
  // caption: the register's ("kontoregister"); a print is titled with the owner window's
  // caption, ": " and this caption.
  TERegFormDlg(ereg::TERegForm& reg, const QString& caption, QWidget* parent = nullptr);

  QListWidget* List() const { return list_; }
  QString Status() const;
  QPushButton* Button(const char* name) const;

  void NewEntry();
  void ChangeEntry();
  void EraseEntries();
  void PrintEntries();

 protected:
  // Prints the selected lines: a report on the report setting's printer, titled with the
  // owner window's caption, ": " and this window's. A register printing otherwise overrides it.
  virtual void PrintSelection();

 private:
  void TakeSelection();
  void ShowList();
  // StatusMsg on the status line when it changed since it was last shown.
  void ShowStatusMsg();

  ereg::TERegForm& reg_;
  QListWidget* list_ = nullptr;
  QStatusBar* status_ = nullptr;
  std::string lastShown_;
  bool showing_ = false;  // the window sets the selection; not the user
};

}  // namespace eregui
