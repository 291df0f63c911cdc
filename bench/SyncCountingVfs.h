// A SQLite VFS that is the default one with a counter of its xSync calls, so SQLite's
// fsyncs can be printed beside ours. Registered once as the default VFS.
#pragma once

#include <cstdint>

namespace bench {

// false when SQLite has no default VFS to wrap.
bool InstallSyncCountingVfs();
int64_t SqliteSyncs();
void ResetSqliteSyncs();

}  // namespace bench
