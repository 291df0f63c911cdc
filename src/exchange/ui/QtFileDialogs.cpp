#include "exchange/ui/QtFileDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QStringList>

#include "common/Ansi.h"
#include "exchange/EFileDlgAction.h"
#include "shell/ESmall_HandleStack.h"
#include "shell/Eerror32.h"
#include "shell/ui/QtText.h"

namespace exchangeui {

namespace {

QWidget* Owner(esmall::WindowHandle owner) {
  QWidget* w = QWidget::find(static_cast<WId>(owner != 0 ? owner : esmall::OwnerWindows().Top()));
  return w != nullptr ? w : QApplication::activeWindow();
}

QString LinuxPath(const std::string& name) {
  std::string path = name;
  for (char& c : path)
    if (c == '\\') c = '/';
  return shellui::FromAnsi(path);
}

}  // namespace

std::optional<std::string> QtFileDialogs::Choose(const eixport::FileDialogRequest& request) {
  QFileDialog dialog(Owner(request.owner), shellui::FromAnsi(request.title), LinuxPath(request.startDir));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  QStringList filters;
  for (const std::string& f : eixport::NameFilters(request.filter)) filters << shellui::FromAnsi(f);
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(shellui::FromAnsi(request.defaultExt));
  if (!request.startName.empty()) dialog.selectFile(shellui::FromAnsi(request.startName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const std::string chosen = dialog.selectedFiles().front().toStdString();
  std::string name;
  char32_t missing = 0;
  if (!ansi::FromUtf8Exact(chosen, name, missing)) {
    eerror::EMsg(eerror::kCommonWarning, A("Filnamnet går inte att använda i programmet: ") + ansi::FromUtf8(chosen));
    return std::nullopt;
  }
  return name;
}

}  // namespace exchangeui
