#include "exchange/EfileDlg.h"

namespace eixport {

namespace {

// Where no one can be asked, nothing is chosen.
class CancellingDialogs : public FileDialogs {
 public:
  std::optional<std::string> Choose(const FileDialogRequest&) override { return std::nullopt; }
};

FileDialogs& Cancelling() {
  static CancellingDialogs none;
  return none;
}

FileDialogs* current = nullptr;

}  // namespace

FileDialogs& CurrentFileDialogs() { return current != nullptr ? *current : Cancelling(); }

FileDialogs* InstallFileDialogs(FileDialogs* dialogs) {
  FileDialogs* previous = current;
  current = dialogs;
  return previous;
}

std::optional<std::string> GivenFileDialogs::Choose(const FileDialogRequest& request) {
  requests.push_back(request);
  if (names.empty()) return std::nullopt;
  std::string name = std::move(names.front());
  names.pop_front();
  return name;
}

}  // namespace eixport
