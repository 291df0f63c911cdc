#include "registers/ekeyedreg32.h"

#include "common/Ansi.h"
#include "common/ESmall_Bytes.h"
#include "shell/Eerror32.h"

namespace ereg {

bool OpenOrCreateKeyedFile(isam::FileBlock*& fb, const std::string& name, int32_t recordSize) {
  fb = nullptr;
  isam::OpenFileBlock(fb, name, true);
  if (isam::IsamSuccess) {
    if (isam::RecordLength(fb) == recordSize) return true;
    // Another program's file under our name is not ours to read or replace.
    isam::CloseFileBlock(fb);
    fb = nullptr;
    return false;
  }
  const isam::IndexDescription index{isam::kMaxKeyLength, true};
  isam::CreateFileBlock(name, recordSize, 1, std::span<const isam::IndexDescription>(&index, 1));
  if (!isam::IsamSuccess) return false;
  isam::OpenFileBlock(fb, name, true);
  if (isam::IsamSuccess) return true;
  fb = nullptr;
  return false;
}

TKeyedFileReg::TKeyedFileReg(isam::FileBlock* fb, int32_t recordSize, std::string deletedWord)
    : fb_(fb), rec_(static_cast<size_t>(recordSize)), deletedWord_(std::move(deletedWord)) {}

int32_t TKeyedFileReg::UsedRecords() const { return isam::UsedRecs(fb_); }

bool TKeyedFileReg::ReadRecord(int32_t recNo) {
  if (recNo <= 0) return false;
  std::vector<unsigned char> read(rec_.size());
  isam::GetRec(fb_, recNo, read.data());
  if (!isam::IsamSuccess || esmall::GetI32(read, 0) != 0) {
    isam::ClearError();
    return false;
  }
  rec_ = std::move(read);
  current_ = recNo;
  return true;
}

void TKeyedFileReg::FixtSelect(FixtOp op, const std::string& key, int32_t& recNo, bool& found, bool& atEnd) {
  found = false;
  atEnd = false;
  std::string at = key;
  switch (op) {
    case kFixtFirst:
      isam::ClearKey(fb_, 1);
      return;
    case kFixtNext:
      isam::NextKey(fb_, 1, recNo, at);
      if (!isam::IsamSuccess) {
        isam::ClearError();
        atEnd = true;
        return;
      }
      break;
    case kFixtFind:
      isam::FindKey(fb_, 1, recNo, at);
      if (!isam::IsamSuccess) {
        isam::ClearError();
        return;
      }
      break;
    case kFixtAtRecord:
      break;
  }
  found = ReadRecord(recNo);
}

bool TKeyedFileReg::FindByKey(const std::string& key, int32_t& recNo) {
  bool found = false, atEnd = false;
  FixtSelect(kFixtFind, key, recNo, found, atEnd);
  return found;
}

bool TKeyedFileReg::PutRecSelect() {
  isam::PutRec(fb_, current_, rec_.data());
  if (isam::IsamSuccess) return true;
  eerror::ReportIsamError();
  return false;
}

int32_t TKeyedFileReg::AddRecord() {
  BeforeStore();
  esmall::PutI32(rec_, 0, 0);
  int32_t recNo = 0;
  isam::AddRec(fb_, recNo, rec_.data());
  if (isam::IsamSuccess) {
    isam::AddKey(fb_, 1, recNo, RecordKey());
    if (isam::IsamSuccess) {
      current_ = recNo;
      return recNo;
    }
    eerror::ReportIsamError();
    isam::DeleteRec(fb_, recNo);  // a record without its key would never be listed
    return 0;
  }
  eerror::ReportIsamError();
  return 0;
}

bool TKeyedFileReg::AddRecSelect(bool isNew, int32_t& recNo, bool) {
  if (isNew) {
    recNo = AddRecord();
    return recNo != 0;
  }
  BeforeStore();
  current_ = recNo;
  if (!PutRecSelect()) return false;
  isam::AddKey(fb_, 1, recNo, RecordKey());
  if (isam::IsamSuccess) return true;
  eerror::ReportIsamError();
  return false;
}

bool TKeyedFileReg::InUnit(const std::function<bool()>& change) {
  if (unitOpen_) return change();
  isam::BeginUnit(fb_);
  if (!isam::IsamSuccess) {
    eerror::ReportIsamError();
    return false;
  }
  unitOpen_ = true;
  const bool changed = change();
  unitOpen_ = false;
  if (!changed) {
    isam::AbortUnit(fb_);  // the failing call has told why
    isam::ClearError();
    return false;
  }
  isam::CommitUnit(fb_);
  if (isam::IsamSuccess) return true;
  eerror::ReportIsamError();
  return false;
}

bool TKeyedFileReg::UnitDialogFrame(bool isNew, int index, int32_t recNo, const std::function<bool()>& dialog) {
  bool framed = false, confirmed = false;
  const bool kept = InUnit([&] {
    framed = true;
    confirmed = DialogFrame(isNew, index, recNo, dialog);
    return true;
  });
  if (!kept && framed) Fill();  // the unit undone: the list as the file has it
  return kept && confirmed;
}

bool TKeyedFileReg::RemoveKeys(FixtOp op, const std::string& key, int32_t recNo, bool deleteRecord,
                               std::string& removedKey) {
  bool found = false, atEnd = false;
  FixtSelect(op == kFixtFind ? kFixtFind : kFixtAtRecord, key, recNo, found, atEnd);
  if (!found) return false;
  removedKey = RecordKey();
  isam::DeleteKey(fb_, 1, recNo, removedKey);
  if (!isam::IsamSuccess) {
    eerror::ReportIsamError();
    return false;
  }
  if (!deleteRecord) return true;
  isam::DeleteRec(fb_, recNo);
  if (isam::IsamSuccess) return true;
  eerror::ReportIsamError();
  return false;
}

bool TKeyedFileReg::DelRecSelect(FixtOp op, const std::string& key, int32_t recNo, bool deleteRecord) {
  std::string removedKey;
  if (!deleteRecord) return RemoveKeys(op, key, recNo, false, removedKey);
  // The record and its key go together or not at all.
  if (!InUnit([&] { return RemoveKeys(op, key, recNo, true, removedKey); })) return false;
  eerror::EMsg(eerror::kStatusLine, deletedWord_ + "\"" + removedKey + A("\", raderad..."));
  return true;
}

bool TKeyedFileReg::DeleteByKey(const std::string& key) { return DelRecSelect(kFixtFind, key, 0, true); }

}  // namespace ereg
