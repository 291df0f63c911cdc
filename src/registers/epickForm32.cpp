#include "registers/epickForm32.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "common/Ansi.h"
#include "shell/ESmall.h"

namespace ereg {

TPickWindowState::TPickWindowState(std::string caption, bool multi, bool sorted, const std::vector<std::string>& lines,
                                   const std::vector<bool>& selected)
    : caption_(caption.empty() ? A("välj") : std::move(caption)), multi_(multi) {
  std::vector<size_t> order(lines.size());
  std::iota(order.begin(), order.end(), size_t{0});
  if (sorted) std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return lines[a] < lines[b]; });
  for (const size_t i : order) {
    lines_.push_back(lines[i]);
    selected_.push_back(i < selected.size() && selected[i]);
  }
  // A single choice shows one line selected at most: the first of those asked for.
  if (!multi_) {
    const auto first = std::find(selected_.begin(), selected_.end(), true);
    if (first != selected_.end()) std::fill(first + 1, selected_.end(), false);
  }
}

int TPickWindowState::SelectedCount() const {
  return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

void TPickWindowState::SetSelected(int i, bool on) {
  if (i < 0 || i >= Count()) return;
  if (!multi_ && on) std::fill(selected_.begin(), selected_.end(), false);
  selected_[static_cast<size_t>(i)] = on;
}

void TPickWindowState::PressAll() {
  if (!multi_) return;
  std::fill(selected_.begin(), selected_.end(), selectsAll_);
  selectsAll_ = !selectsAll_;
}

std::string TPickWindowState::AllCaption() const { return selectsAll_ ? "&Alla" : "&Ingen"; }

std::string TPickWindowState::Status() const {
  const int picked = SelectedCount();
  return (picked > 0 ? esmall::BlankPadded(picked, 3) : std::string()) + " [" + esmall::BlankPadded(Count(), 3) + "]";
}

TEPick::TEPick(PickWindows& owner, std::string caption, int32_t preselected, bool multi, bool sorted)
    : owner_(owner), caption_(std::move(caption)), preselected_(preselected), multi_(multi), sorted_(sorted) {}

void TEPick::Run() {
  picked_ = false;
  total_ = 0;
  entries_.clear();
  InitTheListData();
  PickDlg();
}

bool TEPick::Alla() const { return picked_ && Antal() == total_; }

int32_t TEPick::GetPickData(int i) {
  if (!picked_ || i < 0 || i >= static_cast<int>(entries_.size())) return -1;
  int32_t recNo = entries_[static_cast<size_t>(i)].recNo;
  bool found = false, atEnd = false;
  FixtSelect(kFixtAtRecord, "", recNo, found, atEnd);
  return found ? entries_[static_cast<size_t>(i)].recNo : -1;
}

int TEPick::CheckPickItem(int32_t recNo) const {
  if (!picked_) return -1;
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].recNo == recNo) return static_cast<int>(i);
  return -1;
}

int TEPick::CheckPickStr(const std::string& key) {
  int32_t recNo = 0;
  bool found = false, atEnd = false;
  FixtSelect(kFixtFind, key, recNo, found, atEnd);
  return found ? CheckPickItem(recNo) : -1;
}

void TEPick::InitTheListData() {
  int32_t recNo = 0;
  bool found = false, atEnd = false;
  FixtSelect(kFixtFirst, "", recNo, found, atEnd);
  for (;;) {
    FixtSelect(kFixtNext, "", recNo, found, atEnd);
    if (atEnd) break;
    if (!found || !doTheFilter()) continue;
    std::string line;
    int32_t entryRecNo = recNo;
    FormPickStr(line, entryRecNo);
    AddEntry(line, entryRecNo);
  }
}

void TEPick::AddEntry(const std::string& line, int32_t recNo) {
  entries_.push_back({esmall::Cut(line, kLineCapacity), recNo});
  ++total_;
}

void TEPick::PickDlg() {
  if (total_ <= 0) return;
  std::vector<std::string> lines;
  std::vector<bool> selected;
  for (TPickEntry& e : entries_) {
    lines.push_back(e.line);
    selected.push_back(e.recNo < 0 || (preselected_ != 0 && e.recNo == preselected_));
    e.recNo = std::abs(e.recNo);
  }
  TPickWindowState state(caption_, multi_, sorted_, lines, selected);
  picked_ = owner_.ShowPick(state);
  if (!picked_) return;
  // The picked entries in the window's order; two equal lines stand for the first entry.
  std::vector<TPickEntry> picked;
  for (int i = 0; i < state.Count(); ++i) {
    if (!state.Selected(i)) continue;
    const auto entry = std::find_if(entries_.begin(), entries_.end(),
                                    [&](const TPickEntry& e) { return e.line == state.Line(i); });
    if (entry == entries_.end()) continue;
    const bool kept = std::any_of(picked.begin(), picked.end(), [&](const TPickEntry& e) { return e.recNo == entry->recNo; });
    if (!kept) picked.push_back(*entry);
  }
  entries_ = std::move(picked);
}

}  // namespace ereg
