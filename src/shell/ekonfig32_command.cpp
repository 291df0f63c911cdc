#include "shell/ekonfig32_command.h"

#include "common/Ansi.h"
#include "shell/ekonfig32.h"

#include <ostream>
#include <string>

namespace ekonfig {

namespace {

constexpr int kUsageError = 2;

// Why args are no config command, or empty when they are one.
std::string UsageFault(const std::vector<std::string>& args) {
  if (args.empty()) return "ange show eller reset [--yes]";
  const std::string& verb = args[0];
  if (verb != "show" && verb != "reset") return "okänt " + verb + "; ange show eller reset [--yes]";
  const size_t allowed = verb == "reset" && args.size() > 1 && args[1] == "--yes" ? 2 : 1;
  if (args.size() > allowed) return "oväntat argument " + args[allowed];
  return "";
}

}  // namespace

int KonfigCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (const std::string fault = UsageFault(args); !fault.empty()) {
    err << "bfnolk config: " << fault << "\n";
    return kUsageError;
  }
  const bool show = args[0] == "show";
  const bool reset = !show;
  if (InitKonfig(kBookkeepingProgNr, true, "bfnolk") == KonfigStart::kOutOfMemory) return 8;
  int code = 0;
  if (reset && !ResetKonfig(args.size() == 1)) code = 1;
  if (show || code == 0) out << ansi::ToUtf8(KonfigSummary());
  ExitKonfig();
  return code;
}

}  // namespace ekonfig
