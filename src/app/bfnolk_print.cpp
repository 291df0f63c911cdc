#include "app/bfnolk_print.h"

#include <fstream>
#include <iostream>

#include "app/bfnolk_arguments.h"
#include "app/bfnolk_session.h"
#include "common/Ansi.h"
#include "printing/ewrite32_textdevice.h"
#include "reports/bflista.h"
#include "shell/ESmall.h"
#include "shell/ekonfig32.h"

namespace bfnolk {

bool IsPrintCommand(const std::string& command) { return command == "print"; }

int PrintCommand(const std::vector<std::string>& words) {
  const Arguments a(words, {"--to", "--printer"}, {});
  if (!a.ok()) {
    std::cerr << "bfnolk print: " << a.error() << "\n";
    return kUsage;
  }
  if (a.positional().size() != 1 || a.positional()[0] != "summagrupper") {
    std::cerr << "bfnolk print: ange en rapport: summagrupper\n";
    return kUsage;
  }
  const std::string to = a.Value("--to", "-");
  if (a.Has("--printer") || esmall::EndsWithNoCase(to, ".pdf")) {
    // The window program's printing draws these; the command line has the text device.
    std::cerr << "bfnolk print: skrivare och PDF finns ännu inte från kommandoraden; "
                 "utan --to, eller med --to FIL.txt, skrivs rapporten som text\n";
    return kRefused;
  }
  Session session(false, bf::Access::kReadOnly);
  if (!session.ok()) return kRefused;
  if (!session.NeedBookkeeping()) {
    PrintStatus();
    return kRefused;
  }
  printing::TextDevice device;
  printing::PrintJob job(device);
  const bool printed = reports::PrintSumGroups(job, session.db().shared(), ekonfig::CurRapport);
  PrintStatus();
  if (!printed) return kRefused;
  const std::string text = ansi::ToUtf8(device.Output());
  if (to == "-") {
    std::cout << text;
    return std::cout.flush() ? kDone : kRefused;
  }
  std::ofstream file(to, std::ios::binary | std::ios::trunc);
  if (!(file << text) || !file.flush()) {
    std::cerr << "bfnolk print: kan inte skriva " << to << "\n";
    return kRefused;
  }
  return kDone;
}

}  // namespace bfnolk
