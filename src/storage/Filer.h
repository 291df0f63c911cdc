// The storage engine's public operations and its process-wide error state.
//
// Every operation clears the error state, checks the engine is started (10455), the handle
// (10445) and the index number (10164), and then reports through IsamSuccess / IsamError /
// IsamDosError; nothing throws. Keys and names are Windows-1252 byte strings; keys are cut
// to 30 characters, names to 192. Records are moved as exactly RecordLength bytes from and
// to caller-owned buffers.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "storage/Filer_error.h"

namespace isam {

struct FileBlock;  // owned by the engine between OpenFileBlock and CloseFileBlock

constexpr int kMaxKeyLength = 30;
constexpr int kMaxIndexes = 100;
constexpr int kMaxNameLength = 192;
constexpr int kMinRecordLength = 21;
constexpr int32_t kDefaultBuffers = 200;

// One entry of the index description list of CreateFileBlock.
struct IndexDescription {
  uint8_t keyLength = 0;         // 1..30
  bool allowDuplicates = false;  // equal keys allowed, ordered by record number
};

// Returns the number of page buffers obtained, 0 on failure. netType is 0 or 2.
int32_t InitIsam(uint16_t netType, int32_t buffers);
void ExitIsam();

void CreateFileBlock(const std::string& name, int32_t recordLength, uint16_t indexCount,
                     std::span<const IndexDescription> indexes);
void OpenFileBlock(FileBlock*& fb, const std::string& name, bool journal);
void CloseFileBlock(FileBlock*& fb);
void DeleteFileBlock(const std::string& name);

void AddRec(FileBlock* fb, int32_t& recNo, const void* data);
void GetRec(FileBlock* fb, int32_t recNo, void* buffer);
void PutRec(FileBlock* fb, int32_t recNo, const void* data);
void DeleteRec(FileBlock* fb, int32_t recNo);
int32_t FileLen(FileBlock* fb);
int32_t UsedRecs(FileBlock* fb);
// Bytes of one record of an open fileblock; 0 when a check failed.
int32_t RecordLength(FileBlock* fb);

void AddKey(FileBlock* fb, int indexNo, int32_t recNo, const std::string& key);
void DeleteKey(FileBlock* fb, int indexNo, int32_t recNo, const std::string& key);
void FindKey(FileBlock* fb, int indexNo, int32_t& recNo, const std::string& key);
void SearchKey(FileBlock* fb, int indexNo, int32_t& recNo, std::string& key);
void NextKey(FileBlock* fb, int indexNo, int32_t& recNo, std::string& key);
void ClearKey(FileBlock* fb, int indexNo);

// The application's start-up routine: network mode when an argument holds "/NET" in any
// letter case, InitIsam with 200 buffers; on failure the start-up text is shown through
// `show` with message code 201 and false is returned.
using StartupMessage = std::function<void(const std::string& text, int code)>;
bool StartIsam(const std::vector<std::string>& args, const StartupMessage& show);

}  // namespace isam
