// The table the writers' tests write: Swedish letters, a cell holding & < > ( ), a row
// whose first cell is " -- ", a column whose cells are all empty, and the empty trailing
// row and column every table keeps. The grid's font is 5 pixels a character, 10 points.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "ProgramRun.h"
#include "common/Ansi.h"
#include "tabledisplay/egridform.h"

inline egridform::GridMetrics FivePixelMetrics(int scale = 100) {
  return {[](const std::string& text) { return static_cast<int>(text.size()) * 5; }, 10, scale};
}

inline egridform::Table SampleTable() {
  egridform::Table t(FivePixelMetrics());
  t.Open(0, A("Prov: Räkor & <öl> (x)"));
  for (const char* head : {"ver", "datum", "text", ""}) t.Cell(head);
  t.RowEnd("belopp");
  for (const char* cell : {"  1", "2026-01-05", "Räkor & <öl> (x)", ""}) t.Cell(A(cell));
  t.RowEnd("     12.50");
  t.Cell(" -- ");
  t.RowEnd();
  for (const char* cell : {"  2", "2026-02-01", "Åsa", ""}) t.Cell(A(cell));
  t.RowEnd("-     3.00");
  return t;
}

// A folder of its own, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    char pattern[] = "/tmp/egridformXXXXXX";
    path_ = ::mkdtemp(pattern);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(*this / name, std::ios::binary) << bytes;
  }
  static void Copy(const std::string& from, const std::string& to) {
    std::error_code ec;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ec);
  }
  std::string Get(const std::string& name) const {
    std::ifstream in(*this / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::string path_;
};
