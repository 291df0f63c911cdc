// TInputIForm ("bokföring"): the info form of a bookkeeping, over the rules of TInputIEdit.
// The name editName ("företag/namn"), the period frDatum and toDatum (masked yyyy-mm-dd),
// the eight read-only sum group fields etSummaGrupp1..8 with their buttons Button1..8
// (the accounts of the group chosen in the account list), OK and Cancel, and a status line
// on which a refused field gets its message, with a beep and the focus back.
#pragma once

#include <QDialog>

#include <array>

#include "bookkeeping/BFdefs.h"
#include "bookkeeping_ui/BfInfoForm_rules.h"

class QLineEdit;
class QPushButton;
class QStatusBar;

namespace bfui {

class TInputIForm : public QDialog {
 public:
  TInputIForm(bf::TInputIEdit& edit, QWidget* parent = nullptr);

  void accept() override;  // OK: saved through the rules, or the refused field again
  void reject() override;  // Cancel

  QLineEdit* Field(bf::InfoField field) const;
  QLineEdit* GroupField(int g) const { return groups_.at(static_cast<size_t>(g)); }
  QPushButton* GroupButton(int g) const { return buttons_.at(static_cast<size_t>(g)); }
  QString Status() const;

 private:
  void ChooseGroup(int g);
  // The message, a beep, and the field focused with its text selected.
  void Refuse(bf::InfoField field, const std::string& message);
  void ShowGroup(int g);

  bf::TInputIEdit& edit_;
  QLineEdit* name_ = nullptr;
  QLineEdit* from_ = nullptr;
  QLineEdit* to_ = nullptr;
  std::array<QLineEdit*, bf::kGroupCount> groups_{};  // 1..8
  std::array<QPushButton*, bf::kGroupCount> buttons_{};
  QStatusBar* status_ = nullptr;
};

}  // namespace bfui
