#include "shell/ui/QtPrinterSystem.h"

#include "printing/PrinterSelect.h"
#include "shell/ui/QtText.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

namespace shellui {

namespace {

// CUPS names no port; the jobs go through its queue.
const char kCupsPort[] = "CUPS";

int16_t PaperOf(const QPageSize& size) {
  const int id = size.isValid() ? size.windowsId() : 0;
  return id > 0 ? static_cast<int16_t>(id) : printing::kPaperA4;
}

int16_t OrientationOf(QPageLayout::Orientation orientation) {
  return orientation == QPageLayout::Landscape ? printing::kLandscape : printing::kPortrait;
}

}  // namespace

QtPrinterSystem::QtPrinterSystem() { selected_ = printing::DefaultPrinter(*this); }

std::vector<printing::Printer> QtPrinterSystem::RealPrinters() const {
  std::vector<printing::Printer> printers;
  for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) printers.push_back(PrinterOf(info));
  return printers;
}

std::string QtPrinterSystem::DefaultPrinterName() const { return ToAnsi(QPrinterInfo::defaultPrinterName()); }

bool QtPrinterSystem::Select(const printing::Printer& printer) {
  if (!printing::IsPdfFilePrinter(printer.device) &&
      QPrinterInfo::printerInfo(FromAnsi(printer.device)).isNull())
    return false;
  selected_ = printer;
  return true;
}

void InstallQtPrinterSystem() {
  static QtPrinterSystem* installed = nullptr;
  if (installed != nullptr) return;
  installed = new QtPrinterSystem;  // lives for the run, as the selection must
  printing::InstallPrinterSystem(installed);
}

printing::Printer PrinterOf(const QPrinterInfo& info) {
  printing::Printer printer;
  printer.driver = ToAnsi(info.makeAndModel().isEmpty() ? QStringLiteral("CUPS") : info.makeAndModel());
  printer.device = ToAnsi(info.printerName());
  printer.port = kCupsPort;
  printer.mode.paperSize = PaperOf(info.defaultPageSize());
  return printer;
}

void ConfigurePrinter(QPrinter& qprinter, const printing::Printer& printer) {
  if (printing::IsPdfFilePrinter(printer.device)) {
    qprinter.setOutputFormat(QPrinter::PdfFormat);
  } else {
    qprinter.setOutputFormat(QPrinter::NativeFormat);
    qprinter.setPrinterName(FromAnsi(printer.device));
  }
  const QPageSize::PageSizeId paper = QPageSize::id(printer.mode.paperSize);
  qprinter.setPageSize(QPageSize(paper == QPageSize::Custom ? QPageSize::A4 : paper));
  qprinter.setPageOrientation(printer.mode.orientation == printing::kLandscape ? QPageLayout::Landscape
                                                                               : QPageLayout::Portrait);
  qprinter.setCopyCount(std::max<int>(1, printer.mode.copies));
  // Else the set-up dialog's OK would store the screen's resolution as the print quality.
  if (printer.mode.printQuality > 0) qprinter.setResolution(printer.mode.printQuality);
}

printing::Printer PrinterOf(const QPrinter& qprinter) {
  printing::Printer printer = printing::PdfFilePrinter();
  if (qprinter.outputFormat() == QPrinter::NativeFormat) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(qprinter.printerName());
    if (!info.isNull()) printer = PrinterOf(info);
  }
  printer.mode.paperSize = PaperOf(qprinter.pageLayout().pageSize());
  printer.mode.orientation = OrientationOf(qprinter.pageLayout().orientation());
  printer.mode.copies = static_cast<int16_t>(std::clamp(qprinter.copyCount(), 1, 9999));
  const int resolution = std::clamp(qprinter.resolution(), 72, 9600);
  printer.mode.printQuality = static_cast<int16_t>(resolution);
  printer.mode.yResolution = static_cast<int16_t>(resolution);
  return printer;
}

}  // namespace shellui
