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
#include <string>

#include "BenchFolder.h"
#include "LargestBooks.h"
#include "bookkeeping/BFBas.h"
#include "shell/ECountForm.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "storage/BTFileIO_seam.h"
#include "storage/Filer.h"

namespace {

namespace fs = std::filesystem;

constexpr int kAccounts[] = {1020, 1930, 2440, 3010, 4010, 5010, 6110, 7010, 8310, 9100};

std::string g_parent = "/var/tmp";

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
    if (!bench::MakeLargestBooks(db, kAccounts)) {
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
  if (!TakeBenchFolder(argc, argv, "bookkeeping_bench", g_parent)) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
