#include "app/bfnolk_show.h"

#include <filesystem>
#include <fstream>
#include <iostream>

#include "app/bfnolk_arguments.h"
#include "app/bfnolk_qt.h"
#include "app/bfnolk_session.h"
#include "common/Ansi.h"
#include "reports/bflista_table.h"
#include "shell/ESmall.h"
#include "shell/ekonfig32.h"
#include "tabledisplay/egridform_ixport.h"
#include "tabledisplay/egridform_jpeg.h"
#include "tabledisplay/egridform_pdf.h"
#include "tabledisplay/egridform_writers.h"
#include "tabledisplay/ui/QtPdfPictures.h"

namespace bfnolk {

namespace {

constexpr char kFormats[] = "text, csv, html, xml, pdf eller jpg";

// The format a file name asks for when --format is not given.
std::string FormatOfName(const std::string& to) {
  static const std::pair<const char*, const char*> kEnds[] = {{".csv", "csv"}, {".htm", "html"}, {".html", "html"},
                                                              {".xml", "xml"}, {".pdf", "pdf"},  {".jpg", "jpg"},
                                                              {".jpeg", "jpg"}};
  for (const auto& [end, format] : kEnds)
    if (esmall::EndsWithNoCase(to, end)) return format;
  return "text";
}

bool IsFormat(const std::string& format) {
  for (const char* f : {"text", "csv", "html", "xml", "pdf", "jpg"})
    if (format == f) return true;
  return false;
}

// The chooser of the ledger: the account numbered by the argument.
reports::RecordChooser AccountNamed(bf::BfShared& s, const std::string& number) {
  return [&s, number](int32_t& recNo) {
    long n = 0;
    if (number.size() != 4 || !ParseNumber(number, 0, 9999, n)) {
      std::cerr << "bfnolk show: " << number << " är inget kontonummer (fyra siffror)\n";
      return false;
    }
    bf::KontoRecord account;
    const bf::Lookup lookup = bf::FindAccount(s, number, account, recNo);
    if (lookup == bf::Lookup::kAbsent) std::cerr << "bfnolk show: konto " << number << " finns inte\n";
    return lookup == bf::Lookup::kFound;
  };
}

// The chooser of the journal: the verification with the argument's number.
reports::RecordChooser VerificationNumbered(bf::BfShared& s, const std::string& number) {
  return [&s, number](int32_t& recNo) {
    long wanted = 0;
    if (!ParseNumber(number, 1, 32767, wanted)) {
      std::cerr << "bfnolk show: " << number << " är inget verifikationsnummer\n";
      return false;
    }
    recNo = -1;
    const bool read = bf::ForEachVerification(s, [&](const bf::VerRecord& v, int32_t at) {
      if (v.number == wanted) recNo = at;
      return recNo < 0;
    });
    if (read && recNo < 0) std::cerr << "bfnolk show: verifikation " << wanted << " finns inte\n";
    return recNo > 0;
  };
}

bool Write(const std::string& format, const egridform::Table& table, egridform::LineSink& out) {
  if (format == "text") return egridform::WriteText(table, out);
  if (format == "csv") return egridform::WriteCsv(table, out);
  if (format == "html") return egridform::WriteHtml(table, out);
  if (format == "pdf") {
    // The pictures as the window has them; Qt reads them.
    const OffscreenQt qt;
    gridui::QtPdfPictures pictures;
    int height = egridform::kFirstPdfPageHeight;
    return egridform::WritePdf(table, egridform::PdfSetup::Of(ekonfig::CurRapport, "bfnolk"), pictures, height, out);
  }
  std::string reason;
  if (egridform::WriteJpeg(table, out, reason)) return true;
  std::cerr << "bfnolk show: " << ansi::ToUtf8(reason) << "\n";
  return false;
}

// The table into the file (and its style sheet beside an XML document) through the exchange
// file; file is Windows-1252.
bool WriteFile(const std::string& format, const egridform::Table& table, const std::string& file) {
  if (format == "text") {
    // Text for reading, as on standard output: UTF-8.
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    egridform::StreamSink sink(out, "\n", true);
    if (out && egridform::WriteText(table, sink) && out.flush()) return true;
    std::cerr << "bfnolk show: kan inte skriva " << ansi::ToUtf8(file) << "\n";
    return false;
  }
  const auto written = [](const std::string& name, bool ok) {
    if (!ok) std::cerr << "bfnolk show: kan inte skriva " << ansi::ToUtf8(name) << "\n";
    return ok;
  };
  if (format != "xml") {
    return written(file, egridform::ExportByName(0, file, [&](egridform::LineSink& out, const std::string&) {
                     return Write(format, table, out);
                   }));
  }
  const std::string styleSheet = egridform::StyleSheetPath(file);
  return written(file, egridform::ExportByName(0, file,
                                               [&](egridform::LineSink& out, const std::string&) {
                                                 return egridform::WriteXml(table, egridform::StyleSheetName(file),
                                                                            out);
                                               })) &&
         written(styleSheet, egridform::ExportByName(0, styleSheet, [&](egridform::LineSink& out, const std::string&) {
                   return egridform::WriteXsl(table, out);
                 }));
}

}  // namespace

bool IsShowCommand(const std::string& command) { return command == "show"; }

int ShowCommand(const std::vector<std::string>& words) {
  const Arguments a(words, {"--format", "--to"}, {});
  if (!a.ok()) {
    std::cerr << "bfnolk show: " << a.error() << "\n";
    return kUsage;
  }
  const auto& pos = a.positional();
  if (pos.size() != 2 || (pos[0] != "ledger" && pos[0] != "journal")) {
    std::cerr << "bfnolk show: ange ledger KONTO eller journal VERNR\n";
    return kUsage;
  }
  std::string to = a.Value("--to", "-");
  if (to != "-") to = CallersPath(to);
  const std::string format = a.Value("--format", FormatOfName(to));
  if (!IsFormat(format)) {
    std::cerr << "bfnolk show: --format är " << kFormats << "\n";
    return kUsage;
  }
  if (to == "-" && (format == "xml" || format == "pdf" || format == "jpg")) {
    std::cerr << "bfnolk show: --format " << format << " skrivs till en fil: ange --to FIL\n";
    return kUsage;
  }
  Session session(false, bf::Access::kReadOnly);
  if (!session.ok()) return kRefused;
  if (!session.NeedBookkeeping()) {
    PrintStatus();
    return kRefused;
  }
  bf::BfShared& s = session.db().shared();
  egridform::Table table;
  const bool shown = pos[0] == "ledger" ? reports::ShowLedger(s, AccountNamed(s, pos[1]), table, 0)
                                        : reports::ShowJournal(s, VerificationNumbered(s, pos[1]), table, 0);
  PrintStatus();
  if (!shown) return kRefused;
  if (to != "-") {
    const bool written = WriteFile(format, table, ansi::FromUtf8(to));
    PrintStatus();
    return written ? kDone : kRefused;
  }
  const bool text = format == "text";
  egridform::StreamSink out(std::cout, text ? "\n" : "\r\n", text);
  return Write(format, table, out) && std::cout.flush() ? kDone : kRefused;
}

}  // namespace bfnolk
