#include "tabledisplay/egridform_ixport.h"

#include "shell/ekonfig32.h"

namespace egridform {

namespace {

constexpr int kProgressKind = 5;

// Every caller closes, also after a failed open: the exchange file then reports.
bool WriteAndClose(eixport::IxportFile& file, bool opened, const std::string& name, const DocumentWriter& write) {
  bool written = false;
  if (opened) {
    IxportSink sink(file);
    written = write(sink, name);
  }
  return file.Close().failed ? false : written;
}

}  // namespace

bool IxportSink::WriteLine(const std::string& line) { return file_.WriteRaw(line + std::string(LineEnd())); }

bool ExportWithDialog(esmall::WindowHandle owner, std::string_view pattern, std::string_view defaultExt,
                      const DocumentWriter& write, std::string& file) {
  eixport::IxportFile exchange(eixport::Content::kDocument);
  std::string dir = ekonfig::Konfig.ExchangeDir();
  file.clear();
  const bool opened =
      exchange.OpenWithDialog(owner, eixport::Mode::kCreate, kProgressKind, pattern, defaultExt, dir, file);
  if (opened) ekonfig::Konfig.SetExchangeDir(dir);
  return WriteAndClose(exchange, opened, file, write);
}

bool ExportByName(esmall::WindowHandle owner, const std::string& file, const DocumentWriter& write) {
  eixport::IxportFile exchange(eixport::Content::kDocument);
  const bool opened = exchange.OpenByName(owner, eixport::Mode::kCreate, file, kProgressKind);
  return WriteAndClose(exchange, opened, file, write);
}

}  // namespace egridform
