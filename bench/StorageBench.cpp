// Runs every workload on our engine and on SQLite in one run, in a fresh folder on a real
// disk, and prints each pair, the ratio and the fsyncs per operation.
//
//   storage_bench [--scale S] [--dir FOLDER] [--keep] [--rows LIST]
//
// S (also from BFN_BENCH_SCALE) multiplies every size, 1 being the full sizes; the work goes
// to a new folder inside FOLDER (default /var/tmp), removed afterwards unless --keep. LIST
// names the rows to run, as digits (e.g. 34; 6 is the reorganisation); all of them by default.
#include <sqlite3.h>
#include <sys/vfs.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "ReorgBench.h"
#include "Workload.h"
#include "storage/Filer.h"

namespace bench {
namespace {

constexpr long kTmpfsMagic = 0x01021994;
constexpr long kExt4Magic = 0xEF53;

struct Options {
  double scale = 1;
  std::string parent = "/var/tmp";
  bool keep = false;
  std::string rows = "123456";
  bool Runs(char row) const { return rows.find(row) != std::string::npos; }
};

[[noreturn]] void Usage(const char* why) {
  std::fprintf(stderr, "%s\nusage: storage_bench [--scale S] [--dir FOLDER] [--keep] [--rows LIST]\n", why);
  std::exit(2);
}

Options Parse(int argc, char** argv) {
  Options o;
  if (const char* env = std::getenv("BFN_BENCH_SCALE")) o.scale = std::atof(env);
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--keep") {
      o.keep = true;
    } else if ((arg == "--scale" || arg == "--dir" || arg == "--rows") && i + 1 < argc) {
      if (arg == "--scale") o.scale = std::atof(argv[++i]);
      else if (arg == "--dir") o.parent = argv[++i];
      else o.rows = argv[++i];
    } else {
      Usage(("unknown argument " + arg).c_str());
    }
  }
  if (!(o.scale > 0) || o.scale * 1e6 > kMaxValues) Usage("the scale must be above 0 and at most 1.6");
  if (o.rows.empty() || o.rows.find_first_not_of("123456") != std::string::npos)
    Usage("the rows are digits 1 to 6");
  return o;
}

int64_t Scaled(double full, double scale, int64_t least) {
  return std::max(least, static_cast<int64_t>(std::llround(full * scale)));
}

// A fresh folder inside parent; says what file system holds it, since fsync is the cost.
std::string MakeFolder(const std::string& parent) {
  std::string pattern = parent + "/bfn-bench-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    std::perror(("cannot make a folder in " + parent).c_str());
    std::exit(1);
  }
  struct statfs fs;
  if (statfs(pattern.c_str(), &fs) == 0) {
    if (static_cast<long>(fs.f_type) == kTmpfsMagic)
      std::printf("warning: %s is on tmpfs, where fsync costs nothing\n", pattern.c_str());
    std::printf("folder %s (%s)\n", pattern.c_str(),
                static_cast<long>(fs.f_type) == kExt4Magic ? "ext4" : "file system type not named here");
  }
  return pattern;
}

const char* Verdict(double ratio, double goal) { return ratio <= goal ? "met" : "MISSED"; }

void Row(const char* label, const Measure& ours, const Measure& theirs, double goal) {
  const double ratio = ours.seconds / theirs.seconds;
  char goalText[32] = "";
  if (goal > 0) std::snprintf(goalText, sizeof goalText, "<= %.1f %s", goal, Verdict(ratio, goal));
  const auto perOp = [](const Measure& m) { return m.ops ? m.seconds * 1e6 / static_cast<double>(m.ops) : 0; };
  const auto syncs = [](const Measure& m) {
    char text[40];
    std::snprintf(text, sizeof text, "%.2f (%lld)", m.ops ? static_cast<double>(m.syncs) / static_cast<double>(m.ops) : 0,
                  static_cast<long long>(m.syncs));
    return std::string(text);
  };
  std::printf("%-34s %8lld %9.3f %9.3f %9.2f %9.2f %7.2f %-12s %-16s %-16s %s\n", label,
              static_cast<long long>(ours.ops), ours.seconds, theirs.seconds, perOp(ours),
              perOp(theirs), ratio, goalText, syncs(ours).c_str(), syncs(theirs).c_str(),
              ours.check == theirs.check && ours.ops == theirs.ops ? "yes" : "NO");
  std::fflush(stdout);
}

