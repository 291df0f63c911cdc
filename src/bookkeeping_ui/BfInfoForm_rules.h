// The rules of the bookkeeping info form TInputIForm ("bokföring"), without the window: the
// name and period it takes, the sum groups chosen by list, and what OK and Cancel do to the
// database. The window and bfnolk's new and change both go through them.
//
// The form edits a copy of the list record (its groups change as the user chooses them);
// OK takes the typed fields, and only when every one is good does the list record buffer
// receive name, period and groups and the bookkeeping get saved (a new one with its files).
#pragma once

#include <string>

#include "bookkeeping/BFBas.h"
#include "registers/epickForm32.h"

namespace bf {

enum class InfoField { kName, kFromDate, kToDate };

// The fields' texts as typed (UTF-8).
struct InfoTexts {
  std::string name;      // editName
  std::string fromDate;  // frDatum
  std::string toDate;    // toDatum
};

// The typed name and period into record: a name the field holds (not empty), two dates that
// exist (yyyy-mm-dd, kept as typed), the end not before the start. False with the field and
// the message (Windows-1252), record unchanged.
bool TakeBookkeepingInfo(const InfoTexts& typed, BfDataBasRecord& record, InfoField& field, std::string& message);

// The message for a field that takes no more of what is typed: a name too long, a date
// typed with other than digits.
std::string RejectedText(InfoField field);

class TInputIEdit {
 public:
  // For a new bookkeeping the open one is closed and the list record buffer made fresh;
  // Started() is false when a new one cannot be begun (the status line says why), and then
  // no form is shown.
  TInputIEdit(BfDatabase& db, bool isNew);

  bool Started() const { return started_; }
  bool IsNew() const { return isNew_; }
  InfoTexts Shown() const;
  // The form's copy of the list record, its groups as chosen so far.
  BfDataBasRecord& Record() { return record_; }

  // Group button g (1..8): the accounts of group g chosen in the account list.
  void ChooseGroup(ereg::PickWindows& windows, int g);

  // OK: true when the fields were taken and the bookkeeping saved; otherwise the field to
  // go back to and why (the list record buffer as it was).
  bool Ok(const InfoTexts& typed, InfoField& field, std::string& message);
  // Cancel: the remembered bookkeeping selected again when none is open.
  void Cancel();

 private:
  BfDatabase& db_;
  bool isNew_;
  bool started_;
  BfDataBasRecord record_;
};

}  // namespace bf
