// TEPickForm: the pick window of a pick list. It shows a TPickWindowState: the list
// EPickListBox (multiple or single choice), OK, "&Alla" (multiple choice only) and
// "Avbryt", and a status line with the selected and the listed count. Every rule (what a
// click, "&Alla" or a double-click does, the status text) is the state's; the window copies
// the selection into it and shows the result.
#pragma once

#include <QDialog>

#include "registers/epickForm32.h"

class QListWidget;
class QPushButton;
class QStatusBar;

namespace eregui {

class TEPickForm : public QDialog {
 public:
  TEPickForm(ereg::TPickWindowState& state, QWidget* parent = nullptr);

  QListWidget* List() const { return list_; }
  QPushButton* AllButton() const { return all_; }
  QString Status() const;

 private:
  void TakeSelection();
  void ShowState();
  void PressAll();
  void DoubleClicked();

  ereg::TPickWindowState& state_;
  QListWidget* list_ = nullptr;
  QPushButton* all_ = nullptr;
  QStatusBar* status_ = nullptr;
  bool showing_ = false;  // the window sets the selection; not the user
};

// The pick windows of the program: TEPickForm, modal over owner.
class QtPickWindows : public ereg::PickWindows {
 public:
  explicit QtPickWindows(QWidget* owner) : owner_(owner) {}
  bool ShowPick(ereg::TPickWindowState& state) override;

 private:
  QWidget* owner_;
};

}  // namespace eregui
