// bfnolkw64: the window program. One instance at a time; the splash shows while the shell
// window starts, then the message loop runs until the window closes.
#include "common/Ansi.h"
#include "shell/ECountForm.h"
#include "shell/Eerror32_MessageBoxes.h"
#include "shell/GloDefs.h"
#include "shell/ekonfig32_command.h"
#include "shell/ui/InstanceGuard.h"
#include "shell/ui/QtMessageBoxes.h"
#include "shell/ui/emainform.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  shellui::InstanceGuard guard("bfnolkw64");
  if (!guard.Held()) {
    QMessageBox::information(nullptr, QString::fromUtf8("info"),
                             QString::fromUtf8("bokföringsnolk körs redan"));
    return 0;
  }
  shellui::QtMessageBoxes boxes;
  eerror::ScopedMessageBoxes installed(boxes);

  QLabel splash;
  splash.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::SplashScreen);
  splash.setWindowTitle(QString::fromUtf8("n  o  l  k"));
  splash.setPixmap(shellui::BackgroundPicture(shellui::kBackgrounds, QSize(424, 350)));
  splash.show();
  app.processEvents();

  QApplication::setApplicationName("bfnolkw64");
  glodefs::ProgName = "BFNOLKW64";
  shellui::TNolkMainForm form;
  form.setWindowTitle(QString::fromUtf8("bokföringsnolk"));
  form.ProgramInit(ekonfig::kBookkeepingProgNr);
  form.NolkFormCreate();
  splash.close();
  form.show();
  const int code = app.exec();
  form.ProgramExit();
  return code;
}
