// The file dialog the exchange files are chosen with, behind an interface: the window
// program shows Qt's dialog, the command line and the tests hand over a given name. Exactly
// one is current at any time; until another is installed it is one with no name to give,
// which answers every request as cancelled.
//
// Names handed over and back are Windows-1252, as the storage engine takes them; '\' and '/'
// both separate folders.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "shell/ESmall_HandleStack.h"

namespace eixport {

struct FileDialogRequest {
  esmall::WindowHandle owner = 0;
  bool save = false;       // a save dialog; else an open dialog, which wants the file to exist
  std::string title;       // "Spara fil som..." or "Välj filnamn"
  std::string filter;      // "description|patterns|description|patterns", patterns ";"-separated
  std::string defaultExt;  // without its dot; added to a typed name that has none
  std::string startDir;    // the folder the dialog shows first
  std::string startName;   // the file name it starts with; may be empty
};

// Every dialog hides the read-only box, leaves the current directory alone and wants the
// chosen file's folder to exist.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The chosen file's full name, nothing when the user cancelled.
  virtual std::optional<std::string> Choose(const FileDialogRequest& request) = 0;
};

FileDialogs& CurrentFileDialogs();
// Makes dialogs current (nullptr: the one that always cancels) and returns the one it
// replaces. The caller keeps ownership and keeps dialogs alive while it is current.
FileDialogs* InstallFileDialogs(FileDialogs* dialogs);

class ScopedFileDialogs {
 public:
  explicit ScopedFileDialogs(FileDialogs& dialogs) : previous_(InstallFileDialogs(&dialogs)) {}
  ~ScopedFileDialogs() { InstallFileDialogs(previous_); }
  ScopedFileDialogs(const ScopedFileDialogs&) = delete;
  ScopedFileDialogs& operator=(const ScopedFileDialogs&) = delete;

 private:
  FileDialogs* previous_;
};

// The command line's and the tests' dialog: answers with the given names in turn, and as
// cancelled once none is left; every request is kept.
class GivenFileDialogs : public FileDialogs {
 public:
  GivenFileDialogs() = default;
  explicit GivenFileDialogs(std::string name) { names.push_back(std::move(name)); }

  std::deque<std::string> names;
  std::vector<FileDialogRequest> requests;

  std::optional<std::string> Choose(const FileDialogRequest& request) override;
};

}  // namespace eixport