int Run(const Options& o) {
  const int64_t durable = Scaled(100000, o.scale, 100);
  const int64_t bulk = Scaled(100000, o.scale, 100);
  const int64_t big = Scaled(1000000, o.scale, 1000);
  const int64_t lookups = Scaled(1000000, o.scale, 1000);
  const int64_t openClose = Scaled(10000, o.scale, 100);
  std::printf("storage engine against SQLite %s, scale %g: %lld durable inserts, bulk load of %lld,"
              " %lld lookups and a walk on %lld records, %lld opens of a fileblock of %d indexes\n",
              sqlite3_libversion(), o.scale, static_cast<long long>(durable),
              static_cast<long long>(bulk), static_cast<long long>(lookups),
              static_cast<long long>(big), static_cast<long long>(openClose), kOpenCloseIndexes);
  std::printf("ours: %d page buffers; SQLite: default page cache, journal_mode=DELETE, synchronous=FULL\n",
              isam::kDefaultBuffers);
  const std::string folder = MakeFolder(o.parent);
  std::printf("times in seconds and microseconds per operation; ratio = ours / SQLite;"
              " fsyncs per operation (total)\n\n");
  std::printf("%-34s %8s %9s %9s %9s %9s %7s %-12s %-16s %-16s %s\n", "workload", "ops", "ours s",
              "SQLite s", "ours us", "SQLite us", "ratio", "goal", "fsyncs ours", "fsyncs SQLite",
              "same");
  {
    auto ours = MakeIsamEngine(folder);
    auto theirs = MakeSqliteEngine(folder);
    Measure m;
    if (o.Runs('1')) {
      const auto durableValues = Scrambled(static_cast<uint32_t>(durable), 1);
      // Ours first, then SQLite: each row's two measures taken in this order. SQLite's
      // transaction a record is both rows' counterpart.
      m = ours->DurableInserts(durableValues);
      const Measure grouped = ours->GroupedDurableInserts(durableValues);
      const Measure theirsDurable = theirs->DurableInserts(durableValues);
      Row("1 durable inserts (record+2 keys)", m, theirsDurable, 1.2);
      Row("1b the same, each insert one unit", grouped, theirsDurable, 1.2);
    }
    if (o.Runs('2')) {
      const auto bulkValues = Scrambled(static_cast<uint32_t>(bulk), 2);
      m = ours->BulkLoad("bulk", bulkValues);
      Row("2 bulk load", m, theirs->BulkLoad("bulk", bulkValues), 0);
    }
    if (o.Runs('3') || o.Runs('4')) {
      const auto bigValues = Scrambled(static_cast<uint32_t>(big), 3);
      m = ours->BulkLoad("big", bigValues);
      Row("  (bulk load of the lookup file)", m, theirs->BulkLoad("big", bigValues), 0);
    }
    if (o.Runs('3')) {
      std::vector<uint32_t> probe(static_cast<size_t>(lookups));
      const auto order = Scrambled(static_cast<uint32_t>(big), 4);
      for (size_t i = 0; i < probe.size(); ++i) probe[i] = order[i % order.size()];
      m = ours->Lookups("big", probe);
      Row("3 FindKey+GetRec, 30-char key", m, theirs->Lookups("big", probe), 0.5);
    }
    if (o.Runs('4')) {
      m = ours->Walk("big");
      Row("4 walk in key order, 30-char key", m, theirs->Walk("big"), 0.5);
    }
    if (o.Runs('5')) {
      m = ours->OpenClose(static_cast<int>(openClose));
      Row("5 open+close, 8 indexes", m, theirs->OpenClose(static_cast<int>(openClose)), 0);
    }
  }
  if (o.Runs('6')) ReorgRow(folder, big);
  if (!o.keep) std::filesystem::remove_all(folder);
  return 0;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) { return bench::Run(bench::Parse(argc, argv)); }
