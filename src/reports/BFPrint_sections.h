// The shape of the statements that list the chosen accounts by sections of account
// numbers (the income statement, the balance sheet): per section a title line, the chosen
// accounts in range at their figures, then sum lines. Figures is the statement's own set of
// figures; a line holds its account by index into the chosen accounts.
//
// The layout walks the chosen accounts once a section, and the progress counts every one of
// every walk (n accounts in s sections: s × n steps). A cancelled job ends the walk after
// the current account and the sections after the sum lines of the one in progress.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "bookkeeping/BFdefs.h"
#include "printing/ewrite32.h"
#include "reports/BFPrint.h"

namespace reports {

template <typename Figures>
struct SectionLine {
  size_t account = 0;
  Figures figures;
};

// A sum line (two lines reserved), or a result line (three, after an empty line).
template <typename Figures>
struct SectionSum {
  bool result = false;
  std::string label;
  Figures figures;
};

template <typename Figures>
struct Section {
  std::string title;
  std::vector<SectionLine<Figures>> lines;
  std::vector<SectionSum<Figures>> sums;
};

// Starts a sum or result line: the room, the empty line of a result, the label at column 8.
void SumLineStart(printing::PrintJob& job, bool result, const std::string& label);

// figures(f, sum) writes f at its columns on the current line, a sum line's when sum.
template <typename Figures>
void LayOutSections(printing::PrintJob& job, const std::vector<bf::KontoRecord>& accounts,
                    const std::vector<Section<Figures>>& sections,
                    const std::function<void(const Figures&, bool sum)>& figures) {
  const int steps = static_cast<int>(accounts.size() * sections.size());
  int step = 0;
  for (const Section<Figures>& section : sections) {
    if (job.Aborted()) break;
    job.Need("", 1);
    At(job, 1, section.title);
    job.WriteLn();
    auto line = section.lines.begin();
    for (size_t i = 0; i < accounts.size() && !job.Aborted(); ++i) {
      AccountProgress(job, ++step, steps, accounts[i]);
      if (line == section.lines.end() || line->account != i) continue;
      AccountLineStart(job, accounts[i]);
      figures(line->figures, false);
      job.WriteLn();
      ++line;
    }
    for (const SectionSum<Figures>& sum : section.sums) {
      SumLineStart(job, sum.result, sum.label);
      figures(sum.figures, true);
      job.WriteLn();
      job.WriteLn();
    }
  }
}

}  // namespace reports
