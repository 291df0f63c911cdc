// The bookkeeping layer for the life of a main window: the storage engine started (network
// mode when an argument holds "/NET" in any letter case), the database of the data
// directory with fresh buffers, its list opened and the remembered bookkeeping selected.
// The end closes the bookkeeping and the list and then stops the engine, when it started.
//
// The data directory and the remembered bookkeeping are the configuration's entries of the
// bookkeeping program's number: taken at the start, put back at the end. The configuration
// itself is read before a run starts and written after it ends.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "bookkeeping/BFBas.h"

namespace bf {

class BookkeepingRun {
 public:
  // args: the program's arguments. A failed engine start is shown with the engine's text
  // and the catalogue text of its error; the run then has no list. access: whether the run
  // may write the data directory or only reads it.
  explicit BookkeepingRun(const std::vector<std::string>& args, Access access = Access::kReadWrite);
  ~BookkeepingRun();
  BookkeepingRun(const BookkeepingRun&) = delete;
  BookkeepingRun& operator=(const BookkeepingRun&) = delete;

  bool engineStarted() const { return engine_; }
  BfDatabase& db() { return *db_; }

  // Before the data directory changes: the bookkeeping and the list closed.
  void LeaveDataDir();
  // After: the database of the configuration's data directory, its list opened and the
  // remembered bookkeeping selected.
  void EnterDataDir();

 private:
  bool engine_ = false;
  Access access_;
  std::unique_ptr<BfDatabase> db_;
};

}  // namespace bf
