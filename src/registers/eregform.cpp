#include "registers/eregform.h"

#include <algorithm>

#include "common/Ansi.h"
#include "shell/ESmall.h"
#include "shell/Eerror32.h"

namespace ereg {

namespace {

constexpr int kPrintColumn = 5;

}  // namespace

void TERegForm::Fill() {
  lines_.clear();
  current_ = -1;
  int32_t recNo = 0;
  bool found = false, atEnd = false;
  FixtSelect(kFixtFirst, "", recNo, found, atEnd);
  for (;;) {
    FixtSelect(kFixtNext, "", recNo, found, atEnd);
    if (atEnd) break;
    if (!found) continue;
    std::string text;
    FormRegStr(text);
    InsertSorted({text, {recNo}, false});
  }
}

int TERegForm::SelectedCount() const {
  return static_cast<int>(std::count_if(lines_.begin(), lines_.end(), [](const TRegLine& l) { return l.selected; }));
}

void TERegForm::SetCurrent(int i) { current_ = i >= 0 && i < Count() ? i : -1; }

void TERegForm::SetSelected(int i, bool on) {
  if (i >= 0 && i < Count()) lines_[static_cast<size_t>(i)].selected = on;
}

std::string TERegForm::ClickStatus() const {
  return esmall::BlankPadded(Count(), 4) + " [" + esmall::BlankPadded(SelectedCount(), 4) + "]";
}

int TERegForm::InsertSorted(TRegLine line) {
  const auto at = std::upper_bound(lines_.begin(), lines_.end(), line,
                                   [](const TRegLine& a, const TRegLine& b) { return a.text < b.text; });
  return static_cast<int>(lines_.insert(at, std::move(line)) - lines_.begin());
}

void TERegForm::EditEntry(bool isNew) {
  if (isNew) {
    if (CheckBeforeAdding()) {
      eerror::Beep();
      eerror::EMsg(eerror::kStatusLine, A("maxantalet uppnått kan ej addera registerpost!"));
      return;
    }
    DoTheDialog(true, -1, 0);
    return;
  }
  const auto selected = std::find_if(lines_.begin(), lines_.end(), [](const TRegLine& l) { return l.selected; });
  const int index = selected != lines_.end() ? static_cast<int>(selected - lines_.begin()) : current_;
  if (index < 0 || index >= Count()) return;
  int32_t recNo = lines_[static_cast<size_t>(index)].rec.recNo;
  bool found = false, atEnd = false;
  FixtSelect(kFixtAtRecord, "", recNo, found, atEnd);
  if (found) DoTheDialog(false, index, recNo);
}

bool TERegForm::DialogFrame(bool isNew, int index, int32_t recNo, const std::function<bool()>& dialog) {
  if (!isNew && !DelRecSelect(kFixtAtRecord, "", recNo, false)) return false;
  const bool ok = dialog();
  if ((!isNew || ok) && !AddRecSelect(isNew, recNo, ok)) return false;
  if (!ok) return false;
  if (!isNew && index >= 0 && index < Count()) lines_.erase(lines_.begin() + index);
  if (isNew)
    for (TRegLine& line : lines_) line.selected = false;
  std::string text;
  FormRegStr(text);
  current_ = InsertSorted({text, {recNo}, true});
  return true;
}

void TERegForm::EraseEntry() {
  if (SelectedCount() == 0) return;
  for (TRegLine& line : lines_) {
    if (!line.selected) continue;
    int32_t recNo = line.rec.recNo;
    bool found = false, atEnd = false;
    FixtSelect(kFixtAtRecord, "", recNo, found, atEnd);
    if (!found) continue;  // gone already: its line goes too
    // A record that may not go, or that the register could not delete, keeps its line.
    if (!CheckBeforeDeleting() || !DelRecSelect(kFixtAtRecord, "", recNo, true)) line.selected = false;
  }
  std::erase_if(lines_, [](const TRegLine& l) { return l.selected; });
  if (current_ >= Count()) current_ = Count() - 1;
}

bool TERegForm::PrintSelected(printing::PrintJob& job, const std::string& title, const glodefs::TRapportEnv& setting,
                              esmall::WindowHandle owner) {
  if (SelectedCount() == 0) return false;
  print_ = {&job, title, setting, owner};
  const bool started = StartPrint();
  if (started) {
    const int n = Count();
    for (int i = 0; i < n; ++i) {
      if (!lines_[static_cast<size_t>(i)].selected) continue;
      int32_t recNo = lines_[static_cast<size_t>(i)].rec.recNo;
      bool found = false, atEnd = false;
      FixtSelect(kFixtAtRecord, "", recNo, found, atEnd);
      if (found) DoThePrint(i + 1, n);
    }
    StopPrint();
  }
  print_ = {};
  return started;
}

bool TERegForm::StartPrint() {
  printing::PrintJob& job = *print_.job;
  if (!job.printerinit(false, print_.title, print_.setting, print_.owner)) {
    job.printerexit(true);
    return false;
  }
  job.StatusLine(1, print_.title);
  job.Heading(print_.title);
  job.Rule();
  return true;
}

void TERegForm::StopPrint() { print_.job->printerexit(false); }

void TERegForm::DoThePrint(int i, int n) {
  printing::PrintJob& job = *print_.job;
  std::string line;
  FormPrintStr(line);
  job.Progress(i, n);
  job.Need(print_.title, 1);
  job.Tab(kPrintColumn);
  job.WriteLn(line);
}

}  // namespace ereg
