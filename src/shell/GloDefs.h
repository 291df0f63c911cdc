// The records of the configuration file and their defaults. Each record is kept as the
// bytes the file holds; accessors read and write the named fields at their offsets and
// leave every other byte as it was, so a record read and written back is identical. Reads
// clamp what damaged bytes claim (see common/ESmall_Bytes.h); setting numbers outside 1..10 read
// as 1.
//
// The file: TKonfigRec (60352 bytes) at 0, the ten label settings (TEtikettEnv, 9776 bytes)
// from 60352, the ten report settings (TRapportEnv, 16016 bytes) from 158112; 318272 bytes
// in all. TKommEnv lives in memory only.
#pragma once

#include "printing/PrinterEnv.h"

#include <array>
#include <cstdint>
#include <string>

namespace glodefs {

constexpr int kSettings = 10;
constexpr int kProgramSlots = 31;  // program numbers 0..30
constexpr size_t kPathWidth = 1025;
constexpr size_t kMaxPath = 1024;

constexpr size_t kKonfigRecSize = 60352;
constexpr size_t kEtikettEnvSize = 9776;
constexpr size_t kRapportEnvSize = 16016;
constexpr size_t kKommEnvSize = 1684;
constexpr size_t kLabelsAt = kKonfigRecSize;
constexpr size_t kReportsAt = kLabelsAt + kSettings * kEtikettEnvSize;
constexpr size_t kKonfigFileSize = kReportsAt + kSettings * kRapportEnvSize;
static_assert(kReportsAt == 158112 && kKonfigFileSize == 318272);

// The program's name ("BFNOLKW64" for the bookkeeping); it names the configuration
// folder and file and the documents folder. At most 10 characters.
extern std::string ProgName;

class TKonfigRec {
 public:
  std::array<unsigned char, kKonfigRecSize> bytes{};

  int32_t CurBase() const;
  void SetCurBase(int32_t base);
  int CurrentLabelSetting() const;   // 1..10
  int CurrentReportSetting() const;  // 1..10
  void SetCurrentLabelSetting(int n);
  void SetCurrentReportSetting(int n);
  std::string ComputerName() const;  // at most 31 characters
  void SetComputerName(const std::string& name);
  std::string DataDir() const;
  void SetDataDir(const std::string& dir);
  std::string ExchangeDir() const;
  void SetExchangeDir(const std::string& dir);
  int32_t ProgBase(int progNr) const;
  void SetProgBase(int progNr, int32_t base);
  std::string ProgDataDir(int progNr) const;
  void SetProgDataDir(int progNr, const std::string& dir);
  // Names of the settings, at most 40 characters: label 1..10 (0 the communication
  // setting), report 1..10.
  std::string LabelName(int n) const;
  void SetLabelName(int n, const std::string& name);
  std::string ReportName(int n) const;
  void SetReportName(int n, const std::string& name);
  int32_t DialogPage() const;
  void SetDialogPage(int32_t page);
  int16_t FormScale() const;
  void SetFormScale(int16_t scale);

  // All zero, then the table's defaults, with defaultDataDir as data directory of progNr
  // and of the eight path entries.
  void FillDefaults(int progNr, const std::string& defaultDataDir);
};

// A label setting; lengths in tenths of a millimetre.
class TEtikettEnv {
 public:
  std::array<unsigned char, kEtikettEnvSize> bytes{};

  struct Geometry {
    int32_t leftMargin;
    int16_t height, rowPitch, columnPitch, width;
    int32_t topMargin;
    int16_t extra, perRow, rows;
  };
  Geometry GetGeometry() const;
  void SetGeometry(const Geometry& g);
  int32_t Copies() const;
  void SetCopies(int32_t copies);
  bool Sheet() const;

  printing::TPrinterEnv Printer() const;
  void SetPrinter(const printing::TPrinterEnv& printer);

  // Setting n (1..10) of the defaults table on a copy of defPrinter; sets its name in konfig.
  void FillDefaults(int n, const printing::TPrinterEnv& defPrinter, TKonfigRec& konfig);
};

// A report setting.
class TRapportEnv {
 public:
  static constexpr int kPictures = 5;
  std::array<unsigned char, kRapportEnvSize> bytes{};

  std::string Footer() const;  // at most 64 characters
  void SetFooter(const std::string& footer);
  printing::TPrinterEnv Printer() const;
  void SetPrinter(const printing::TPrinterEnv& printer);

  struct Picture {
    std::string path;
    bool active;
    int32_t sizeDivisor;  // the picture gets 1/n of the report width
  };
  Picture GetPicture(int k) const;  // k = 0..4
  void SetPicture(int k, const Picture& picture);

  void FillDefaults(int n, const printing::TPrinterEnv& defPrinter, TKonfigRec& konfig);
};

class TKommEnv {
 public:
  std::array<unsigned char, kKommEnvSize> bytes{};
  // Also names the communication setting (slot 0) in konfig.
  void FillDefaults(TKonfigRec& konfig);
};

}  // namespace glodefs
