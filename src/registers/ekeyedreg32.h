// A register kept in its own indexed file of fixed-size records with one key (the label
// and giro registers): the record buffer, the file's key operations behind FixtSelect, and
// storing and deleting a record with its key. A record counts only while its status word
// is 0. The derived register gives the key of the buffer, its list line and its dialog.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "registers/eregform.h"
#include "storage/Filer.h"

namespace ereg {

// Opens the file name (a path), creating it with records of recordSize bytes and one
// 30-character key (duplicates allowed) when it cannot be opened. False when it can be
// neither opened nor created.
bool OpenOrCreateKeyedFile(isam::FileBlock*& fb, const std::string& name, int32_t recordSize);

class TKeyedFileReg : public TERegForm {
 public:
  // deletedWord: the status line after a deletion starts with it ("Etikett ").
  TKeyedFileReg(isam::FileBlock* fb, int32_t recordSize, std::string deletedWord);

  std::vector<unsigned char>& Record() { return rec_; }
  const std::vector<unsigned char>& Record() const { return rec_; }
  int32_t UsedRecords() const;

  // The key of the record in the buffer (at most 30 characters).
  virtual std::string RecordKey() const = 0;

  // Stores the buffer as a new record with its key: the record number, or 0 when the
  // storage engine refused (its error then reported).
  int32_t AddRecord();
  // Deletes the record with the given key; false when there is none.
  bool DeleteByKey(const std::string& key);
  // Reads record recNo into the buffer when it is in use.
  bool ReadRecord(int32_t recNo);
  // Reads the record with the given key into the buffer.
  bool FindByKey(const std::string& key, int32_t& recNo);

 protected:
  void FixtSelect(FixtOp op, const std::string& key, int32_t& recNo, bool& found, bool& atEnd) override;
  bool PutRecSelect() override;
  bool AddRecSelect(bool isNew, int32_t& recNo, bool ok) override;
  bool DelRecSelect(FixtOp op, const std::string& key, int32_t recNo, bool deleteRecord) override;
  // What a record needs before it is stored (an empty name becomes "XXX").
  virtual void BeforeStore() {}
  // DialogFrame as one all-or-nothing unit of the file: the keys a change takes out while its
  // dialog is open come back should the program end before the dialog does. True when the
  // dialog was confirmed and its record stored.
  bool UnitDialogFrame(bool isNew, int index, int32_t recNo, const std::function<bool()>& dialog);

  isam::FileBlock* fb_;

 private:
  // change as one unit of the file, or as part of the unit already open. False when change
  // said so or the unit could not be kept (the storage engine's error then reported).
  bool InUnit(const std::function<bool()>& change);
  bool RemoveKeys(FixtOp op, const std::string& key, int32_t recNo, bool deleteRecord, std::string& removedKey);

  bool unitOpen_ = false;
  std::vector<unsigned char> rec_;
  int32_t current_ = 0;  // the record in the buffer
  std::string deletedWord_;
};

}  // namespace ereg
