#include "shell/ekonfig32.h"

#include "common/Ansi.h"
#include "printing/PrinterSelect.h"
#include "shell/EMsgTxt.h"
#include "shell/ESmall.h"
#include "shell/Eerror32.h"
#include "shell/Eerror32_Memory.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace ekonfig {

glodefs::TKonfigRec Konfig;
glodefs::TEtikettEnv CurEtikett;
glodefs::TRapportEnv CurRapport;
glodefs::TKommEnv Komm;
printing::TPrinterEnv DefPrinter;

namespace {

namespace fs = std::filesystem;
using glodefs::kEtikettEnvSize;
using glodefs::kKonfigFileSize;
using glodefs::kKonfigRecSize;
using glodefs::kRapportEnvSize;

KonfigPaths paths;

// The run.
int runProgNr = 0;
bool runInUse = false;
std::string defaultDataDir;  // Windows-1252
printing::TPrinterEnv startPrinter;
// With a data directory given for the run, the stored ones are written back unchanged.
bool dataDirMoved = false;
std::string storedDataDir;
std::string storedProgDataDir;
// What the file holds of the buffers as the run found or made them: a run that leaves them
// so writes nothing at its end.
struct Buffers {
  glodefs::TKonfigRec main;
  glodefs::TEtikettEnv label;
  glodefs::TRapportEnv report;
};
Buffers onFile;

void NoteBuffersOnFile() { onFile = {Konfig, CurEtikett, CurRapport}; }

std::string HomeDir() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  const passwd* user = getpwuid(getuid());
  return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "/tmp";
}

// An XDG folder from its variable when that holds an absolute path, else the fallback under home.
std::string XdgDir(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return value;
  return HomeDir() + "/" + fallback;
}

bool MakeFolder(const std::string& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  return fs::is_directory(folder, error);
}

// The classic I/O result number of a failed change of directory, for its catalogue text.
int IoCodeOf(int osError) {
  switch (osError) {
    case EACCES:
    case EPERM: return 5;
    case EMFILE:
    case ENFILE: return 4;
    default: return 3;  // the path is not there
  }
}

