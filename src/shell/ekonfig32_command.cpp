#include "shell/ekonfig32_command.h"

#include "common/Ansi.h"
#include "shell/ekonfig32.h"

#include <ostream>

namespace ekonfig {

int KonfigCommand(const std::vector<std::string>& args, std::ostream& out) {
  const bool show = args.size() == 1 && args[0] == "show";
  const bool reset = !args.empty() && args[0] == "reset" &&
                     (args.size() == 1 || (args.size() == 2 && args[1] == "--yes"));
  if (!show && !reset) {
    out << "usage: bfnolk config show | bfnolk config reset [--yes]\n";
    return 2;
  }
  if (InitKonfig(kBookkeepingProgNr, true, "bfnolk") == KonfigStart::kOutOfMemory) return 8;
  int code = 0;
  if (reset && !ResetKonfig(args.size() == 1)) code = 1;
  if (show || code == 0) out << ansi::ToUtf8(KonfigSummary());
  ExitKonfig();
  return code;
}

}  // namespace ekonfig
