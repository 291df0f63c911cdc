// The configuration of a run: the five buffers (main record, current label and report
// setting, communication block, default printer), the file they come from, and the start
// and end of a run. The buffers live from InitKonfig to ExitKonfig; only one label and one
// report setting are in memory at a time, the ones the main record names as current.
//
// The file is ProgName + ".P64" in the folder ProgName inside $XDG_CONFIG_HOME (default
// ~/.config); the default data directory is ProgName/data inside the documents folder
// ($XDG_DOCUMENTS_DIR, default ~/Documents). KonfigPaths moves either for a run.
// Every read and write of the file is silent: an error leaves defaults in memory or
// writes nothing, and nothing the file holds can make a read go out of bounds. The file is
// only ever replaced whole (a new file renamed into its place), and a run writes it only
// when it changed something, so runs side by side never leave it half written nor put back
// what another run changed.
#pragma once

#include "printing/PrinterEnv.h"
#include "shell/GloDefs.h"

#include <string>
#include <vector>

namespace ekonfig {

// Folders of the file system (UTF-8); empty means the per-user default.
struct KonfigPaths {
  std::string configDir;  // holds the file itself (--config-dir)
  std::string dataDir;    // the data directory of this run (--data-dir); neither stored nor made
};
void SetKonfigPaths(const KonfigPaths& paths);

std::string KonfigFolder();    // UTF-8
std::string KonfigFilePath();  // UTF-8

extern glodefs::TKonfigRec Konfig;
extern glodefs::TEtikettEnv CurEtikett;
extern glodefs::TRapportEnv CurRapport;
extern glodefs::TKommEnv Komm;
extern printing::TPrinterEnv DefPrinter;

// The file by absolute positions, held whole in memory while open: writes change the copy,
// and Close puts a copy that differs from what was read in the file's place at once. A
// failed open makes every following read and write do nothing; reading a setting then
// fills it with its defaults.
class KonfigFile {
 public:
  KonfigFile() = default;
  ~KonfigFile() { Close(); }
  KonfigFile(const KonfigFile&) = delete;
  KonfigFile& operator=(const KonfigFile&) = delete;

  bool OpenRead();     // the file as it is
  bool OpenUpdate();   // an existing file, for reading and writing
  bool OpenRewrite();  // created anew, empty
  void Close();
  bool IsOpen() const { return open_; }
  long long Size() const;  // -1 when not open

  void ReadMain();
  void WriteMain(const glodefs::TKonfigRec& record);
  void ReadLabel(int n);  // into CurEtikett
  void WriteLabel(int n);
  void ReadReport(int n);  // into CurRapport
  void WriteReport(int n);

 private:
  bool Read(size_t at, unsigned char* into, size_t size);
  void Write(size_t at, const unsigned char* from, size_t size);
  bool Load();

  bool open_ = false;
  bool writable_ = false;
  std::vector<unsigned char> image_;  // the file as it is to be
  std::vector<unsigned char> read_;   // the file as it was read
};

enum class KonfigStart { kStarted, kOutOfMemory };

// Reads the configuration, or rebuilds it with defaults, and settles the data directory
// of progNr (0..30). kOutOfMemory after "Minnesbrist!!": the program then ends with exit
// code 8. name plays no part.
KonfigStart InitKonfig(int progNr, bool inUse, const std::string& name);
// Writes the main record and the two current settings back, when the run changed any of
// them, and restores the printer selected at start.
void ExitKonfig();
// Writes base as the run's remembered bookkeeping (CurBase and its program's ProgBase) into
// the file at once, the rest of the record as it was read: for a selection that must outlive
// a run that is killed before its end.
void StoreRememberedBase(int32_t base);

// The settings dialog's tabs. Loading setting n reads it from the file into the current
// buffer and makes n current; saving writes the current buffer as setting n at once, so
// leaving one tab for another stores it before the next is read.
void LoadLabelSetting(int n);
void SaveLabelSetting(int n);
void LoadReportSetting(int n);
void SaveReportSetting(int n);

// Rebuilds the file with defaults and settles the data directory again; asks first
// (a question box) when ask is set. False when the answer was No.
bool ResetKonfig(bool ask);

// The current settings as readable lines (Windows-1252).
std::string KonfigSummary();

}  // namespace ekonfig
