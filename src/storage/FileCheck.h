// A read-only look at a fileblock's three files, for the repair tool: everything that is
// wrong, one finding a line, and the shape of what is there. It reads the bytes itself, so
// it also looks at files OpenFileBlock refuses (OpenFlag set, a journal pending, damage),
// and it never changes a byte or follows a pointer outside the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace isam {

struct IndexShape {
  int keyLength = 0;
  int pageItems = 0;
  bool allowDuplicates = false;
  int32_t highPage = 0;
  int32_t freePages = 0;
  uint32_t entries = 0;    // as the header says
  uint32_t reached = 0;    // entries found in the tree
  int height = 0;
  int64_t usedItems = 0;   // items in the pages of the tree, for the fill
  int64_t pagesInTree = 0;
};

struct FileBlockShape {
  int32_t recordLength = 0;
  int32_t highRecord = 0;
  int32_t freeRecords = 0;  // as the header says
  int32_t freeChain = 0;    // records on the free chain
  int indexCount = 0;
  bool openFlag = false;
  int64_t journalBytes = -1;  // -1: no journal file
  std::vector<IndexShape> indexes;
};

struct KeyEntry {
  std::string key;
  uint32_t record = 0;
};

class FileBlockCheck {
 public:
  // name: a fileblock name as the engine takes it.
  explicit FileBlockCheck(const std::string& name);

  const std::vector<std::string>& findings() const { return findings_; }
  bool sound() const { return findings_.empty(); }
  const FileBlockShape& shape() const { return shape_; }
  // Live records in order of number: (number, bytes).
  std::vector<std::pair<int32_t, std::string>> LiveRecords() const;
  // Every key of index k (1..) in tree order, as far as the tree can be walked.
  std::vector<KeyEntry> Keys(int k) const;

 private:
  void CheckData();
  void CheckIndex(int k);
  void Find(const std::string& text) { findings_.push_back(text); }

  std::string dat_, ix_;
  bool haveIx_ = false;
  std::vector<bool> live_;  // by record number
  std::vector<int64_t> keyOffsets_;
  std::vector<std::vector<KeyEntry>> keys_;
  FileBlockShape shape_;
  std::vector<std::string> findings_;
};

}  // namespace isam
