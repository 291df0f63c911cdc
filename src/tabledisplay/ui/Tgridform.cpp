#include "tabledisplay/ui/Tgridform.h"

#include "shell/ui/StatusLine.h"
#include "tabledisplay/ui/QtPdfPictures.h"

#include <QAbstractButton>
#include <QAbstractTableModel>
#include <QApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include <optional>

#include "common/Ansi.h"
#include "printing/ewrite32.h"
#include "printing/ui/QtReportRun.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "shell/ui/QtText.h"
#include "shell/ui/emainform.h"
#include "tabledisplay/egridform_ixport.h"
#include "tabledisplay/egridform_jpeg.h"
#include "tabledisplay/egridform_pdf.h"
#include "tabledisplay/egridform_print.h"
#include "tabledisplay/egridform_writers.h"

namespace gridui {

using shellui::FromAnsi;
using shellui::ToAnsi;

namespace {

constexpr int kTextInset = 2;

QPointer<Tgridform>& NewestWindow() {
  static QPointer<Tgridform> newest;
  return newest;
}

// The PDF page height the program keeps from one export to the next.
int& HeldPdfHeight() {
  static int height = egridform::kFirstPdfPageHeight;
  return height;
}

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

// A fixed cell as the window draws it: the fixed colour, the text 2 pixels in.
void PaintFixedCell(QPainter& painter, const QRect& rect, const QString& text, const QPalette& palette) {
  painter.save();
  painter.fillRect(rect, palette.button());
  painter.setPen(palette.mid().color());
  painter.drawLine(rect.topRight(), rect.bottomRight());
  painter.drawLine(rect.bottomLeft(), rect.bottomRight());
  painter.setPen(palette.buttonText().color());
  painter.drawText(rect.adjusted(kTextInset, kTextInset, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
  painter.restore();
}

}  // namespace

// The table without its head row and first column, which the headers show.
class TableItemModel : public QAbstractTableModel {
 public:
  explicit TableItemModel(const egridform::Table& table, QObject* parent)
      : QAbstractTableModel(parent), table_(table) {}

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : std::max(0, table_.RowCount() - 1);
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : std::max(0, table_.ColCount() - 1);
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return FromAnsi(table_.CellText(index.column() + 1, index.row() + 1));
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (role != Qt::DisplayRole) return {};
    return orientation == Qt::Horizontal ? FromAnsi(table_.CellText(section + 1, 0))
                                         : FromAnsi(table_.CellText(0, section + 1));
  }
  void Refresh() {
    beginResetModel();
    endResetModel();
  }

 private:
  const egridform::Table& table_;
};

namespace {

class FixedHeader : public QHeaderView {
 public:
  FixedHeader(Qt::Orientation orientation, QWidget* parent) : QHeaderView(orientation, parent) {
    setSectionsClickable(false);
    setHighlightSections(false);
  }

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
    if (!rect.isValid()) return;
    PaintFixedCell(*painter, rect, model()->headerData(logicalIndex, orientation()).toString(), palette());
  }
};

// The corner of the two headers is cell (0, 0).
class CornerPainter : public QObject {
 public:
  CornerPainter(const egridform::Table& table, QObject* parent) : QObject(parent), table_(table) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    auto* corner = static_cast<QWidget*>(watched);
    QPainter painter(corner);
    PaintFixedCell(painter, corner->rect(), FromAnsi(table_.CellText(0, 0)), corner->palette());
    return true;
  }

 private:
  const egridform::Table& table_;
};

egridform::GridMetrics MetricsOf(const QWidget* grid, int windowScale) {
  const QFont font = grid->font();
  const int points = font.pointSize() > 0 ? font.pointSize() : font.pixelSize() * 72 / 96;
  return {[metrics = QFontMetrics(font)](const std::string& text) { return metrics.horizontalAdvance(FromAnsi(text)); },
          points, egridform::TableScale(windowScale)};
}

}  // namespace

Tgridform::Tgridform(QWidget* owner, const std::string& caption, int windowScale) : QWidget(owner, Qt::Window) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(FromAnsi(caption));
  if (const auto* shell = dynamic_cast<const shellui::TNolkMainForm*>(owner)) background_ = shell->Background();

  grid_ = new QTableView(this);
  grid_->setObjectName(Text("Grid"));
  grid_->setHorizontalHeader(new FixedHeader(Qt::Horizontal, grid_));
  grid_->setVerticalHeader(new FixedHeader(Qt::Vertical, grid_));
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  // Rows as high as a line of the grid's font and the 2 pixels above and below it.
  const int rowHeight = QFontMetrics(grid_->font()).height() + 2 * kTextInset + 1;
  grid_->verticalHeader()->setMinimumSectionSize(rowHeight);
  grid_->verticalHeader()->setDefaultSectionSize(rowHeight);
  grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // The arrows move between the cells; Tab goes on to the buttons, which the keyboard could
  // not reach otherwise.
  grid_->setTabKeyNavigation(false);
  table_ = egridform::Table(MetricsOf(grid_, windowScale));
  table_.Open(0, caption);
  model_ = new TableItemModel(table_, this);
  grid_->setModel(model_);
  if (auto* corner = grid_->findChild<QAbstractButton*>()) corner->installEventFilter(new CornerPainter(table_, this));

  auto* close = new QPushButton(Text("stäng"), this);
  close->setObjectName(Text("stang"));
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QWidget::close);

  auto* group = new QGroupBox(Text("export"), this);
  auto* buttons = new QHBoxLayout(group);
  const struct {
    const char* name;
    const char* caption;
    const char* hint;
    void (Tgridform::*command)();
  } kButtons[] = {
      {"skriv", "skriv", "utskrift med windows utskriftsrutiner", &Tgridform::Print},
      {"htm", "htm", "exportera till htm-fil för publicering på weben", &Tgridform::ExportHtml},
      {"xml", "xml/xslt",
       "exportera till xml/xsl filer för publicering på weben och/eller för att hantera i xml applikationer",
       &Tgridform::ExportXml},
      {"pdf", "pdf", "exportera till acrobat reader pdf filer för publicering på weben", &Tgridform::ExportPdf},
      {"jpg", "jpg", "exportera hela tabellen som en jpg-bild", &Tgridform::ExportJpeg},
      {"csv", "csv", "exportera till csv-fil för kalkylprogram", &Tgridform::ExportCsv},
  };
  for (const auto& b : kButtons) {
    auto* button = new QPushButton(Text(b.caption), group);
    button->setObjectName(Text(b.name));
    button->setToolTip(Text(b.hint));
    connect(button, &QPushButton::clicked, this, [this, command = b.command] { (this->*command)(); });
    buttons->addWidget(button);
  }

  statusBar_ = new shellui::StatusLine(this);
  statusBar_->setSizeGripEnabled(true);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(group);
  bottom->addStretch();
  bottom->addWidget(close, 0, Qt::AlignBottom);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 0);
  layout->addWidget(grid_, 1);
  layout->addLayout(bottom);
  layout->addWidget(statusBar_);

  const int scale = egridform::TableScale(windowScale);
  setMinimumSize(kClientWidth, kClientHeight);
  resize(kClientWidth * scale / 100, kClientHeight * scale / 100);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  NewestWindow() = this;
}

