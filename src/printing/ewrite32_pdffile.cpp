#include "printing/ewrite32_pdffile.h"

#include "common/Ansi.h"
#include "shell/ESmall.h"
#include "shell/ekonfig32.h"
#include "storage/BTFileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace printing {
namespace {

// Far more than any folder holds of one job in one second; the limit only ends the search.
constexpr int kMaxNumber = 9999;

}  // namespace

std::string PdfFileFolder() {
  const std::string exchange = ekonfig::Konfig.ExchangeDir();
  return exchange.empty() ? ekonfig::Konfig.DataDir() : exchange;
}

std::string PdfFileName(const std::string& jobTitle, const etider::DateTime& when) {
  const std::string name = esmall::FileNamePart(jobTitle.empty() ? "rapport" : jobTitle, '_');
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, " %04d-%02d-%02d %02d.%02d.%02d", when.year, when.month, when.day, when.hour,
                when.minute, when.second);
  return name + stamp + ".pdf";
}

std::string CreatePdfFile(const std::string& folder, const std::string& jobTitle, const etider::DateTime& when,
                          std::string& reason) {
  const std::string osFolder = isam::ResolvePath(folder.empty() ? "." : folder);
  struct stat info;
  if (::stat(osFolder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    reason = A("PDF-fil: mappen finns inte: ") + folder;
    return {};
  }
  const std::string name = PdfFileName(jobTitle, when);
  const std::string stem = name.substr(0, name.size() - 4);
  std::string shownFolder = folder.empty() ? "." : folder;
  if (shownFolder.back() != '/' && shownFolder.back() != '\\') shownFolder += '/';
  for (int n = 1; n <= kMaxNumber; ++n) {
    const std::string file = n == 1 ? name : stem + " (" + std::to_string(n) + ").pdf";
    const std::string osPath = osFolder + (osFolder.back() == '/' ? "" : "/") + ansi::ToUtf8(file);
    const int fd = ::open(osPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
      ::close(fd);
      return shownFolder + file;
    }
    if (errno != EEXIST) {
      reason = A("PDF-fil: kan ej skapa ") + shownFolder + file + ": " + std::strerror(errno);
      return {};
    }
  }
  reason = A("PDF-fil: inget ledigt filnamn i ") + folder;
  return {};
}

}  // namespace printing
