// bfnolkw64: the window program. One instance at a time; the splash shows while the
// bookkeeping window starts, then the message loop runs until the window closes.
//
// A second start says "bokföringsnolk körs redan" in a box captioned "info", also on
// standard error, and ends with status 1. Scripts and tests that start the program without
// a person at it set BFNOLKW64_UNATTENDED=1: when standard input is then not a terminal,
// that box closes by itself.
#include "bookkeeping_ui/bfmainw32.h"
#include "exchange/ui/QtFileDialogs.h"
#include "printing/ui/QtReportDialog.h"
#include "shell/Eerror32_MessageBoxes.h"
#include "shell/ui/InstanceGuard.h"
#include "shell/ui/QtCountForm.h"
#include "shell/ui/QtMessageBoxes.h"
#include "shell/ui/QtPrinterSystem.h"
#include "shell/ui/QtTranslations.h"
#include "shell/ui/TerminationSignals.h"
#include "shell/ui/esplashform.h"

#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kOutOfMemoryExit = 8;  // after "Minnesbrist!!", the code InitKonfig names
constexpr const char* kAlreadyRunning = "bokföringsnolk körs redan";

bool Unattended() { return qEnvironmentVariable("BFNOLKW64_UNATTENDED") == "1" && isatty(0) == 0; }

int RefuseSecondInstance() {
  std::cerr << "bfnolkw64: " << kAlreadyRunning << std::endl;
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8("info"), QString::fromUtf8(kAlreadyRunning),
                  QMessageBox::Ok);
  if (Unattended()) QTimer::singleShot(0, &box, &QMessageBox::accept);
  box.exec();
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (!shellui::InstallSwedishQtTexts())
    std::cerr << "bfnolkw64: Qt:s svenska texter saknas (paketet qt6-translations-l10n), knapparna blir engelska"
              << std::endl;
  shellui::InstanceGuard guard("bfnolkw64");
  if (!guard.Held()) return RefuseSecondInstance();
  shellui::QtMessageBoxes boxes;
  eerror::ScopedMessageBoxes installedBoxes(boxes);
  shellui::QtProgressWindows progress;
  shellui::ScopedProgressWindows installedProgress(progress);
  printui::QtReportDialogs reportDialogs;
  printui::ScopedReportDialogs installedReportDialogs(reportDialogs);
  exchangeui::QtFileDialogs fileDialogs;
  eixport::ScopedFileDialogs installedFileDialogs(fileDialogs);
  shellui::InstallQtPrinterSystem();  // the default printer at start comes from CUPS
  shellui::TerminationSignals terminations;  // a SIGTERM closes the books and keeps the settings

  shellui::TSplashScreen splash;
  splash.ShowNow();

  QApplication::setApplicationName("bfnolkw64");
  std::vector<std::string> args(argv + 1, argv + argc);
  bfui::TMainForm form(args);
  if (!form.Started()) return kOutOfMemoryExit;
  splash.close();
  form.show();
  return app.exec();  // the window's end closes the books and writes the settings
}
