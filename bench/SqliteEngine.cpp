// SQLite's side: one table of the record and its two keys under unique indexes, the default
// page cache, journal_mode=DELETE and synchronous=FULL; the statements prepared once.
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SyncCountingVfs.h"
#include "Workload.h"

namespace bench {
namespace {

void Fail(sqlite3* db, const char* what) {
  std::fprintf(stderr, "sqlite: %s failed: %s\n", what, db ? sqlite3_errmsg(db) : "no handle");
  std::exit(1);
}

void Exec(sqlite3* db, const char* sql) {
  if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail(db, sql);
}

sqlite3_stmt* Prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) Fail(db, sql);
  return st;
}

void BindText(sqlite3* db, sqlite3_stmt* st, int i, const std::string& text) {
  if (sqlite3_bind_text(st, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT) !=
      SQLITE_OK)
    Fail(db, "bind");
}

class SqliteEngine : public Engine {
 public:
  explicit SqliteEngine(const std::string& folder) : folder_(folder) {
    if (!InstallSyncCountingVfs()) Fail(nullptr, "installing the counting VFS");
  }

  std::string Name() const override { return "SQLite"; }

  Measure DurableInserts(const std::vector<uint32_t>& values) override {
    sqlite3* db = Create("durable");
    Measure m = Insert(db, values);  // autocommit: every INSERT is its own transaction
    Close(db);
    return m;
  }

  Measure BulkLoad(const std::string& file, const std::vector<uint32_t>& values) override {
    sqlite3* db = Create(file);
    ResetSqliteSyncs();
    const auto start = Clock::now();
    Exec(db, "BEGIN");
    Measure m = Insert(db, values);
    Exec(db, "COMMIT");
    m.seconds = Since(start);
    m.syncs = SqliteSyncs();
    Close(db);
    return m;
  }

  Measure Lookups(const std::string& file, const std::vector<uint32_t>& values) override {
    sqlite3* db = Open(file);
    sqlite3_stmt* st = Prepare(db, "SELECT data FROM rec WHERE k30 = ?1");
    std::vector<std::string> keys;
    keys.reserve(values.size());
    for (uint32_t v : values) keys.push_back(Key30(v));
    Measure m;
    const auto start = Clock::now();
    for (const std::string& key : keys) {
      BindText(db, st, 1, key);
      if (sqlite3_step(st) != SQLITE_ROW || sqlite3_column_bytes(st, 0) != kRecordLength)
        Fail(db, "SELECT by key");
      m.check += RecordCheck(static_cast<const unsigned char*>(sqlite3_column_blob(st, 0)));
      sqlite3_reset(st);
    }
    m.seconds = Since(start);
    m.ops = static_cast<int64_t>(keys.size());
    sqlite3_finalize(st);
    Close(db);
    return m;
  }

