// Qt's own dialogs that the program opens (the printer of a setting, files to import or
// export, pictures) speak Swedish, also where Debian's catalogue lacks Qt 6's texts.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTabWidget>

namespace {

// Every text a user reads in window: labels, buttons, group and tab titles, list entries.
QStringList VisibleTexts(const QWidget& window) {
  QStringList texts;
  for (const QLabel* label : window.findChildren<QLabel*>())
    if (label->isVisibleTo(&window)) texts << label->text();
  for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
    if (button->isVisibleTo(&window)) texts << button->text() << button->toolTip();
  for (const QGroupBox* box : window.findChildren<QGroupBox*>())
    if (box->isVisibleTo(&window)) texts << box->title();
  for (const QTabWidget* tabs : window.findChildren<QTabWidget*>())
    for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i);
  for (const QComboBox* combo : window.findChildren<QComboBox*>())
    if (combo->isVisibleTo(&window))
      for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
  texts.removeAll(QString());
  return texts;
}

// English words of Qt's dialogs that have a Swedish form.
QStringList English(const QStringList& texts) {
  static const QStringList words = {"Print", "Options", "Copies", "Pages", "Page", "Output", "Reverse",
                                    "Name", "Properties", "Location", "Type", "Look in", "Computer",
                                    "Cancel", "Color", "Folder", "Open", "Save", "Choose", "File"};
  QStringList found;
  for (const QString& text : texts)
    for (const QString& word : words)
      if (QString(text).remove('&').contains(QRegularExpression("\\b" + word + "\\b"))) found << text;
  return found;
}

bool CatalogueInstalled() {
  return QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qt_sv.qm");
}

}  // namespace

TEST(SwedishQtTexts, ThePrinterDialogWithItsOptions) {
  if (!CatalogueInstalled()) GTEST_SKIP() << "qt6-translations-l10n is not installed";
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  QPrintDialog dialog(&printer);
  dialog.show();
  for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
    if (button->text().contains(">>")) button->click();  // the options
  QApplication::processEvents();
  const QStringList texts = VisibleTexts(dialog);
  EXPECT_GT(texts.size(), 15);
  EXPECT_EQ(English(texts).join(" | ").toStdString(), "");
}

TEST(SwedishQtTexts, TheFileDialogsToOpenAndToSave) {
  if (!CatalogueInstalled()) GTEST_SKIP() << "qt6-translations-l10n is not installed";
  for (const QFileDialog::AcceptMode mode : {QFileDialog::AcceptOpen, QFileDialog::AcceptSave}) {
    QFileDialog dialog(nullptr, "fil", "/tmp");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.show();
    QApplication::processEvents();
    const QStringList texts = VisibleTexts(dialog);
    EXPECT_EQ(English(texts).join(" | ").toStdString(), "");
  }
}
