// Tedatadir: the data-directory chooser. It keeps the starting directory and the result,
// both the starting one at first (cleared when it does not exist); OK takes the list's
// current directory, Cancel puts the starting one back.
#pragma once

#include <QDialog>
#include <QString>

#include <string>

class QFileSystemModel;
class QTreeView;
class QStatusBar;

namespace shellui {

// A chosen directory as it is stored: one trailing slash (or backslash) removed, the root kept.
std::string StoredDataDir(std::string chosen);

class Tedatadir : public QDialog {
 public:
  Tedatadir(const QString& start, QWidget* parent = nullptr);

  QString Result() const { return result_; }
  QString Current() const;
  void SetCurrent(const QString& dir);
  void accept() override;
  void reject() override;

  // Any directory with caption; empty when cancelled.
  static QString Choose(const QString& caption, const QString& start, QWidget* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;  // a key or click ends the following

 private:
  QString start_;
  QString result_;
  QFileSystemModel* model_;
  QTreeView* view_;
  QStatusBar* status_;
  bool followStart_ = false;  // the start is put back as current while the folders are read
};

}  // namespace shellui
