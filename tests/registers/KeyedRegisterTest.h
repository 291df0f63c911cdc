// The fixture of a keyed register's tests: the register over its real file in a folder of
// its own with the test's scripted dialog, message boxes that record, a fixed clock, and a
// print job on the recording canvas: an A4 page at 100 units per inch, so a tenth of a
// millimetre is 100/254 units.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "../storage/TempFolder.h"
#include "RecordingCanvas.h"
#include "printing/ewrite32_dialog.h"
#include "registers/ekeyedreg32.h"
#include "shell/ETider.h"
#include "shell/GloDefs.h"
#include "shell/Eerror32.h"

// The printer the settings of the tests are filled for: "Laser", A4 portrait.
inline printing::TPrinterEnv LaserA4() {
  printing::TPrinterEnv printer;
  printer.SetNames("CUPS", "Laser", "ipp://laser");
  printer.SetDefaultPageSetup(printing::kPaperA4, printing::kPortrait);
  return printer;
}

// Label setting n (1..10) as a new configuration has it, on LaserA4.
inline glodefs::TEtikettEnv LabelSetting(int n) {
  glodefs::TKonfigRec konfig;
  glodefs::TEtikettEnv setting;
  setting.FillDefaults(n, LaserA4(), konfig);
  return setting;
}

// Reg is made over the file as Reg(fb, lead..., dialog).
template <class Reg, class Dialog>
class KeyedRegisterTest : public ::testing::Test {
 protected:
  // The register over the file name (created with records of recordSize bytes).
  template <class... Lead>
  void OpenRegister(const std::string& name, int32_t recordSize, Lead... lead) {
    ASSERT_GT(isam::InitIsam(0, 200), 0);
    ASSERT_TRUE(ereg::OpenOrCreateKeyedFile(fb, name, recordSize));
    reg = std::make_unique<Reg>(fb, lead..., dialog);
    eerror::StatusMsg.clear();
    canvas.page = {827, 1169, 100, 100, false};
  }
  void TearDown() override {
    reg.reset();
    if (fb) isam::CloseFileBlock(fb);
    isam::ExitIsam();
  }
  // Tenths of a millimetre in canvas units.
  static int Dev(double tenths) { return static_cast<int>(std::lround(tenths * 100.0 / 254.0)); }

  TempFolder dir;
  isam::FileBlock* fb = nullptr;
  Dialog dialog;
  std::unique_ptr<Reg> reg;
  eerror::RecordingMessageBoxes boxes;
  eerror::ScopedMessageBoxes installedBoxes{boxes};
  etider::SetClock clock{2026, 3, 1, 12, 0, 0};
  etider::ScopedClock installedClock{clock};
  printing::RecordingReportDialogs dialogs;
  printing::RecordingCanvas canvas;
  printing::PrintJob job{canvas, dialogs};
};
