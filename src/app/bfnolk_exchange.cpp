#include "app/bfnolk_exchange.h"

#include <filesystem>
#include <iostream>
#include <optional>

#include "app/bfnolk_arguments.h"
#include "app/bfnolk_session.h"
#include "app/bfnolk_signals.h"
#include "common/Ansi.h"
#include "exchange/BFImport.h"
#include "exchange/BFSie.h"
#include "exchange/Eixport.h"

namespace bfnolk {

namespace {

std::string WholePath(const std::string& name) { return ansi::FromUtf8(CallersPath(name)); }

}  // namespace

bool IsExchangeCommand(const std::string& command) { return command == "export" || command == "import"; }

int ExchangeCommand(const std::string& command, const std::vector<std::string>& words) {
  const Arguments a(words, {"--balance"}, {"--new", "--checksum"});
  const auto& pos = a.positional();
  const bool exporting = command == "export";
  const std::string kind = pos.empty() ? "" : pos[0];
  const std::string balance = a.Value("--balance");
  const bool plan = !exporting && kind == "plan", sie = kind == "sie";
  const bool known = pos.size() == 2 && (exporting ? kind == "plan" || kind == "ver" || sie : plan || sie) &&
                     a.Has("--balance") == plan && (!plan || balance == "opening" || balance == "closing") &&
                     (!a.Has("--new") || (!exporting && sie)) && (!a.Has("--checksum") || (exporting && sie));
  if (!a.ok() || !known) {
    std::cerr << "bfnolk " << command << ": "
              << (exporting ? "ange plan FIL, ver FIL eller sie FIL [--checksum]"
                            : "ange plan FIL --balance opening|closing eller sie FIL [--new]")
              << "\n";
    return kUsage;
  }
  const std::string file = WholePath(pos[1]);
  Session session(false, exporting ? bf::Access::kReadOnly : bf::Access::kReadWrite);
  if (!session.ok()) return kRefused;
  // A SIE file may make its own bookkeeping; every other needs the selected one.
  if (!(sie && !exporting) && !session.NeedBookkeeping()) {
    PrintStatus();
    return kRefused;
  }
  eixport::SetMainCaption("bfnolk");
  // The SIE import builds the books aside until it takes them in: a signal may stop it there.
  std::optional<SignalCancelsProgress> stoppable;
  if (sie && !exporting) stoppable.emplace();
  eixport::IxportFile f(sie ? eixport::Content::kDocument : eixport::Content::kText);
  // The SIE import's progress window: the line of the verification it is at, where a
  // signal is seen.
  f.OpenByName(0, exporting ? eixport::Mode::kCreate : eixport::Mode::kOpen, file, stoppable ? 4 : 0);
  bool done = false;
  if (sie) {
    done = exporting ? bfsie::ExportSie(session.db(), f, a.Has("--checksum"))
                     : bfsie::ImportSie(session.db(), f, a.Has("--new")) == bfsie::SieImport::kImported;
  } else if (exporting) {
    done = kind == "plan" ? bfimport::ExportPlan(session.db(), f) : bfimport::ExportVerifications(session.db(), f);
  } else {
    done = bfimport::ImportPlan(session.db(), f,
                                balance == "opening" ? bfimport::Balance::kOpening : bfimport::Balance::kClosing) ==
           bfimport::ImportResult::kImported;
  }
  PrintStatus();
  return done ? kDone : kRefused;
}

}  // namespace bfnolk
