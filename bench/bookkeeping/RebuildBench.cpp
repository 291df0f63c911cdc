// The rebuild ("indexåterbygg", bfnolk rebuild) of the largest bookkeeping the files number:
// 32 767 verifications of four rows over ten accounts, in a fresh data directory on a real
// disk. Each round rebuilds the same bookkeeping again, as a user would; the flushes of a
// round are counted beside its time.
//
//   bookkeeping_bench [--dir FOLDER] [Google Benchmark's flags]
//
// The data directory goes into FOLDER (default /var/tmp) and is removed afterwards.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>

#include "bookkeeping/BFBas.h"
#include "bookkeeping/BFMisc.h"
#include "shell/ECountForm.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "storage/BTFileIO_seam.h"
#include "storage/Filer.h"

namespace {

namespace fs = std::filesystem;

constexpr int kAccounts[] = {1020, 1930, 2440, 3010, 4010, 5010, 6110, 7010, 8310, 9100};

std::string g_parent = "/var/tmp";

// The bookkeeping's verifications are written as saved ones, unposted; the first rebuild
// posts them, and the bookkeeping is then as if they had been entered one by one.
bool MakeBookkeeping(bf::BfDatabase& db) {
  if (!db.CreateBookkeepingList() || !db.BeginNewBookkeeping()) return false;
  bf::BfShared& s = db.shared();
  s.dataBas.name = "stor";
  s.dataBas.fromDate = "2020-01-01";
  s.dataBas.toDate = "2020-12-31";
  if (!db.FinishNewBookkeeping()) return false;
  for (const int a : kAccounts) {
    s.konto = bf::KontoRecord{};
    s.konto.number = bf::KontoKey(a);
    int32_t recNo = 0;
    if (!bf::PutKonto(s, true, recNo)) return false;
  }
  // Without journal the records are written, not flushed one by one.
  isam::CloseFileBlock(s.verFile);
  isam::OpenFileBlock(s.verFile, bf::BfFileName(bf::kVerFile, s.current, db.dataDir()), false);
  std::mt19937 rng(32767);
  for (int v = 1; v <= INT16_MAX; ++v) {
    s.ver = bf::FreshVerRecord(static_cast<int16_t>(v), "2020-06-30", '+');
    const double x = static_cast<double>(1 + rng() % 200000) / 100, y = static_cast<double>(1 + rng() % 200000) / 100;
    const std::pair<char, double> rows[] = {{'+', x}, {'+', y}, {'-', x}, {'-', y}};
    for (size_t r = 1; r <= 4; ++r) {
      s.ver.accounts[r] = static_cast<int16_t>(kAccounts[rng() % std::size(kAccounts)]);
      s.ver.sides[r] = rows[r - 1].first;
      s.ver.amounts[r] = *bf::Real6::FromDouble(rows[r - 1].second);
    }
    s.ver.accounts[0] = 4;
    int32_t recNo = 0;
    if (!bf::PutVer(s, true, recNo)) return false;
  }
  s.dataBas.lastVerNr = INT16_MAX;
  return db.RebuildBookkeeping();
}

void Rebuild(benchmark::State& state) {
  const fs::path data = fs::path(g_parent) / ("bfnolk-rebuild-" + std::to_string(::getpid()));
  fs::remove_all(data);
  fs::create_directories(data);
  eerror::RecordingMessageBoxes boxes;
  const eerror::ScopedMessageBoxes installed(boxes);
  ecountform::ConsoleProgressWindows quiet(std::cerr, false);  // as in a script
  ecountform::ProgressWindows* previous = ecountform::InstallProgressWindows(&quiet);
  ekonfig::Konfig.SetCurBase(0);
  isam::InitIsam(0, isam::kDefaultBuffers);
  {
    bf::BfDatabase db(data.string());
    if (!MakeBookkeeping(db)) {
      state.SkipWithError(("the bookkeeping could not be made: " + eerror::StatusMsg).c_str());
    } else {
      int64_t flushes = 0;
      for (auto _ : state) {
        isam::seam::Disarm();  // zeroes the counters
        if (!db.RebuildBookkeeping()) state.SkipWithError(("the rebuild failed: " + eerror::StatusMsg).c_str());
        flushes += isam::seam::Calls(isam::seam::Op::Flush);
      }
      state.counters["flushes"] = benchmark::Counter(static_cast<double>(flushes), benchmark::Counter::kAvgIterations);
      state.counters["verifications"] = db.shared().dataBas.lastVerNr;
    }
  }
  isam::ExitIsam();
  ecountform::InstallProgressWindows(previous);
  fs::remove_all(data);
}
BENCHMARK(Rebuild)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--dir" && i + 1 < argc) {
      g_parent = argv[++i];
    } else {
      std::fprintf(stderr, "unknown argument %s\nusage: bookkeeping_bench [--dir FOLDER] [benchmark flags]\n", argv[i]);
      return 2;
    }
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