Tgridform::~Tgridform() = default;

Tgridform* Tgridform::Newest() { return NewestWindow().data(); }

void Tgridform::ShowTable() {
  model_->Refresh();
  grid_->verticalHeader()->setFixedWidth(std::max(1, table_.ColWidth(0)));
  for (int32_t c = 1; c < table_.ColCount(); ++c) grid_->setColumnWidth(c - 1, table_.ColWidth(c));
  show();
}

QPushButton* Tgridform::Button(const QString& name) const { return findChild<QPushButton*>(name); }

QString Tgridform::Status() const { return statusBar_->currentMessage(); }

// A window, not a dialog: Esc closes it as it would a dialog.
void Tgridform::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) close();
  else QWidget::keyPressEvent(event);
}

void Tgridform::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(rect(), shellui::BackgroundPicture(background_, size()));
}

void Tgridform::ShowStatus() { statusBar_->showMessage(FromAnsi(eerror::StatusMsg)); }

void Tgridform::Print() {
  printui::PrintReport([this](printing::PrintJob& job) {
    return egridform::PrintTable(job, table_, ekonfig::CurRapport, static_cast<esmall::WindowHandle>(winId()));
  });
  ShowStatus();
}

bool Tgridform::Export(const char* pattern, const char* defaultExt,
                       const std::function<bool(egridform::LineSink&)>& write, std::string& file) {
  const bool written = egridform::ExportWithDialog(
      static_cast<esmall::WindowHandle>(winId()), pattern, defaultExt,
      [&write](egridform::LineSink& out, const std::string&) { return write(out); }, file);
  ShowStatus();
  return written;
}

void Tgridform::ExportHtml() {
  std::string file;
  Export(
      "*.htm;*.html", "htm", [this](egridform::LineSink& out) { return egridform::WriteHtml(table_, out); }, file);
}

void Tgridform::ExportXml() {
  std::string file;
  const bool written = Export(
      "*.xml", "xml",
      [this, &file](egridform::LineSink& out) {
        return egridform::WriteXml(table_, egridform::StyleSheetName(file), out);
      },
      file);
  if (!written || egridform::StyleSheetName(file).empty()) return;
  egridform::ExportByName(
      static_cast<esmall::WindowHandle>(winId()), egridform::StyleSheetPath(file),
      [this](egridform::LineSink& out, const std::string&) { return egridform::WriteXsl(table_, out); });
  ShowStatus();
}

void Tgridform::ExportPdf() {
  std::string file;
  Export(
      "*.pdf", "pdf",
      [this](egridform::LineSink& out) {
        QtPdfPictures pictures;
        const std::string creator = parentWidget() != nullptr ? ToAnsi(parentWidget()->window()->windowTitle()) : "";
        return egridform::WritePdf(table_, egridform::PdfSetup::Of(ekonfig::CurRapport, creator), pictures,
                                   HeldPdfHeight(), out);
      },
      file);
}

void Tgridform::ExportJpeg() {
  std::string file, reason;
  const bool written = Export(
      "*.jpg;*.jpeg", "jpg",
      [this, &reason](egridform::LineSink& out) { return egridform::WriteJpeg(table_, out, reason); }, file);
  if (!written && !reason.empty()) {
    eerror::StatusMsg = reason;
    ShowStatus();
  }
}

void Tgridform::ExportCsv() {
  std::string file;
  Export(
      "*.csv", "csv", [this](egridform::LineSink& out) { return egridform::WriteCsv(table_, out); }, file);
}

bool GridRows::Open(esmall::WindowHandle, const std::string& caption) {
  new Tgridform(owner_, caption, scale_);  // deletes itself when closed
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  cursorSet_ = true;
  return true;
}

void GridRows::Cell(const std::string& text) {
  if (Tgridform* window = Tgridform::Newest()) window->Table().Cell(text);
}

void GridRows::RowEnd(const std::string& text) {
  if (Tgridform* window = Tgridform::Newest()) window->Table().RowEnd(text);
}

void GridRows::Show() {
  if (cursorSet_) QGuiApplication::restoreOverrideCursor();
  cursorSet_ = false;
  if (Tgridform* window = Tgridform::Newest()) window->ShowTable();
}

}  // namespace gridui
