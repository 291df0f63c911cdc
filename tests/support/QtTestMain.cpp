// The main of the window tests: one QApplication for all of them, with Qt's Swedish texts as
// the window program has them, offscreen unless the caller chose a platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "shell/ui/QtTranslations.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  shellui::InstallSwedishQtTexts();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
