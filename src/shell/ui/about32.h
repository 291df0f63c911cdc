// The two information boxes of the "info" button, one of them chosen at random each time:
// TAboutBox tells in plain text what the program is, its build, its licence and where its
// data and settings live; TAboutLinksBox tells the same with links that open the handbook,
// the data directory and the settings folder on this machine. Nothing points off the machine.
#pragma once

#include <QDialog>
#include <QString>

#include <string>

class QLabel;

namespace shellui {

// The program and when it was built (Windows-1252): the first message of a run.
std::string BuildStamp();

// The handbook that ships with the program (doc/handbok/index.html), as a local path: the one
// installed beside the program in programDir when it is there, else the one of the sources
// the program was built from. Without programDir, the running program's folder.
QString HandbookPath(const QString& programDir);
QString HandbookPath();

class TAboutBox : public QDialog {
 public:
  explicit TAboutBox(QWidget* parent = nullptr);
  QString Text() const;

 private:
  QLabel* text_ = nullptr;
};

class TAboutLinksBox : public QDialog {
 public:
  explicit TAboutLinksBox(QWidget* parent = nullptr);
  QString Text() const;
  // The targets of the link labels, in order: handbook, data directory, settings folder.
  QStringList Links() const;

 private:
  QLabel* text_ = nullptr;
  QStringList links_;
};

// Shows box 0 (TAboutBox) or 1 (TAboutLinksBox) modally.
void ShowAboutBox(int which, QWidget* parent);

}  // namespace shellui
