// One run of a bfnolk bookkeeping command: the configuration and the data directory as the
// window program has them, the storage engine, the list of bookkeepings and the remembered
// bookkeeping selected, and how questions are answered (--yes, else a terminal, else no).
// A command that only reads opens the data directory for reading: it works where the user
// may only read, and writes nothing. Everything is closed again, in the window program's
// exit order, when the session ends.
#pragma once

#include <memory>
#include <string>

#include "bookkeeping/BFBas.h"
#include "bookkeeping/BFRun.h"
#include "shell/Eerror32_MessageBoxes.h"

namespace bfnolk {

constexpr int kDone = 0;
constexpr int kRefused = 1;
constexpr int kUsage = 2;

// Questions answered yes, everything else shown as the console shows it.
class YesMessageBoxes : public eerror::ConsoleMessageBoxes {
 public:
  using eerror::ConsoleMessageBoxes::ConsoleMessageBoxes;
  int Show(eerror::BoxKind kind, const std::string& caption, const std::string& text) override;
};

class Session {
 public:
  // False from ok() when the configuration or the engine could not start, or the list is
  // there but could not be opened (in use by another program, a folder that cannot be
  // written); the reason is on standard error then.
  Session(bool answerYes, bf::Access access);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  bool ok() const { return ok_; }
  bf::BfDatabase& db() { return run_->db(); }
  // Selects bookkeeping n; false with a message when it is not a live bookkeeping.
  bool Select(int n);
  // The bookkeeping is open, else a message and false.
  bool NeedBookkeeping();

 private:
  std::unique_ptr<YesMessageBoxes> yes_;
  std::unique_ptr<eerror::ScopedMessageBoxes> boxes_;
  std::unique_ptr<bf::BookkeepingRun> run_;
  bool konfig_ = false;
  bool ok_ = false;
};

// Prints StatusMsg (UTF-8) on standard error when it tells the user something: not when
// it only says that the files were opened or closed.
void PrintStatus();

}  // namespace bfnolk
