// Tgridform: the table window. A report builds its table through the row-building
// operations (GridRows, on the newest window), then the window shows it without blocking:
// several may be open at once. The grid shows row 0 and column 0 as its fixed head row and
// first column (grey, the text 2 pixels in from the cell's corner), which stay in view when
// the rest scrolls; the columns are as wide as the table says and the user may widen them.
// The "export" group prints the table ("skriv") or writes it through the exchange file as
// HTML, XML with its style sheet, PDF, JPEG or CSV; "stäng" closes the window. The
// window's status bar says how the last command went.
#pragma once

#include <QWidget>

#include <memory>
#include <string>

#include "tabledisplay/egridform.h"
#include "tabledisplay/egridform_sink.h"

class QPushButton;
class QStatusBar;
class QTableView;

namespace gridui {

class TableItemModel;

class Tgridform : public QWidget {
 public:
  static constexpr int kClientWidth = 617;
  static constexpr int kClientHeight = 492;

  // A new window of owner (a top-level window) with caption; the newest from now on.
  // windowScale: the shell's window scale, taken by the table's scale rule.
  Tgridform(QWidget* owner, const std::string& caption, int windowScale);
  ~Tgridform() override;

  // The newest table window, which the row-building operations fill; nullptr when none is open.
  static Tgridform* Newest();

  egridform::Table& Table() { return table_; }
  // Shows the table as built so far and the window, without waiting for it to close.
  void ShowTable();

  // The buttons' commands.
  void Print();
  void ExportHtml();
  void ExportXml();
  void ExportPdf();
  void ExportJpeg();
  void ExportCsv();

  QTableView* Grid() const { return grid_; }
  QPushButton* Button(const QString& name) const;
  QString Status() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // Writes a document into a file chosen in the exchange file's dialog; false when cancelled
  // or not written. file: the chosen file.
  bool Export(const char* pattern, const char* defaultExt, const std::function<bool(egridform::LineSink&)>& write,
              std::string& file);
  void ShowStatus();

  egridform::Table table_;
  TableItemModel* model_ = nullptr;
  QTableView* grid_ = nullptr;
  QStatusBar* statusBar_ = nullptr;
  int background_ = 1;
};

// The row-building operations of the reports, on a new window of owner for each table.
class GridRows : public egridform::TableRows {
 public:
  GridRows(QWidget* owner, int windowScale) : owner_(owner), scale_(windowScale) {}
  bool Open(esmall::WindowHandle owner, const std::string& caption) override;
  void Cell(const std::string& text) override;
  void RowEnd(const std::string& text = "") override;
  void Show() override;

 private:
  QWidget* owner_;
  int scale_;
  bool cursorSet_ = false;
};

}  // namespace gridui
