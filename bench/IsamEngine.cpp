// Our engine's side: journaled fileblocks for the durable work, a fileblock without journal
// for the bulk load, the program's own 200 page buffers.
#include <cstdio>
#include <cstdlib>

#include "Workload.h"
#include "storage/BTFileIO_seam.h"
#include "storage/Filer.h"

namespace bench {
namespace {

// A benchmark that goes on after a failure measures nothing.
void Check(const char* what) {
  if (isam::IsamSuccess) return;
  std::fprintf(stderr, "storage engine: %s failed, IsamError %d, IsamDosError %d\n", what,
               isam::IsamError, isam::IsamDosError);
  std::exit(1);
}

class IsamEngine : public Engine {
 public:
  explicit IsamEngine(const std::string& folder) : folder_(folder) {
    if (isam::InitIsam(0, isam::kDefaultBuffers) == 0) Check("InitIsam");
  }
  ~IsamEngine() override { isam::ExitIsam(); }

  std::string Name() const override { return "ours"; }

  Measure DurableInserts(const std::vector<uint32_t>& values) override {
    isam::FileBlock* fb = CreateAndOpen("durable", true);
    Measure m = Insert(fb, values, false);
    isam::CloseFileBlock(fb);
    Check("CloseFileBlock");
    return m;
  }

  Measure GroupedDurableInserts(const std::vector<uint32_t>& values) override {
    isam::FileBlock* fb = CreateAndOpen("grouped", true);
    Measure m = Insert(fb, values, true);
    isam::CloseFileBlock(fb);
    Check("CloseFileBlock");
    return m;
  }

  Measure BulkLoad(const std::string& file, const std::vector<uint32_t>& values) override {
    isam::FileBlock* fb = CreateAndOpen(file, false);
    const auto start = Clock::now();
    isam::seam::Disarm();
    Measure m = Insert(fb, values, false);
    isam::CloseFileBlock(fb);  // writes the cached pages and flushes: the end of the load
    Check("CloseFileBlock");
    m.seconds = Since(start);
    m.syncs = isam::seam::Calls(isam::seam::Op::Flush);
    return m;
  }

  Measure Lookups(const std::string& file, const std::vector<uint32_t>& values) override {
    isam::FileBlock* fb = Open(file);
    Measure m;
    unsigned char record[kRecordLength];
    std::vector<std::string> keys;
    keys.reserve(values.size());
    for (uint32_t v : values) keys.push_back(Key30(v));
    const auto start = Clock::now();
    for (const std::string& key : keys) {
      int32_t recNo = 0;
      isam::FindKey(fb, 2, recNo, key);
      Check("FindKey");
      isam::GetRec(fb, recNo, record);
      Check("GetRec");
      m.check += RecordCheck(record);
    }
    m.seconds = Since(start);
    m.ops = static_cast<int64_t>(keys.size());
    Close(fb);
    return m;
  }

  Measure Walk(const std::string& file) override {
    isam::FileBlock* fb = Open(file);
    Measure m;
    const auto start = Clock::now();
    isam::ClearKey(fb, 2);
    std::string key;
    int32_t recNo = 0;
    for (;;) {
      isam::NextKey(fb, 2, recNo, key);
      if (!isam::IsamSuccess) break;
      m.check = m.check * 1000003 + static_cast<uint64_t>(recNo) + key.size();
      ++m.ops;
    }
    m.seconds = Since(start);
    if (isam::IsamErrorClass() != 1) Check("NextKey");
    Close(fb);
    return m;
  }

  Measure OpenClose(int times) override {
    const std::string name = folder_ + "/eight";
    std::vector<isam::IndexDescription> indexes;
    for (int k = 1; k <= kOpenCloseIndexes; ++k)
      indexes.push_back({static_cast<uint8_t>(OpenCloseKeyLength(k)), false});
    isam::CreateFileBlock(name, kRecordLength, kOpenCloseIndexes, indexes);
    Check("CreateFileBlock");
    isam::FileBlock* fb = nullptr;
    isam::OpenFileBlock(fb, name, false);
    Check("OpenFileBlock");
    unsigned char record[kRecordLength];
    for (uint32_t v = 0; v < kOpenCloseRecords; ++v) {
      FillRecord(v, record);
      int32_t recNo = 0;
      isam::AddRec(fb, recNo, record);
      Check("AddRec");
      for (int k = 1; k <= kOpenCloseIndexes; ++k) {
        isam::AddKey(fb, k, recNo, OpenCloseKey(k, v));
        Check("AddKey");
      }
    }
    isam::CloseFileBlock(fb);
    Check("CloseFileBlock");
    Close(Open("eight"));  // makes the journal, as the first journaled open of a file does
    Measure m;
    isam::seam::Disarm();
    const auto start = Clock::now();
    for (int i = 0; i < times; ++i) {
      isam::OpenFileBlock(fb, name, true);
      Check("OpenFileBlock");
      isam::CloseFileBlock(fb);
      Check("CloseFileBlock");
    }
    m.seconds = Since(start);
    m.ops = times;
    m.syncs = isam::seam::Calls(isam::seam::Op::Flush);
    return m;
  }

 private:
  isam::FileBlock* CreateAndOpen(const std::string& file, bool journal) {
    const std::string name = folder_ + "/" + file;
    const isam::IndexDescription indexes[] = {{kKey4Length, false}, {kKey30Length, false}};
    isam::CreateFileBlock(name, kRecordLength, 2, indexes);
    Check("CreateFileBlock");
    isam::FileBlock* fb = nullptr;
    isam::OpenFileBlock(fb, name, journal);
    Check("OpenFileBlock");
    return fb;
  }

  // Journaled, as the program opens its fileblocks.
  isam::FileBlock* Open(const std::string& file) {
    isam::FileBlock* fb = nullptr;
    isam::OpenFileBlock(fb, folder_ + "/" + file, true);
    Check("OpenFileBlock");
    return fb;
  }

  static void Close(isam::FileBlock* fb) {
    isam::CloseFileBlock(fb);
    Check("CloseFileBlock");
  }

  // AddRec, then the two AddKeys; each is one durable operation when fb is journaled, or
  // the three are one unit when `grouped`.
  static Measure Insert(isam::FileBlock* fb, const std::vector<uint32_t>& values, bool grouped) {
    Measure m;
    unsigned char record[kRecordLength];
    isam::seam::Disarm();
    const auto start = Clock::now();
    for (uint32_t v : values) {
      FillRecord(v, record);
      int32_t recNo = 0;
      if (grouped) {
        isam::BeginUnit(fb);
        Check("BeginUnit");
      }
      isam::AddRec(fb, recNo, record);
      Check("AddRec");
      isam::AddKey(fb, 1, recNo, Key4(v));
      Check("AddKey");
      isam::AddKey(fb, 2, recNo, Key30(v));
      Check("AddKey");
      if (grouped) {
        isam::CommitUnit(fb);
        Check("CommitUnit");
      }
      m.check += static_cast<uint64_t>(recNo);
    }
    m.seconds = Since(start);
    m.ops = static_cast<int64_t>(values.size());
    m.syncs = isam::seam::Calls(isam::seam::Op::Flush);
    return m;
  }

  std::string folder_;
};

}  // namespace

std::unique_ptr<Engine> MakeIsamEngine(const std::string& folder) {
  return std::make_unique<IsamEngine>(folder);
}

}  // namespace bench
