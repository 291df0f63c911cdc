#include "SyncCountingVfs.h"

#include <sqlite3.h>

namespace bench {
namespace {

sqlite3_vfs* g_real = nullptr;
sqlite3_vfs g_counting;
int64_t g_syncs = 0;

// Our file in front of the default VFS's, which follows it in the same allocation.
struct CountingFile {
  sqlite3_file base;
  sqlite3_file* real;
};

sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<CountingFile*>(f)->real; }
const sqlite3_io_methods* M(sqlite3_file* f) { return Real(f)->pMethods; }

int Close(sqlite3_file* f) { return M(f)->xClose(Real(f)); }
int Read(sqlite3_file* f, void* b, int n, sqlite3_int64 o) { return M(f)->xRead(Real(f), b, n, o); }
int Write(sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
  return M(f)->xWrite(Real(f), b, n, o);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) { return M(f)->xTruncate(Real(f), size); }
int Sync(sqlite3_file* f, int flags) {
  ++g_syncs;
  return M(f)->xSync(Real(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) { return M(f)->xFileSize(Real(f), size); }
int Lock(sqlite3_file* f, int level) { return M(f)->xLock(Real(f), level); }
int Unlock(sqlite3_file* f, int level) { return M(f)->xUnlock(Real(f), level); }
int CheckReservedLock(sqlite3_file* f, int* out) { return M(f)->xCheckReservedLock(Real(f), out); }
int FileControl(sqlite3_file* f, int op, void* arg) { return M(f)->xFileControl(Real(f), op, arg); }
int SectorSize(sqlite3_file* f) { return M(f)->xSectorSize(Real(f)); }
int DeviceCharacteristics(sqlite3_file* f) { return M(f)->xDeviceCharacteristics(Real(f)); }
int ShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
  return M(f)->iVersion >= 2 ? M(f)->xShmMap(Real(f), region, size, extend, out) : SQLITE_IOERR;
}
int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
  return M(f)->iVersion >= 2 ? M(f)->xShmLock(Real(f), offset, n, flags) : SQLITE_IOERR;
}
void ShmBarrier(sqlite3_file* f) {
  if (M(f)->iVersion >= 2) M(f)->xShmBarrier(Real(f));
}
int ShmUnmap(sqlite3_file* f, int deleteFlag) {
  return M(f)->iVersion >= 2 ? M(f)->xShmUnmap(Real(f), deleteFlag) : SQLITE_OK;
}
int Fetch(sqlite3_file* f, sqlite3_int64 o, int n, void** out) {
  if (M(f)->iVersion >= 3) return M(f)->xFetch(Real(f), o, n, out);
  *out = nullptr;
  return SQLITE_OK;
}
int Unfetch(sqlite3_file* f, sqlite3_int64 o, void* p) {
  return M(f)->iVersion >= 3 ? M(f)->xUnfetch(Real(f), o, p) : SQLITE_OK;
}

const sqlite3_io_methods kMethods = {
    3,         Close,     Read,        Write,      Truncate,
    Sync,      FileSize,  Lock,        Unlock,     CheckReservedLock,
    FileControl, SectorSize, DeviceCharacteristics, ShmMap, ShmLock,
    ShmBarrier, ShmUnmap, Fetch,       Unfetch};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
  auto* file = reinterpret_cast<CountingFile*>(f);
  file->real = reinterpret_cast<sqlite3_file*>(file + 1);
  const int rc = g_real->xOpen(g_real, name, file->real, flags, outFlags);
  file->base.pMethods = file->real->pMethods ? &kMethods : nullptr;
  return rc;
}

int Delete(sqlite3_vfs*, const char* name, int syncDir) {
  return g_real->xDelete(g_real, name, syncDir);
}
int Access(sqlite3_vfs*, const char* name, int flags, int* out) {
  return g_real->xAccess(g_real, name, flags, out);
}
int FullPathname(sqlite3_vfs*, const char* name, int n, char* out) {
  return g_real->xFullPathname(g_real, name, n, out);
}

}  // namespace

bool InstallSyncCountingVfs() {
  if (g_real) return true;
  g_real = sqlite3_vfs_find(nullptr);
  if (!g_real) return false;
  // The rest of the default VFS (randomness, time, dynamic loading) is used as it is.
  g_counting = *g_real;
  g_counting.pNext = nullptr;
  g_counting.zName = "bench-counting";
  g_counting.szOsFile = static_cast<int>(sizeof(CountingFile)) + g_real->szOsFile;
  g_counting.xOpen = Open;
  g_counting.xDelete = Delete;
  g_counting.xAccess = Access;
  g_counting.xFullPathname = FullPathname;
  return sqlite3_vfs_register(&g_counting, 1) == SQLITE_OK;
}

int64_t SqliteSyncs() { return g_syncs; }
void ResetSqliteSyncs() { g_syncs = 0; }

}  // namespace bench
