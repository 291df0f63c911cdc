#include "app/bfnolk_session.h"

#include <unistd.h>

#include <iostream>

#include "common/Ansi.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "shell/ekonfig32_command.h"

namespace bfnolk {

int YesMessageBoxes::Show(eerror::BoxKind kind, const std::string& caption, const std::string& text) {
  if (kind != eerror::BoxKind::Question) return ConsoleMessageBoxes::Show(kind, caption, text);
  std::cerr << ansi::ToUtf8(caption) << ": " << ansi::ToUtf8(text) << " ja (--yes)\n";
  return eerror::kYes;
}

void PrintStatus() {
  // That the files were opened or closed is the window's news, not a command's.
  const std::string& text = eerror::StatusMsg;
  if (text.empty() || text == A("Filerna öppna....") || text == A("Filerna stängda..")) return;
  std::cerr << ansi::ToUtf8(text) << "\n";
}

Session::Session(bool answerYes, bf::Access access) {
  if (answerYes) {
    yes_ = std::make_unique<YesMessageBoxes>(std::cin, std::cerr, ::isatty(0) && ::isatty(2));
    boxes_ = std::make_unique<eerror::ScopedMessageBoxes>(*yes_);
  }
  if (ekonfig::InitKonfig(ekonfig::kBookkeepingProgNr, true, "") != ekonfig::KonfigStart::kStarted) return;
  konfig_ = true;
  run_ = std::make_unique<bf::BookkeepingRun>(std::vector<std::string>{}, access);
  ok_ = run_->engineStarted() && (db().listOpen() || db().openFailure().empty());
  if (run_->engineStarted() && !ok_) PrintStatus();
}

Session::~Session() {
  run_.reset();  // the bookkeeping and the list closed, the engine stopped
  if (konfig_) ekonfig::ExitKonfig();
}

bool Session::Select(int n) {
  if (!db().listOpen()) return false;
  if (n < 1 || n > bf::kMaxBookkeepings || n > db().shared().listLength - 1) {
    std::cerr << "bfnolk: ingen bokföring nr " << n << "\n";
    return false;
  }
  if (db().current() == n && db().bookkeepingOpen()) return true;
  if (db().SelectBookkeeping(n)) return true;
  const std::string& why = db().openFailure();
  std::cerr << "bfnolk: bokföring nr " << n << " kan inte väljas: "
            << (why.empty() ? "den är raderad eller dess datafiler saknas" : ansi::ToUtf8(why)) << "\n";
  return false;
}

bool Session::NeedBookkeeping() {
  if (db().bookkeepingOpen()) return true;
  const std::string& why = db().openFailure();
  eerror::EMsg(eerror::kStatusLine, why.empty() ? A("Databas ej vald/ datafiler saknas!") : why);
  return false;
}

}  // namespace bfnolk
