// A seeded workload of journaled engine calls over a few fileblocks, and the state of those
// fileblocks as a reader of the files sees it. Crash tests run the workload, cut it off, let
// the recovery at open run, and compare what is left with the states the calls produce.
//
// Each engine call is one step; a record is added and then keyed in two indexes, or unkeyed
// and then deleted, or rewritten in place, so every step leaves files that a step of the same
// seed, run again, leaves byte for byte the same. Some steps are a whole unit instead
// (BeginUnit .. CommitUnit): a record unkeyed and deleted, then one or two added and keyed,
// so that the deleted slot is taken again inside the unit.
#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "IndexFileReader.h"
#include "TempFolder.h"
#include "storage/FileCheck.h"
#include "storage/Filer.h"

constexpr int32_t kWorkloadRecordLength = 40;

// What a fileblock holds: its live records and every index's entries in order, or the faults
// that make it unreadable.
struct FileBlockState {
  std::map<int32_t, std::string> records;
  std::vector<std::vector<IxEntry>> entries;  // entries[k - 1] for index k
  std::string faults;
  bool operator==(const FileBlockState&) const = default;
};

inline int32_t LittleI32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<size_t>(i)]);
  return static_cast<int32_t>(v);
}

// Reads the closed fileblock `stem` in `dir` from its bytes, checking the data file's free
// chain and every tree on the way.
inline FileBlockState ReadFileBlockState(const TempFolder& dir, const std::string& stem, int indexes) {
  FileBlockState s;
  const std::string dat = dir.Read(stem + ".DAT");
  if (dat.size() < static_cast<size_t>(kWorkloadRecordLength)) {
    s.faults = "data file too short\n";
    return s;
  }
  const int32_t high = LittleI32(dat, 8);
  const int32_t freeCount = LittleI32(dat, 4);
  std::ostringstream faults;
  if (static_cast<int64_t>(dat.size()) != (static_cast<int64_t>(high) + 1) * kWorkloadRecordLength)
    faults << "data file of " << dat.size() << " bytes for HighRecord " << high << "\n";
  if (dat[20] != 0) faults << "OpenFlag set\n";
  std::set<int32_t> free;
  for (int32_t r = LittleI32(dat, 0); r != -1;) {
    if (r < 1 || r > high || !free.insert(r).second) {
      faults << "record free chain broken at " << r << "\n";
      break;
    }
    const size_t at = static_cast<size_t>(r) * kWorkloadRecordLength;
    if (at + 4 > dat.size()) break;
    r = LittleI32(dat, at);
  }
  if (static_cast<int32_t>(free.size()) != freeCount)
    faults << "FreeCount " << freeCount << " but " << free.size() << " free records\n";
  for (int32_t r = 1; r <= high; ++r) {
    const size_t at = static_cast<size_t>(r) * kWorkloadRecordLength;
    if (!free.count(r) && at + kWorkloadRecordLength <= dat.size())
      s.records[r] = dat.substr(at, kWorkloadRecordLength);
  }
  const IndexFileReader ix(dir.Read(stem + ".IX"), indexes);
  for (int k = 1; k <= indexes; ++k) {
    std::vector<IxEntry> entries;
    faults << ix.Check(k, &entries);
    for (const IxEntry& e : entries)
      if (!s.records.count(static_cast<int32_t>(e.rec)))
        faults << "index " << k << " names record " << e.rec << ", which is not live\n";
    s.entries.push_back(std::move(entries));
  }
  // The repair tool's checker must agree that nothing is wrong.
  const isam::FileBlockCheck check(dir / stem);
  for (const std::string& f : check.findings()) faults << "check: " << f << "\n";
  const std::string dia = dir.Read(stem + ".DIA");
  if (dia.size() != 1) faults << "journal of " << dia.size() << " bytes after the open\n";
  s.faults = faults.str();
  return s;
}

class CrashWorkload {
 public:
  static constexpr int kFileBlocks = 2;
  static constexpr int kIndexes = 2;  // a unique key of 10 and a duplicate key of 4

  explicit CrashWorkload(uint32_t seed) : rng_(seed) {}

  static std::string Stem(int f) { return f == 0 ? "a" : "b"; }

  static void Create(const TempFolder& dir) {
    const isam::IndexDescription ix[] = {{10, false}, {4, true}};
    for (int f = 0; f < kFileBlocks; ++f) isam::CreateFileBlock(dir / Stem(f), kWorkloadRecordLength, kIndexes, ix);
  }

  // Runs the next engine call, or unit of calls, on fbs[0..kFileBlocks); false when the
  // engine refused it.
  bool Step(isam::FileBlock* const* fbs) {
    if (plan_.empty()) Plan();
    const size_t calls = plan_.front().unitCalls;
    if (calls == 0) return Call1(fbs);
    isam::FileBlock* fb = fbs[plan_.front().file];
    isam::BeginUnit(fb);
    if (!isam::IsamSuccess) return false;
    for (size_t i = 0; i < calls; ++i)
      if (!Call1(fbs)) return false;
    isam::CommitUnit(fb);
    return isam::IsamSuccess;
  }

  // The last step rewrote a record in place: the one call the journal does not cover.
  bool LastWasPutRec() const { return lastWasPutRec_; }

 private:
  enum class Kind { AddRec, AddKey, DeleteKey, DeleteRec, PutRec };
  struct Call {
    int file = 0;
    Kind kind = Kind::AddRec;
    int32_t rec = 0;  // 0 until the AddRec of the same record's calls has given the number
    int index = 0;
    std::vector<std::string> keys;
    std::string record;
    int serial = 0;          // the calls of one record share it
    size_t unitCalls = 0;    // on the first call of a unit: how many calls it holds
  };
  struct Model {
    std::map<int32_t, std::vector<std::string>> live;  // record → its two keys
  };

