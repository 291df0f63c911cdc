#include "shell/ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstring>

namespace shellui {

namespace {

// The Swedish catalogue Debian ships is Qt 4's: it keeps the standard buttons' texts under
// QDialogButtonBox, where Qt 6 looks for them under the platform theme. What the theme's
// lookup does not find is looked up again under QDialogButtonBox.
class SwedishQtTexts : public QTranslator {
 public:
  using QTranslator::QTranslator;

  QString translate(const char* context, const char* source, const char* disambiguation, int n) const override {
    const QString text = QTranslator::translate(context, source, disambiguation, n);
    if (!text.isEmpty() || context == nullptr ||
        (std::strcmp(context, "QPlatformTheme") != 0 && std::strcmp(context, "QGnomeTheme") != 0))
      return text;
    return QTranslator::translate("QDialogButtonBox", source, disambiguation, n);
  }
};

}  // namespace

bool InstallSwedishQtTexts() {
  auto* texts = new SwedishQtTexts(QCoreApplication::instance());  // goes with the application
  if (!texts->load("qt_sv", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete texts;
    return false;
  }
  return QCoreApplication::installTranslator(texts);
}

}  // namespace shellui
