// Entering verifications as the dialog does (VerificationEntry), on a real disk: what a row
// costs with the row log that lets a verification never saved be taken back. Each iteration
// enters one verification of `rows` rows and saves it; the rows go to as many accounts as
// there are rows (each account's image kept once in the log) or all but the last to one
// account. The flushes of the row log and of the books are counted beside the time.
//
//   entry_bench [--dir FOLDER] [Google Benchmark's flags]
//
// The data directory goes into FOLDER (default /var/tmp) and is removed afterwards.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "BenchFolder.h"
#include "bookkeeping/BFBas.h"
#include "bookkeeping/BFMisc.h"
#include "bookkeeping/bfverform_entry.h"
#include "common/ESmall_Bytes.h"
#include "shell/ECountForm.h"
#include "shell/ESmall.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "storage/BTFileIO_seam.h"
#include "storage/Filer.h"

namespace {

namespace fs = std::filesystem;

constexpr int kAccounts = 20;
std::string g_parent = "/var/tmp";

bool MakeBooks(bf::BfDatabase& db) {
  if (!db.CreateBookkeepingList() || !db.BeginNewBookkeeping()) return false;
  db.shared().dataBas.name = "bank";
  if (!db.FinishNewBookkeeping()) return false;
  for (int a = 0; a < kAccounts; ++a) {
    bf::KontoRecord k;
    k.number = bf::KontoKey(1000 + 10 * a);
    k.name = "konto";
    int32_t recNo = 0;
    if (!bf::SaveAccount(db.shared(), true, recNo, k)) return false;
  }
  return true;
}

void EnterVerification(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  const bool distinct = state.range(1) != 0;
  const fs::path data = fs::path(g_parent) / ("bfnolk-entry-" + std::to_string(::getpid()));
  fs::remove_all(data);
  fs::create_directories(data);
  eerror::RecordingMessageBoxes boxes;
  const eerror::ScopedMessageBoxes installed(boxes);
  ekonfig::Konfig.SetCurBase(0);
  isam::InitIsam(0, isam::kDefaultBuffers);
  int64_t logFlushes = 0, otherFlushes = 0, posted = 0;
  isam::seam::Observe([&](const isam::seam::Event& e) {
    if (e.op != isam::seam::Op::Flush) return;
    (esmall::EndsWithNoCase(e.path, ".Rad") ? logFlushes : otherFlushes)++;
  });
  {
    bf::BfDatabase db(data.string());
    if (!MakeBooks(db)) state.SkipWithError(("the books could not be made: " + eerror::StatusMsg).c_str());
    logFlushes = otherFlushes = 0;
    for (auto _ : state) {
      bf::VerificationEntry e(db.shared());
      for (int r = 0; r < rows && !state.error_occurred(); ++r) {
        const int account = r == rows - 1 ? kAccounts - 1 : distinct ? r % (kAccounts - 1) : 0;
        e.AccountTyped(bf::KontoKey(1000 + 10 * account));
        e.SideTyped(r == rows - 1 ? "=" : "+");
        if (r < rows - 1) e.AmountTyped("12.34");
        if (!e.AcceptRow()) state.SkipWithError(("a row was refused: " + e.status()).c_str());
        ++posted;
      }
      e.SetName("prov");
      if (e.Save() != bf::SaveResult::kSaved) state.SkipWithError(("the save failed: " + e.status()).c_str());
      if (db.shared().dataBas.lastVerNr >= INT16_MAX - 1) state.SkipWithError("the numbers are used up");
    }
  }
  isam::seam::Observe(nullptr);
  isam::ExitIsam();
  fs::remove_all(data);
  state.SetItemsProcessed(posted);
  const auto perRow = benchmark::Counter::kAvgIterations;
  // Per verification; a verification has `rows` rows.
  state.counters["log flushes"] = benchmark::Counter(static_cast<double>(logFlushes), perRow);
  state.counters["book flushes"] = benchmark::Counter(static_cast<double>(otherFlushes), perRow);
}
// Rows per verification; 1: each row on an account of its own, 0: all but the last on one.
BENCHMARK(EnterVerification)
    ->Args({2, 1})
    ->Args({10, 1})
    ->Args({10, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!TakeBenchFolder(argc, argv, "entry_bench", g_parent)) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
