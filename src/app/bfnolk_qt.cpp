#include "app/bfnolk_qt.h"

#include <iostream>

namespace bfnolk {

OffscreenQt::OffscreenQt() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << "bfnolk: " << text.toStdString() << "\n";
  });
  application_.emplace(argc_, argv_);
}

}  // namespace bfnolk
