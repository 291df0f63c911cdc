// The register frame (TERegForm, the logic of the register window TERegFormDlg): a sorted
// list of one line per record, each with the record number it stands for (Ttherec), and
// the commands new, change, delete and print on the selected lines. A concrete register
// derives from it and supplies the record access, the list line and its edit dialog through
// the operations below (in the order of the original's slots); the window only shows the
// list and passes the user's selection in.
//
// Invariants: the list mirrors the register in key order after every command (a line whose
// record could not be deleted stays, deselected); a change is made inside the fixed dialog
// frame, so a cancelled change leaves the record, its keys and its line as they were.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "printing/ewrite32.h"
#include "registers/eregform_select.h"
#include "shell/ESmall_HandleStack.h"
#include "shell/GloDefs.h"

namespace ereg {

// The record number a list line stands for.
struct Ttherec {
  int32_t recNo = 0;
};

struct TRegLine {
  std::string text;  // Windows-1252
  Ttherec rec;
  bool selected = false;
};

class TERegForm {
 public:
  virtual ~TERegForm() = default;
  TERegForm() = default;
  TERegForm(const TERegForm&) = delete;
  TERegForm& operator=(const TERegForm&) = delete;

  // The list from the register: every record in key order, one line each.
  void Fill();

  const std::vector<TRegLine>& Lines() const { return lines_; }
  int Count() const { return static_cast<int>(lines_.size()); }
  int SelectedCount() const;
  // The line with the focus, -1 when none.
  int Current() const { return current_; }
  void SetCurrent(int i);
  void SetSelected(int i, bool on);
  // After a click on the list: the line count in four places, " [", the selected count in
  // four places, "]".
  std::string ClickStatus() const;

  // "&Ny" (isNew) and "&Ändra" (the first selected line, else the current one). A full
  // register says "maxantalet uppnått kan ej addera registerpost!" with a beep.
  virtual void EditEntry(bool isNew);
  // "&Radera": every selected line whose record may go is deleted with its record; the
  // others stay, deselected.
  virtual void EraseEntry();
  // "S&kriv": the selected lines printed on job, under title, with the report setting,
  // the print window owned by owner. False when nothing was printed.
  bool PrintSelected(printing::PrintJob& job, const std::string& title, const glodefs::TRapportEnv& setting,
                     esmall::WindowHandle owner);

 protected:
  // The list line of the record in the register's buffer.
  virtual void FormRegStr(std::string& line) = 0;
  // True when no record may be added; a register that does not say refuses every one.
  virtual bool CheckBeforeAdding() { return true; }
  // Opens the report the selected lines are printed in (the job of PrintSelected).
  virtual bool StartPrint();
  virtual void StopPrint();
  virtual void FormPrintStr(std::string& line) { FormRegStr(line); }
  // Prints line number i of n, its record in the buffer.
  virtual void DoThePrint(int i, int n);
  // True when the record in the buffer may be deleted.
  virtual bool CheckBeforeDeleting() { return true; }
  // The register's edit dialog for a new record (index -1) or the record at line index;
  // a register runs it inside DialogFrame.
  virtual void DoTheDialog(bool isNew, int index, int32_t recNo) = 0;
  // Reads the register (FixtOp); found: a record was read into the buffer.
  virtual void FixtSelect(FixtOp op, const std::string& key, int32_t& recNo, bool& found, bool& atEnd) = 0;
  virtual bool PutRecSelect() = 0;
  // Stores the record in the buffer and its keys: added when isNew (recNo receives its
  // number), else rewritten; ok is the dialog's result. False when it could not be stored.
  virtual bool AddRecSelect(bool isNew, int32_t& recNo, bool ok) = 0;
  // Removes the keys of the record (found by op, key or recNo), and with deleteRecord the
  // record too. False when nothing was removed.
  virtual bool DelRecSelect(FixtOp op, const std::string& key, int32_t recNo, bool deleteRecord) = 0;

  // The frame every register's DoTheDialog runs its dialog in: for a change the record's
  // keys are removed first (so that the dialog's uniqueness check does not find the record
  // itself); then the dialog (true: OK); then, for a change and for a new record confirmed,
  // the record and its keys are stored again; on OK the line follows the record, becomes
  // the current line and is selected (for a new record the only one). True when the dialog
  // was confirmed and stored.
  bool DialogFrame(bool isNew, int index, int32_t recNo, const std::function<bool()>& dialog);

  // The job, title, setting and owner of the print under way (StartPrint to StopPrint).
  struct PrintRun {
    printing::PrintJob* job = nullptr;
    std::string title;
    glodefs::TRapportEnv setting;
    esmall::WindowHandle owner = 0;
  };
  const PrintRun& Printing() const { return print_; }

 private:
  // Inserts a line where the sorted list has it; its index.
  int InsertSorted(TRegLine line);

  std::vector<TRegLine> lines_;
  int current_ = -1;
  PrintRun print_;
};

}  // namespace ereg
