#include "shell/ui/edirform.h"
#include "shell/ui/StatusLine.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace shellui {

std::string StoredDataDir(std::string chosen) {
  if (chosen.size() > 1 && (chosen.back() == '/' || chosen.back() == '\\')) chosen.pop_back();
  return chosen;
}

Tedatadir::Tedatadir(const QString& start, QWidget* parent)
    : QDialog(parent),
      start_(QDir(start).exists() ? start : QString()),
      result_(start_),
      opensAt_(start_.isEmpty() ? QDir::homePath() : start_) {
  setWindowTitle(QString::fromUtf8("välj bibliotek"));
  // The folder as a path, to be typed: a folder far from the start is reached without
  // unfolding the tree down to it.
  path_ = new QLineEdit(opensAt_, this);
  path_->setObjectName("mapp");
  path_->setToolTip(QString::fromUtf8("mappens sökväg; skriv en annan och tryck Enter"));
  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  model_->setRootPath(QDir::rootPath());
  view_ = new QTreeView(this);
  view_->setModel(model_);
  for (int c = 1; c < model_->columnCount(); ++c) view_->hideColumn(c);
  view_->header()->hide();
  status_ = new StatusLine(this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("avbryt"));
  connect(buttons, &QDialogButtonBox::accepted, this, &Tedatadir::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &Tedatadir::reject);
  connect(view_, &QTreeView::doubleClicked, this, [this] { result_ = Current(); });
  connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { ShowPath(Current()); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(path_);
  layout->addWidget(view_);
  layout->addWidget(buttons);
  layout->addWidget(status_);
  resize(420, 360);
  path_->setFocus();
  path_->selectAll();
  view_->installEventFilter(this);
  view_->viewport()->installEventFilter(this);
  SetCurrent(opensAt_);
  // The model reads folders in the background and rereads a folder that changes, which can
  // drop the current index and fold the tree again; until the user moves elsewhere, each
  // folder that arrives puts the start back as current and in view.
  followStart_ = true;
  connect(model_, &QFileSystemModel::directoryLoaded, this, [this] {
    if (!followStart_) return;
    const QModelIndex start = model_->index(opensAt_);
    for (QModelIndex up = start.parent(); up.isValid(); up = up.parent()) view_->expand(up);
    view_->setCurrentIndex(start);
    view_->scrollTo(start, QAbstractItemView::PositionAtCenter);
  });
}

bool Tedatadir::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress) {
    followStart_ = false;
    path_->setModified(false);  // a folder chosen in the tree replaces a typed one
  }
  return QDialog::eventFilter(watched, event);
}

void Tedatadir::ShowPath(const QString& dir) {
  status_->showMessage(dir);
  if (path_->isModified()) return;  // what the user types stays until the tree is used
  path_->setText(dir);
  path_->selectAll();
}

QString Tedatadir::Current() const { return model_->filePath(view_->currentIndex()); }

void Tedatadir::SetCurrent(const QString& dir) {
  followStart_ = false;
  const QModelIndex index = model_->index(dir);
  view_->setCurrentIndex(index);
  view_->scrollTo(index);
  path_->setModified(false);
  ShowPath(dir);
}

void Tedatadir::accept() {
  const QString typed = QDir::cleanPath(path_->text().trimmed());
  if (typed.isEmpty() || typed == ".") {
    result_ = Current();
  } else if (QFileInfo(typed).isDir()) {
    result_ = QFileInfo(typed).absoluteFilePath();
  } else {
    QApplication::beep();
    status_->showMessage(QString::fromUtf8("mappen finns inte: ") + typed);
    path_->setFocus();
    path_->selectAll();
    return;
  }
  QDialog::accept();
}

void Tedatadir::reject() {
  result_ = start_;
  QDialog::reject();
}

QString Tedatadir::Choose(const QString& caption, const QString& start, QWidget* parent) {
  Tedatadir dialog(start, parent);
  dialog.setWindowTitle(caption);
  return dialog.exec() == QDialog::Accepted ? dialog.Result() : QString();
}

}  // namespace shellui