std::string WithoutTrailingSeparator(std::string dir) {
  if (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  return dir;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

void FillDefaultsAndWrite(KonfigFile& file) {
  Konfig.FillDefaults(runProgNr, defaultDataDir);
  Komm.FillDefaults(Konfig);
  for (int n = 1; n <= glodefs::kSettings; ++n) {
    CurEtikett.FillDefaults(n, DefPrinter, Konfig);
    file.WriteLabel(n);
  }
  for (int n = 1; n <= glodefs::kSettings; ++n) {
    CurRapport.FillDefaults(n, DefPrinter, Konfig);
    file.WriteReport(n);
  }
  // Written after the settings, so the names they gave it are in the file at once, not
  // only at the end of a run that may never end cleanly.
  file.WriteMain(Konfig);
  // The settings numbered as current, 1 after a rebuild.
  CurEtikett.FillDefaults(Konfig.CurrentLabelSetting(), DefPrinter, Konfig);
  CurRapport.FillDefaults(Konfig.CurrentReportSetting(), DefPrinter, Konfig);
}

void Rebuild() {
  KonfigFile file;
  file.OpenRewrite();
  FillDefaultsAndWrite(file);
}

// The current report setting's printer for the next job; the default printer when it
// cannot be selected, keeping the setting as the user left it.
void SelectReportPrinter() {
  const printing::TPrinterEnv stored = CurRapport.Printer();
  if (stored.Valid() && printing::SelectStoredPrinter(stored)) return;
  printing::SelectStoredPrinter(DefPrinter);
  eerror::StatusMsg = A("Kan ej välja skrivaren ") + Quoted(stored.DeviceName()) +
                      A(", standardskrivaren används");
}

void SettleDataDir() {
  storedDataDir = Konfig.DataDir();
  storedProgDataDir = Konfig.ProgDataDir(runProgNr);
  std::error_code error;
  if (dataDirMoved && !fs::is_directory(paths.dataDir, error)) {
    // The run's folder is not there yet: a command that writes makes it, and none works on
    // the current directory instead.
    const std::string given = esmall::Cut(ansi::FromUtf8(paths.dataDir), glodefs::kMaxPath);
    Konfig.SetProgDataDir(runProgNr, given);
    Konfig.SetDataDir(given);
    return;
  }
  const std::string dir = dataDirMoved ? ansi::FromUtf8(paths.dataDir) : storedProgDataDir;
  if (!dir.empty() && chdir(ansi::ToUtf8(dir).c_str()) != 0) {
    const int code = IoCodeOf(errno);
    eerror::EMsg(eerror::kStatusLine, "Kan ej byta till biblioteket " + Quoted(dir) + " " + emsgtxt::msgtext(code));
  }
  const fs::path current = fs::current_path(error);
  const std::string settled = esmall::Cut(WithoutTrailingSeparator(ansi::FromUtf8(current.string())),
                                          glodefs::kMaxPath);
  Konfig.SetProgDataDir(runProgNr, settled);
  Konfig.SetDataDir(settled);
}

}  // namespace

void SetKonfigPaths(const KonfigPaths& given) {
  // Made absolute at once: the run changes its current directory, and the data
  // directory may be stored.
  auto absolute = [](const std::string& dir) {
    std::error_code error;
    return dir.empty() ? dir : WithoutTrailingSeparator(fs::absolute(dir, error).lexically_normal().string());
  };
  paths = {absolute(given.configDir), absolute(given.dataDir)};
}

std::string KonfigFolder() {
  return paths.configDir.empty() ? XdgDir("XDG_CONFIG_HOME", ".config") + "/" + ansi::ToUtf8(glodefs::ProgName)
                                 : paths.configDir;
}

std::string KonfigFilePath() { return KonfigFolder() + "/" + ansi::ToUtf8(glodefs::ProgName) + ".P64"; }

// ---- KonfigFile ----

bool KonfigFile::Load() {
  Close();
  const int fd = open(KonfigFilePath().c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = fstat(fd, &info) == 0;
  // Never more than the file should hold: a longer one is a version conflict anyway.
  const size_t size = ok ? static_cast<size_t>(std::min<long long>(info.st_size, kKonfigFileSize + 1)) : 0;
  std::vector<unsigned char> bytes(size);
  size_t done = 0;
  while (ok && done < size) {
    const ssize_t n = pread(fd, bytes.data() + done, size - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<size_t>(n);
  }
  close(fd);
  if (!ok) return false;
  image_ = read_ = std::move(bytes);
  open_ = true;
  return true;
}

bool KonfigFile::OpenRead() { return Load(); }

// Only a file of the right length is changed: another is rebuilt at the next start.
bool KonfigFile::OpenUpdate() {
  writable_ = Load() && image_.size() == kKonfigFileSize;
  if (!writable_) Close();
  return writable_;
}

bool KonfigFile::OpenRewrite() {
  Close();
  open_ = writable_ = true;
  return true;
}

// A changed copy becomes the file through a new file renamed into its place: whoever reads
// the file meanwhile sees it whole, as it was or as it is now.
void KonfigFile::Close() {
  const bool changed = open_ && writable_ && image_ != read_;
  open_ = writable_ = false;
  if (!changed) return;
  const std::string path = KonfigFilePath();
  std::string made = path + ".XXXXXX";
  const int fd = mkostemp(made.data(), O_CLOEXEC);
  if (fd < 0) return;
  size_t done = 0;
  bool ok = true;
  while (ok && done < image_.size()) {
    const ssize_t n = write(fd, image_.data() + done, image_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<size_t>(n);
  }
  ok = fsync(fd) == 0 && ok;
  ok = close(fd) == 0 && ok;
  if (!ok || rename(made.c_str(), path.c_str()) != 0) {
    unlink(made.c_str());
    return;
  }
  const int folder = open(KonfigFolder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
}

long long KonfigFile::Size() const { return open_ ? static_cast<long long>(image_.size()) : -1; }

bool KonfigFile::Read(size_t at, unsigned char* into, size_t size) {
  if (!open_ || at > image_.size() || size > image_.size() - at) return false;
  std::copy_n(image_.begin() + static_cast<long>(at), size, into);
  return true;
}

void KonfigFile::Write(size_t at, const unsigned char* from, size_t size) {
  if (!writable_) return;
  if (image_.size() < at + size) image_.resize(at + size);
  std::copy_n(from, size, image_.begin() + static_cast<long>(at));
}

void KonfigFile::ReadMain() {
  glodefs::TKonfigRec read;
  if (Read(0, read.bytes.data(), kKonfigRecSize)) Konfig = read;
}

void KonfigFile::WriteMain(const glodefs::TKonfigRec& record) { Write(0, record.bytes.data(), kKonfigRecSize); }

void KonfigFile::ReadLabel(int n) {
  if (n < 1 || n > glodefs::kSettings) return;
  glodefs::TEtikettEnv read;
  if (Read(glodefs::kLabelsAt + (n - 1) * kEtikettEnvSize, read.bytes.data(), kEtikettEnvSize))
    CurEtikett = read;
  else
    CurEtikett.FillDefaults(n, DefPrinter, Konfig);
}

void KonfigFile::WriteLabel(int n) {
  if (n < 1 || n > glodefs::kSettings) return;
  Write(glodefs::kLabelsAt + (n - 1) * kEtikettEnvSize, CurEtikett.bytes.data(), kEtikettEnvSize);
}

void KonfigFile::ReadReport(int n) {
  if (n < 1 || n > glodefs::kSettings) return;
  glodefs::TRapportEnv read;
  if (Read(glodefs::kReportsAt + (n - 1) * kRapportEnvSize, read.bytes.data(), kRapportEnvSize))
    CurRapport = read;
  else
    CurRapport.FillDefaults(n, DefPrinter, Konfig);
}

void KonfigFile::WriteReport(int n) {
  if (n < 1 || n > glodefs::kSettings) return;
  Write(glodefs::kReportsAt + (n - 1) * kRapportEnvSize, CurRapport.bytes.data(), kRapportEnvSize);
}

// ---- start and end ----

KonfigStart InitKonfig(int progNr, bool inUse, const std::string&) {
  if (!eerror::MemoryCheck(48 + kKonfigRecSize + printing::TPrinterEnv::kSize + glodefs::kKommEnvSize +
                           kEtikettEnvSize + kRapportEnvSize)) {
    eerror::EMsg(eerror::kCommonWarning, "Minnesbrist!!");
    return KonfigStart::kOutOfMemory;
  }
  runProgNr = progNr;
  runInUse = inUse;
  dataDirMoved = !paths.dataDir.empty();
  printing::gettheprinter(startPrinter);
  printing::getdefdevmode(DefPrinter);

  const std::string folder = KonfigFolder();
  if (!MakeFolder(folder)) eerror::EMsg(eerror::kCommonWarning, "kan inte skapa path " + Quoted(ansi::FromUtf8(folder)));

  // The default data directory, also when the run is given another one: that one is the
  // run's own and never stored as the default. The folders are made by a run that uses them.
  const std::string documents = XdgDir("XDG_DOCUMENTS_DIR", "Documents") + "/" + ansi::ToUtf8(glodefs::ProgName);
  if (!dataDirMoved) {
    MakeFolder(documents);
    MakeFolder(documents + "/text");
    MakeFolder(documents + "/data");
  }
  defaultDataDir = esmall::Cut(ansi::FromUtf8(documents + "/data"), glodefs::kMaxPath);

  // Defaults first, so whatever cannot be read is left at its default.
  Konfig.FillDefaults(progNr, defaultDataDir);
  Komm.FillDefaults(Konfig);
  enum { kRead, kRebuild, kDefaultsOnly } outcome = kDefaultsOnly;
  if (inUse) {
    KonfigFile file;
    std::error_code error;
    if (!file.OpenRead()) {
      // Only a missing file is made anew; one that is there but cannot be read is left
      // alone, so settings are never lost to a passing permission problem.
      if (!fs::exists(KonfigFilePath(), error) && !error) outcome = kRebuild;
    } else if (file.Size() == static_cast<long long>(kKonfigFileSize)) {
      file.ReadMain();
      Konfig.SetCurrentLabelSetting(Konfig.CurrentLabelSetting());
      Konfig.SetCurrentReportSetting(Konfig.CurrentReportSetting());
      file.ReadLabel(Konfig.CurrentLabelSetting());
      file.ReadReport(Konfig.CurrentReportSetting());
      outcome = kRead;
    } else {
      eerror::EMsg(eerror::kCommonWarning, "Versionskonflikt av konfigurationsfilen " +
                            Quoted(ansi::FromUtf8(KonfigFilePath())) + A(" Nollställer. "));
      outcome = kRebuild;
    }
  }
  switch (outcome) {
    case kRead:
      SelectReportPrinter();
      break;
    case kRebuild:
      Rebuild();
      break;
    case kDefaultsOnly: {
      KonfigFile none;  // never opened: every write does nothing
      FillDefaultsAndWrite(none);
      break;
    }
  }
  NoteBuffersOnFile();
  SettleDataDir();
  return KonfigStart::kStarted;
}

void ExitKonfig() {
  glodefs::TKonfigRec written = Konfig;
  if (dataDirMoved) {
    written.SetDataDir(storedDataDir);
    written.SetProgDataDir(runProgNr, storedProgDataDir);
  }
  const bool changed = written.bytes != onFile.main.bytes || CurEtikett.bytes != onFile.label.bytes ||
                       CurRapport.bytes != onFile.report.bytes;
  if (runInUse && changed) {
    KonfigFile file;
    if (file.OpenUpdate()) {
      file.WriteMain(written);
      file.WriteLabel(Konfig.CurrentLabelSetting());
      file.WriteReport(Konfig.CurrentReportSetting());
    }
  }
  printing::Setdefdevmode(startPrinter);
}

void StoreRememberedBase(int32_t base) {
  if (!runInUse) return;
  KonfigFile file;
  if (!file.OpenUpdate()) return;
  onFile.main.SetCurBase(base);
  onFile.main.SetProgBase(runProgNr, base);
  file.WriteMain(onFile.main);
}

void LoadLabelSetting(int n) {
  if (n < 1 || n > glodefs::kSettings) return;
  KonfigFile file;
  file.OpenRead();
  file.ReadLabel(n);
  Konfig.SetCurrentLabelSetting(n);
}

void SaveLabelSetting(int n) {
  if (n < 1 || n > glodefs::kSettings) return;
  KonfigFile file;
  if (!file.OpenUpdate()) return;
  Konfig.SetCurrentLabelSetting(n);
  file.WriteLabel(n);
}

void LoadReportSetting(int n) {
  if (n < 1 || n > glodefs::kSettings) return;
  KonfigFile file;
  file.OpenRead();
  file.ReadReport(n);
  Konfig.SetCurrentReportSetting(n);
}

void SaveReportSetting(int n) {
  if (n < 1 || n > glodefs::kSettings) return;
  KonfigFile file;
  if (!file.OpenUpdate()) return;
  Konfig.SetCurrentReportSetting(n);
  file.WriteReport(n);
}

bool ResetKonfig(bool ask) {
  if (ask && eerror::EMsg(eerror::kQuestion, A("Nollställa alla inställningar till standardvärden?")) != eerror::kYes)
    return false;
  Rebuild();
  NoteBuffersOnFile();
  SettleDataDir();
  return true;
}

std::string KonfigSummary() {
  const int label = Konfig.CurrentLabelSetting();
  const int report = Konfig.CurrentReportSetting();
  const printing::TPrinterEnv printer = CurRapport.Printer();
  const printing::Margins margins = printer.PageMargins();
  auto font = [&](printing::FontSlot slot) {
    const printing::TFontRec f = printer.Font(slot);
    return f.name + " " + std::to_string(f.size) + ((f.style & printing::TFontRec::kBold) ? " fet" : "");
  };
  return A("konfigurationsfil: ") + ansi::FromUtf8(KonfigFilePath()) + "\n" +
         "datakatalog: " + Konfig.DataDir() + "\n" +
         "utbyteskatalog: " + Konfig.ExchangeDir() + "\n" +
         A("etikettinställning: ") + std::to_string(label) + " " + Quoted(Konfig.LabelName(label)) + "\n" +
         A("rapportinställning: ") + std::to_string(report) + " " + Quoted(Konfig.ReportName(report)) + "\n" +
         "skrivare: " + printer.DeviceName() + " (" + printer.DriverName() + ", " + printer.PortName() + ")\n" +
         "typsnitt: stor " + font(printing::FontSlot::Stor) + ", mellan " + font(printing::FontSlot::Mellan) +
         ", liten " + font(printing::FontSlot::Liten) + "\n" +
         A("marginaler: vänster ") + std::to_string(margins.left) + ", topp " + std::to_string(margins.top) +
         A(", höger ") + std::to_string(margins.right) + ", botten " + std::to_string(margins.bottom) + "\n" +
         "kolumner: " + std::to_string(printer.Columns()) + "\n" +
         A("fottext: ") + CurRapport.Footer() + "\n";
}

}  // namespace ekonfig