  Measure Walk(const std::string& file) override {
    sqlite3* db = Open(file);
    Measure m;
    const auto start = Clock::now();
    sqlite3_stmt* st = Prepare(db, "SELECT id, k30 FROM rec ORDER BY k30");
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
      const auto id = static_cast<uint64_t>(sqlite3_column_int64(st, 0));
      sqlite3_column_text(st, 1);
      m.check = m.check * 1000003 + id + static_cast<uint64_t>(sqlite3_column_bytes(st, 1));
      ++m.ops;
    }
    if (rc != SQLITE_DONE) Fail(db, "walk");
    sqlite3_finalize(st);
    m.seconds = Since(start);
    Close(db);
    return m;
  }

  Measure OpenClose(int times) override {
    const std::string path = folder_ + "/eight.db";
    sqlite3* db = Fresh(path);
    std::string columns, values = "?1";
    for (int k = 1; k <= kOpenCloseIndexes; ++k) {
      columns += ", k" + std::to_string(k);
      values += ", ?" + std::to_string(k + 1);
    }
    Exec(db, ("CREATE TABLE eight(id INTEGER PRIMARY KEY, data BLOB NOT NULL" + columns + ")").c_str());
    for (int k = 1; k <= kOpenCloseIndexes; ++k) {
      const std::string n = std::to_string(k);
      Exec(db, ("CREATE UNIQUE INDEX eight_k" + n + " ON eight(k" + n + ")").c_str());
    }
    Exec(db, "BEGIN");
    sqlite3_stmt* st =
        Prepare(db, ("INSERT INTO eight(data" + columns + ") VALUES(" + values + ")").c_str());
    unsigned char record[kRecordLength];
    for (uint32_t v = 0; v < kOpenCloseRecords; ++v) {
      FillRecord(v, record);
      sqlite3_bind_blob(st, 1, record, kRecordLength, SQLITE_TRANSIENT);
      for (int k = 1; k <= kOpenCloseIndexes; ++k) BindText(db, st, k + 1, OpenCloseKey(k, v));
      if (sqlite3_step(st) != SQLITE_DONE) Fail(db, "INSERT");
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    Exec(db, "COMMIT");
    Close(db);
    Measure m;
    ResetSqliteSyncs();
    const auto start = Clock::now();
    for (int i = 0; i < times; ++i) {
      // SQLite reads its schema, all 8 indexes of it, at the first statement, not at the open.
      db = OpenPath(path);
      st = Prepare(db, "SELECT id FROM eight WHERE k1 = ?1");
      sqlite3_finalize(st);
      Close(db);
    }
    m.seconds = Since(start);
    m.ops = times;
    m.syncs = SqliteSyncs();
    return m;
  }

 private:
  sqlite3* OpenPath(const std::string& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK)
      Fail(db, "open");
    Exec(db, "PRAGMA journal_mode=DELETE");
    Exec(db, "PRAGMA synchronous=FULL");
    return db;
  }

  sqlite3* Open(const std::string& file) { return OpenPath(folder_ + "/" + file + ".db"); }

  sqlite3* Fresh(const std::string& path) {
    std::remove(path.c_str());
    std::remove((path + "-journal").c_str());
    return OpenPath(path);
  }

  sqlite3* Create(const std::string& file) {
    sqlite3* db = Fresh(folder_ + "/" + file + ".db");
    Exec(db, "CREATE TABLE rec(id INTEGER PRIMARY KEY, k4 TEXT NOT NULL, k30 TEXT NOT NULL,"
             " data BLOB NOT NULL)");
    Exec(db, "CREATE UNIQUE INDEX rec_k4 ON rec(k4)");
    Exec(db, "CREATE UNIQUE INDEX rec_k30 ON rec(k30)");
    return db;
  }

  static void Close(sqlite3* db) {
    if (sqlite3_close(db) != SQLITE_OK) Fail(db, "close");
  }

  static Measure Insert(sqlite3* db, const std::vector<uint32_t>& values) {
    sqlite3_stmt* st = Prepare(db, "INSERT INTO rec(k4, k30, data) VALUES(?1, ?2, ?3)");
    Measure m;
    unsigned char record[kRecordLength];
    ResetSqliteSyncs();
    const auto start = Clock::now();
    for (uint32_t v : values) {
      FillRecord(v, record);
      BindText(db, st, 1, Key4(v));
      BindText(db, st, 2, Key30(v));
      sqlite3_bind_blob(st, 3, record, kRecordLength, SQLITE_TRANSIENT);
      if (sqlite3_step(st) != SQLITE_DONE) Fail(db, "INSERT");
      sqlite3_reset(st);
      m.check += static_cast<uint64_t>(sqlite3_last_insert_rowid(db));
    }
    m.seconds = Since(start);
    m.ops = static_cast<int64_t>(values.size());
    m.syncs = SqliteSyncs();
    sqlite3_finalize(st);
    return m;
  }

  std::string folder_;
};

}  // namespace

std::unique_ptr<Engine> MakeSqliteEngine(const std::string& folder) {
  return std::make_unique<SqliteEngine>(folder);
}

}  // namespace bench
