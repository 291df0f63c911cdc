// A SIE file of many verifications read into a new bookkeeping, on a real disk: the books
// are built aside and taken in whole. Each iteration imports into a data directory of its
// own (made outside the timing); the flushes during the import are counted beside the time.
//
//   sie_import_bench [--dir FOLDER] [Google Benchmark's flags]
//
// The data directories go into FOLDER (default /var/tmp) and are removed afterwards.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "BenchFolder.h"
#include "bookkeeping/BFBas.h"
#include "exchange/BFSie.h"
#include "exchange/Eixport.h"
#include "shell/ECountForm.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "storage/BTFileIO_seam.h"
#include "storage/Filer.h"

namespace {

namespace fs = std::filesystem;

std::string g_parent = "/var/tmp";

// verifications of two rows each, over 20 accounts.
std::string SieFile(int verifications) {
  std::string sie = "#FLAGGA 0\r\n#FORMAT PC8\r\n#SIETYP 4\r\n#FNAMN \"Prov\"\r\n#RAR 0 20260101 20261231\r\n";
  for (int a = 0; a < 20; ++a) sie += "#KONTO " + std::to_string(3000 + a) + " Konto\r\n";
  sie += "#KONTO 1930 Bank\r\n#IB 0 1930 1000.00\r\n";
  for (int v = 1; v <= verifications; ++v)
    sie += "#VER \"\" " + std::to_string(v) + " 20260105 \"Avgift " + std::to_string(v) + "\"\r\n{\r\n#TRANS 1930 {} 12.50\r\n#TRANS " +
           std::to_string(3000 + v % 20) + " {} -12.50\r\n}\r\n";
  return sie;
}

void ImportIntoANewBookkeeping(benchmark::State& state) {
  const int verifications = static_cast<int>(state.range(0));
  const fs::path work = fs::path(g_parent) / ("bfnolk-sie-" + std::to_string(::getpid()));
  fs::remove_all(work);
  fs::create_directories(work);
  const fs::path file = work / "bok.se";
  std::ofstream(file, std::ios::binary) << SieFile(verifications);
  eerror::RecordingMessageBoxes boxes;
  const eerror::ScopedMessageBoxes installed(boxes);
  ecountform::RecordingProgressWindows progress;
  ecountform::ProgressWindows* const previous = ecountform::InstallProgressWindows(&progress);
  isam::InitIsam(0, isam::kDefaultBuffers);
  int64_t flushes = 0;
  int run = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path data = work / ("data" + std::to_string(run++));
    fs::create_directories(data);
    ekonfig::Konfig.SetCurBase(0);
    auto db = std::make_unique<bf::BfDatabase>(data.string());
    if (!db->CreateBookkeepingList()) state.SkipWithError(("no list: " + eerror::StatusMsg).c_str());
    progress.lines.clear();
    state.ResumeTiming();
    isam::seam::Observe([&](const isam::seam::Event& e) { flushes += e.op == isam::seam::Op::Flush; });
    eixport::IxportFile f(eixport::Content::kDocument);
    f.OpenByName(0, eixport::Mode::kOpen, file.string(), 0);
    if (bfsie::ImportSie(*db, f, true) != bfsie::SieImport::kImported)
      state.SkipWithError(("the import failed: " + eerror::StatusMsg).c_str());
    db.reset();
    isam::seam::Observe(nullptr);
    state.PauseTiming();
    fs::remove_all(data);
    state.ResumeTiming();
  }
  isam::ExitIsam();
  ecountform::InstallProgressWindows(previous);
  fs::remove_all(work);
  state.SetItemsProcessed(state.iterations() * verifications);
  state.counters["flushes"] = benchmark::Counter(static_cast<double>(flushes), benchmark::Counter::kAvgIterations);
}
// Verifications in the file.
BENCHMARK(ImportIntoANewBookkeeping)->Arg(300)->Arg(3000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!TakeBenchFolder(argc, argv, "sie_import_bench", g_parent)) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
