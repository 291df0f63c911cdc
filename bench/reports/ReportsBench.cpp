// The printed reports of the largest bookkeeping the files allow: 254 accounts and 32 767
// verifications of four rows, made through the logic in a fresh data directory. Each report
// of every account (or verification) is printed on the text device as bfnolk print does:
// the choice read, the content made, the pages laid out and their text made. Then the
// ledger side by side with hledger and ledger: the same postings written as a plain-text
// journal, and each program run as a process whose output goes to /dev/null (bfnolk print
// huvudbok, hledger register, ledger register), the best of three runs each. Each report is
// timed for two seconds at least, so that the long ones are the mean of a few runs.
//
//   reports_bench [--dir FOLDER] [Google Benchmark's flags]
//
// The data directory goes into FOLDER (default /var/tmp) and is removed afterwards.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "BenchFolder.h"
#include "LargestBooks.h"
#include "printing/ewrite32_textdevice.h"
#include "reports/BFPrint_report.h"
#include "shell/ECountForm.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "storage/Filer.h"

namespace {

namespace fs = std::filesystem;

constexpr int kAccounts = 254;
constexpr int kRuns = 3;

std::string g_parent = "/var/tmp";
bf::BfDatabase* g_db = nullptr;

// 254 account numbers spread over the chart, every section of the statements among them.
std::vector<int> AccountNumbers() {
  std::vector<int> numbers;
  for (int i = 0; i < kAccounts; ++i) numbers.push_back(1000 + i * 35);
  return numbers;
}

reports::Selection Everything(bf::BfShared& s, const reports::Report& report) {
  reports::Selection selection;
  if (report.choice == reports::Choice::kAccounts)
    bf::ForEachAccount(s, [&](const bf::KontoRecord& k, int32_t) {
      selection.accounts.push_back(k);
      return true;
    });
  if (report.choice == reports::Choice::kVerifications)
    bf::ForEachVerification(s, [&](const bf::VerRecord&, int32_t recNo) {
      selection.verifications.push_back(recNo);
      return true;
    });
  return selection;
}

void PrintReport(benchmark::State& state, const char* word) {
  const reports::Report& report = *reports::FindReport(word);
  bf::BfShared& s = g_db->shared();
  printing::ConsoleReportDialogs quiet(std::cerr, false);
  size_t pages = 0, bytes = 0;
  for (auto _ : state) {
    printing::TextDevice device;
    printing::PrintJob job(device, quiet);
    if (!reports::PrintReport(job, s, report, Everything(s, report), ekonfig::CurRapport))
      state.SkipWithError(("not printed: " + eerror::StatusMsg).c_str());
    const std::string text = device.Output();
    bytes = text.size();
    pages = static_cast<size_t>(std::count(text.begin(), text.end(), '\f')) + 1;
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["pages"] = static_cast<double>(pages);
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

// The postings as a journal hledger and ledger read: a transaction a verification, a
// posting a row, debit positive and credit negative.
bool WriteJournal(bf::BfShared& s, const fs::path& file) {
  std::ofstream out(file);
  const bool read = bf::ForEachVerification(s, [&](const bf::VerRecord& v, int32_t) {
    out << v.date << " " << v.name << "\n";
    for (int r = 1; r <= v.RowCount(); ++r) {
      const auto i = static_cast<size_t>(r);
      char amount[32];
      std::snprintf(amount, sizeof amount, "%.2f", (v.sides[i] == '-' ? -1 : 1) * v.amounts[i].Value());
      out << "    konto:" << bf::KontoKey(v.accounts[i]) << "  " << amount << "\n";
    }
    out << "\n";
    return true;
  });
  return read && static_cast<bool>(out.flush());
}

// The best wall-clock time of kRuns runs of the shell command; negative when it failed.
double BestRun(const std::string& command) {
  double best = -1;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    best = best < 0 ? seconds : std::min(best, seconds);
  }
  return best;
}

bool Installed(const std::string& program) { return std::system(("command -v " + program + " >/dev/null").c_str()) == 0; }

void SideBySide(const fs::path& data, const fs::path& journal) {
  const std::string bfnolk = std::string("'" BFN_BIN_DIR "/bfnolk' --config-dir '") + (data / "konfig").string() +
                             "' --data-dir '" + data.string() + "' ";
  if (std::system((bfnolk + "select 1 >/dev/null").c_str()) != 0) {
    std::cerr << "bfnolk could not select the books\n";
    return;
  }
  const double ours = BestRun(bfnolk + "print huvudbok >/dev/null");
  std::printf("\nThe ledger of every posting, a process each, output to /dev/null (best of %d runs):\n", kRuns);
  std::printf("  %-42s %8.3f s\n", "bfnolk print huvudbok (254 accounts)", ours);
  const std::pair<const char*, std::string> others[] = {
      {"hledger", "hledger register -f '" + journal.string() + "' >/dev/null"},
      {"ledger", "ledger -f '" + journal.string() + "' register >/dev/null"}};
  for (const auto& [program, command] : others) {
    if (!Installed(program)) {
      std::printf("  %-42s not installed (make bench-reports installs it)\n", program);
      continue;
    }
    const double theirs = BestRun(command);
    if (theirs < 0 || ours <= 0) {
      std::printf("  %-42s failed\n", command.c_str());
      continue;
    }
    const double ratio = theirs / ours;
    std::printf("  %-42s %8.3f s   %5.1f times ours, goal >= 5: %s\n", (std::string(program) + " register").c_str(),
                theirs, ratio, ratio >= 5 ? "met" : "MISSED");
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!TakeBenchFolder(argc, argv, "reports_bench", g_parent)) return 2;
  const fs::path data = fs::path(g_parent) / ("bfnolk-reports-" + std::to_string(::getpid()));
  fs::remove_all(data);
  fs::create_directories(data);
  eerror::RecordingMessageBoxes boxes;
  const eerror::ScopedMessageBoxes installed(boxes);
  ecountform::ConsoleProgressWindows quiet(std::cerr, false);
  ecountform::InstallProgressWindows(&quiet);
  ekonfig::Konfig.SetCurBase(0);
  isam::InitIsam(0, isam::kDefaultBuffers);
  const fs::path journal = data / "journal.txt";
  int status = 0;
  {
    bf::BfDatabase db(data.string());
    const std::vector<int> accounts = AccountNumbers();
    if (!bench::MakeLargestBooks(db, accounts) || !WriteJournal(db.shared(), journal)) {
      std::cerr << "the books could not be made: " << eerror::StatusMsg << "\n";
      status = 1;
    } else {
      g_db = &db;
      for (const reports::Report& r : reports::Reports())
        benchmark::RegisterBenchmark(r.word, PrintReport, r.word)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
      benchmark::RunSpecifiedBenchmarks();
      g_db = nullptr;
    }
  }
  isam::ExitIsam();
  if (status == 0) SideBySide(data, journal);
  benchmark::Shutdown();
  fs::remove_all(data);
  return status;
}
