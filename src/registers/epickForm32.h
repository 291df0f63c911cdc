// The pick list (TEPick): the records of a register read through a filter into entries (a
// line and a record number), shown in a pick window for a single or a multiple choice, and
// the answer which records were picked. TPickWindowState is what the pick window shows and
// what a user does in it, so that its rules hold in every face (the Qt window, tests).
//
// Invariants: before the window and after a cancel the entries are every record read, a
// negative record number marking one that starts selected; after a confirmed pick they are
// the picked ones in the window's list order, each once, with positive numbers. A list with
// no entries shows no window. Lines hold at most kLineCapacity characters.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "registers/eregform_select.h"

namespace ereg {

struct TPickEntry {
  std::string line;  // Windows-1252
  int32_t recNo = 0;
};

// The pick window's list, its selection and the "&Alla" toggle.
class TPickWindowState {
 public:
  // The lines in the order read; with sorted they are shown sorted. selected: per line.
  TPickWindowState(std::string caption, bool multi, bool sorted, const std::vector<std::string>& lines,
                   const std::vector<bool>& selected);

  // The caption; "välj" when the pick list has none.
  const std::string& Caption() const { return caption_; }
  bool Multi() const { return multi_; }
  int Count() const { return static_cast<int>(lines_.size()); }
  // Line i in the window's order.
  const std::string& Line(int i) const { return lines_.at(static_cast<size_t>(i)); }
  bool Selected(int i) const { return selected_.at(static_cast<size_t>(i)); }
  int SelectedCount() const;

  // The user selects or deselects line i; with single choice every other line is deselected.
  void SetSelected(int i, bool on);
  // "&Alla": every line selected, or none, in turn.
  void PressAll();
  // The button's caption: "&Alla" while the next press selects all, else "&Ingen".
  std::string AllCaption() const;
  bool AllEnabled() const { return multi_; }
  // A double-click ends a single choice with OK; a multiple choice goes on.
  bool DoubleClickPicks() const { return !multi_; }
  // The selected count in three places (left out when none), " [", the line count, "]".
  std::string Status() const;

 private:
  std::string caption_;
  bool multi_;
  std::vector<std::string> lines_;
  std::vector<bool> selected_;
  bool selectsAll_ = true;
};

// The window side: shows the pick window modally.
class PickWindows {
 public:
  virtual ~PickWindows() = default;
  // True when the window ended with OK; state then holds the user's selection.
  virtual bool ShowPick(TPickWindowState& state) = 0;
};

class TEPick {
 public:
  static constexpr size_t kLineCapacity = 255;

  // owner shows the window; preselected: a record number whose line starts selected (0:
  // none).
  TEPick(PickWindows& owner, std::string caption, int32_t preselected, bool multi, bool sorted);
  virtual ~TEPick() = default;
  TEPick(const TEPick&) = delete;
  TEPick& operator=(const TEPick&) = delete;

  // Reads the entries and shows the window: what constructing the pick list does, apart
  // from the constructor so that the operations a pick list overrides take part.
  void Run();

  // The window ended with OK (perhaps with nothing selected).
  bool Picked() const { return picked_; }
  // The window ended with OK and at least one entry was picked.
  bool OkExec() const { return picked_ && !entries_.empty(); }
  // The number of picked entries.
  int Antal() const { return picked_ ? static_cast<int>(entries_.size()) : 0; }
  // Every entry read was picked.
  virtual bool Alla() const;
  // The record number of picked entry i (0-based) once its record is read (kFixtAtRecord),
  // so that the register's buffer holds it; -1 when i is out of range or the record is gone.
  virtual int32_t GetPickData(int i);
  // The index of the picked entry with record number recNo, or -1.
  virtual int CheckPickItem(int32_t recNo) const;
  // CheckPickItem of the record that has key, or -1.
  virtual int CheckPickStr(const std::string& key);

  // The entries read (before the window) or picked (after OK).
  const std::vector<TPickEntry>& Entries() const { return entries_; }
  int Total() const { return total_; }

 protected:
  // Shows the window when there are entries and keeps the picked ones on OK.
  virtual void PickDlg();
  // Whether the record just read becomes an entry; every one by default.
  virtual bool doTheFilter() { return true; }
  // Every record the filter accepts, in the register's order.
  virtual void InitTheListData();
  // The line of the record just read, and the record number it is picked by (negative:
  // starts selected).
  virtual void FormPickStr(std::string& line, int32_t& recNo) = 0;
  virtual void FixtSelect(FixtOp op, const std::string& key, int32_t& recNo, bool& found, bool& atEnd) = 0;

  // Adds an entry, its line cut to kLineCapacity.
  void AddEntry(const std::string& line, int32_t recNo);

 private:
  PickWindows& owner_;
  std::string caption_;
  int32_t preselected_;
  bool multi_;
  bool sorted_;
  bool picked_ = false;
  int total_ = 0;
  std::vector<TPickEntry> entries_;
};

}  // namespace ereg