  bool Call1(isam::FileBlock* const* fbs) {
    Call c = plan_.front();
    plan_.erase(plan_.begin());
    isam::FileBlock* fb = fbs[c.file];
    lastWasPutRec_ = c.kind == Kind::PutRec;
    Model& m = models_[static_cast<size_t>(c.file)];
    switch (c.kind) {
      case Kind::AddRec: {
        int32_t rec = 0;
        isam::AddRec(fb, rec, c.record.data());
        if (!isam::IsamSuccess) return false;
        m.live[rec] = c.keys;
        for (Call& later : plan_)
          if (later.serial == c.serial) later.rec = rec;
        return true;
      }
      case Kind::AddKey: isam::AddKey(fb, c.index, c.rec, c.keys[static_cast<size_t>(c.index - 1)]); break;
      case Kind::DeleteKey: isam::DeleteKey(fb, c.index, c.rec, c.keys[static_cast<size_t>(c.index - 1)]); break;
      case Kind::DeleteRec:
        isam::DeleteRec(fb, c.rec);
        m.live.erase(c.rec);
        break;
      case Kind::PutRec: isam::PutRec(fb, c.rec, c.record.data()); break;
    }
    return isam::IsamSuccess;
  }

  std::string RecordBytes(const std::vector<std::string>& keys) {
    std::string r(kWorkloadRecordLength, '\0');  // first word 0: a live record
    const std::string body = keys[0] + "|" + keys[1] + "|" + std::to_string(rng_() % 100000);
    r.replace(4, std::min(body.size(), r.size() - 4), body.substr(0, r.size() - 4));
    return r;
  }

  void Plan() {
    const int file = static_cast<int>(rng_() % kFileBlocks);
    Model& m = models_[static_cast<size_t>(file)];
    const unsigned roll = rng_() % 12;
    if (roll >= 10) {
      const size_t first = plan_.size();
      if (!m.live.empty()) PlanDelete(file, SomeLive(m));
      PlanAdd(file);
      if (roll == 11) PlanAdd(file);
      plan_[first].unitCalls = plan_.size() - first;
    } else if (m.live.empty() || roll < 6) {
      PlanAdd(file);
    } else if (roll < 9) {
      PlanDelete(file, SomeLive(m));
    } else {
      const auto it = SomeLive(m);
      plan_.push_back({file, Kind::PutRec, it->first, 0, it->second, RecordBytes(it->second), serial_++});
    }
  }

  std::map<int32_t, std::vector<std::string>>::const_iterator SomeLive(const Model& m) {
    auto it = m.live.begin();
    std::advance(it, static_cast<long>(rng_() % m.live.size()));
    return it;
  }

  void PlanAdd(int file) {
    // Letters beyond ASCII and blanks too, so keys compare as the engine compares them.
    static const char* const kStems[] = {"konto", "\xC5terb", "\xF6vrig", "bank ", "Moms"};
    const int serial = serial_++;
    const std::vector<std::string> keys = {std::string(kStems[rng_() % 5]) + std::to_string(serial),
                                           "g" + std::to_string(rng_() % 12)};
    plan_.push_back({file, Kind::AddRec, 0, 0, keys, RecordBytes(keys), serial});
    plan_.push_back({file, Kind::AddKey, 0, 1, keys, {}, serial});
    plan_.push_back({file, Kind::AddKey, 0, 2, keys, {}, serial});
  }

  void PlanDelete(int file, std::map<int32_t, std::vector<std::string>>::const_iterator it) {
    const int serial = serial_++;
    plan_.push_back({file, Kind::DeleteKey, it->first, 2, it->second, {}, serial});
    plan_.push_back({file, Kind::DeleteKey, it->first, 1, it->second, {}, serial});
    plan_.push_back({file, Kind::DeleteRec, it->first, 0, it->second, {}, serial});
  }

  std::mt19937 rng_;
  std::vector<Call> plan_;
  Model models_[kFileBlocks];
  int serial_ = 0;
  bool lastWasPutRec_ = false;
};

using WorkloadState = std::vector<FileBlockState>;  // one a fileblock

// The state of every fileblock read from the files as they are; between steps everything of
// a journaled call is on disk, so this holds also while the fileblocks are open.
inline WorkloadState ReadWorkloadState(const TempFolder& dir) {
  WorkloadState s;
  for (int f = 0; f < CrashWorkload::kFileBlocks; ++f)
    s.push_back(ReadFileBlockState(dir, CrashWorkload::Stem(f), CrashWorkload::kIndexes));
  return s;
}

// Runs `steps` steps of the workload of `seed` afresh in the empty folder `dir` and returns
// the state before the first step and after each one. The engine must be started.
inline std::vector<WorkloadState> StatesOfWorkload(uint32_t seed, int64_t steps, const TempFolder& dir) {
  CrashWorkload::Create(dir);
  isam::FileBlock* fbs[CrashWorkload::kFileBlocks] = {};
  for (int f = 0; f < CrashWorkload::kFileBlocks; ++f) isam::OpenFileBlock(fbs[f], dir / CrashWorkload::Stem(f), true);
  CrashWorkload w(seed);
  std::vector<WorkloadState> states{ReadWorkloadState(dir)};
  for (int64_t i = 0; i < steps && w.Step(fbs); ++i) states.push_back(ReadWorkloadState(dir));
  for (int f = 0; f < CrashWorkload::kFileBlocks; ++f) isam::CloseFileBlock(fbs[f]);
  return states;
}
