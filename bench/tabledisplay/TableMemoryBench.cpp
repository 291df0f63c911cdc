// The memory a writer takes for a long table: the ledger of an account with 10 000 and
// 100 000 rows written as PDF and as HTML into a file through the exchange file, as the
// window and bfnolk write them. Each case runs in a process of its
// own, so that its peak resident size is its own: the peak after the table is built, the
// peak after the document is written, and the difference, which is what the writer added.
// A writer that streams adds the same few kilobytes for 10 000 rows as for 100 000.
//
//   tabledisplay_bench [--dir FOLDER] [Google Benchmark's flags]
//
// The documents go into FOLDER (default /var/tmp) and are removed afterwards.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "tabledisplay/egridform.h"
#include "tabledisplay/egridform_pdf.h"
#include "tabledisplay/egridform_ixport.h"
#include "tabledisplay/egridform_writers.h"

namespace {

std::string g_folder = "/var/tmp";

enum Format { kPdf, kHtml };

// No picture is active in the benchmark's setting; none is asked for.
class NoPictures : public egridform::PdfPictures {
 public:
  std::optional<printing::DecodedImage> Load(int, const std::string&) override { return std::nullopt; }
};

double PeakMegabytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}

// A ledger as "visa huvudbok" builds it: five cells a row.
egridform::Table Ledger(int rows) {
  egridform::Table table;
  table.Open(0, "BFNOLKW64: huvudbok: Bench: 1930 Bank");
  for (const char* head : {"ver", "datum", "text", "debet"}) table.Cell(head);
  table.RowEnd("kredit");
  char number[16];
  for (int r = 1; r <= rows; ++r) {
    std::snprintf(number, sizeof number, "%3d", r % 1000);
    table.Cell(number);
    table.Cell("2026-03-01");
    table.Cell("Medlemsavgift " + std::to_string(r));
    if (r % 2 == 0) table.Cell("");
    table.RowEnd("    350.00");
  }
  return table;
}

struct Measured {
  double tablePeak = 0;
  double writtenPeak = 0;
  double seconds = 0;
  long long bytes = 0;
  bool ok = false;
};

Measured MeasureHere(Format format, int rows) {
  Measured m;
  const egridform::Table table = Ledger(rows);
  m.tablePeak = PeakMegabytes();
  const std::string path = g_folder + "/tabledisplay-bench-" + std::to_string(::getpid());
  const auto start = std::chrono::steady_clock::now();
  m.ok = egridform::ExportByName(0, path, [&](egridform::LineSink& out, const std::string&) {
    if (format == kHtml) return egridform::WriteHtml(table, out);
    NoPictures pictures;
    int height = egridform::kFirstPdfPageHeight;
    return egridform::WritePdf(table, egridform::PdfSetup{"bench", 0, {}}, pictures, height, out);
  });
  std::error_code error;
  m.bytes = static_cast<long long>(std::filesystem::file_size(path, error));
  m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  m.writtenPeak = PeakMegabytes();
  std::remove(path.c_str());
  return m;
}

// The case in a child process, its figures sent back through a pipe.
Measured MeasureInChild(Format format, int rows) {
  int pipeEnds[2];
  Measured m;
  if (::pipe(pipeEnds) != 0) return m;
  const pid_t child = ::fork();
  if (child == 0) {
    const Measured here = MeasureHere(format, rows);
    ssize_t written = ::write(pipeEnds[1], &here, sizeof here);
    ::_exit(written == sizeof here ? 0 : 1);
  }
  ::close(pipeEnds[1]);
  if (::read(pipeEnds[0], &m, sizeof m) != sizeof m) m.ok = false;
  ::close(pipeEnds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return m;
}

void WriteLongTable(benchmark::State& state) {
  const auto format = static_cast<Format>(state.range(0));
  const int rows = static_cast<int>(state.range(1));
  Measured m;
  for (auto _ : state) {
    m = MeasureInChild(format, rows);
    state.SetIterationTime(m.seconds);
  }
  if (!m.ok) state.SkipWithError("the document could not be written");
  state.SetLabel(format == kPdf ? "pdf" : "html");
  state.counters["table_peak_MB"] = m.tablePeak;
  state.counters["written_peak_MB"] = m.writtenPeak;
  state.counters["writer_added_MB"] = m.writtenPeak - m.tablePeak;
  state.counters["file_MB"] = m.bytes / 1048576.0;
}

BENCHMARK(WriteLongTable)
    ->ArgsProduct({{kPdf, kHtml}, {10000, 100000}})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--dir") == 0) {
      g_folder = argv[i + 1];
      for (int j = i; j + 2 <= argc; ++j) argv[j] = argv[j + 2];
      argc -= 2;
      break;
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
