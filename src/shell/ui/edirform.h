// Tedatadir: the data-directory chooser. It keeps the starting directory and the result,
// both the starting one at first (cleared when it does not exist, and the tree then opens
// at the home folder); OK takes the directory
// of the path field "mapp", which shows the tree's current one until another is typed (a
// path that is no directory is refused on the status line), Cancel puts the starting one
// back.
#pragma once

#include <QDialog>
#include <QString>

#include <string>

class QFileSystemModel;
class QLineEdit;
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
  // The path field shows dir unless the user has typed there; the status line always does.
  void ShowPath(const QString& dir);

  QString start_;
  QString result_;
  QString opensAt_;  // the start, or the home folder when there is none
  QLineEdit* path_;
  QFileSystemModel* model_;
  QTreeView* view_;
  QStatusBar* status_;
  bool followStart_ = false;  // the start is put back as current while the folders are read
};

}  // namespace shellui
