#include "isamtool_repair.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <ostream>

#include "common/Ansi.h"
#include "storage/BTFileIO.h"
#include "storage/BTIsBase.h"
#include "storage/FileCheck.h"
#include "storage/Filer_error.h"
#include "storage/ReOrg.h"

namespace isamtool {

namespace {

constexpr int64_t kProgressEvery = 5000;

// RecordLength and IndexCount of the data file as they stand on disk; length 0 when the
// header cannot be read.
struct DiskHeader {
  int32_t length = 0;
  int indexCount = 0;
};

DiskHeader DataHeaderOnDisk(const std::string& name) {
  isam::FileRec dat;
  unsigned char bytes[isam::kDataHeaderBytes] = {};
  const bool ok = isam::OpenFile(dat, isam::FileBlockFileName(name, isam::FileKind::Data)) &&
                  isam::ReadAt(dat, 0, isam::kDataHeaderBytes, bytes);
  isam::CloseFile(dat);
  if (!ok) return {};
  const isam::Header header = isam::DecodeDataHeader(bytes);
  return {header.length, static_cast<int>(header.indexCount)};
}

std::string Printable(const std::string& bytes) {
  std::string text;
  for (unsigned char b : bytes) text += b >= 0x20 && b != 0x7F ? static_cast<char>(b) : '.';
  return ansi::ToUtf8(text);
}

}  // namespace

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char b : bytes) {
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  return hex;
}

bool ParseKeyFields(const std::vector<std::string>& words, std::vector<KeyField>& fields, std::string& error) {
  for (const std::string& w : words) {
    KeyField field;
    std::string text = w;
    if (!text.empty() && text.back() == 'd') {
      field.index.allowDuplicates = true;
      text.pop_back();
    }
    const auto colon = text.find(':');
    int offset = -1, length = 0;
    const bool parsed =
        colon != std::string::npos &&
        std::from_chars(text.data(), text.data() + colon, offset).ptr == text.data() + colon &&
        std::from_chars(text.data() + colon + 1, text.data() + text.size(), length).ptr == text.data() + text.size();
    if (!parsed || offset < 0 || length < 1 || length > isam::kMaxKeyLength) {
      error = "not a key OFF:LEN[d] with LEN 1.." + std::to_string(isam::kMaxKeyLength) + ": " + w;
      return false;
    }
    field.offset = offset;
    field.index.keyLength = static_cast<uint8_t>(length);
    fields.push_back(field);
  }
  if (fields.size() > static_cast<size_t>(isam::kMaxIndexes)) {
    error = "more than " + std::to_string(isam::kMaxIndexes) + " keys";
    return false;
  }
  return true;
}

RebuildCounts Rebuild(const std::string& name, const std::vector<KeyField>& fields, bool reindexOnly,
                      std::ostream* progress) {
  RebuildCounts counts;
  const int32_t length = DataHeaderOnDisk(name).length;
  std::vector<isam::IndexDescription> indexes;
  for (const KeyField& s : fields) indexes.push_back(s.index);
  // A field beyond the record gives an empty key; its length byte is cut to the record's end.
  const isam::KeyFunction keyOf = [&](std::string& key, const unsigned char* record, int k) {
    const KeyField& s = fields[static_cast<size_t>(k - 1)];
    key.clear();
    if (s.offset >= length) return;
    const int32_t room = length - s.offset - 1;
    const int32_t n = std::min<int32_t>({record[s.offset], room, s.index.keyLength});
    if (n > 0) key.assign(reinterpret_cast<const char*>(record + s.offset + 1), static_cast<size_t>(n));
  };
  const isam::ConversionFunction keepLive = [&](const unsigned char* old, unsigned char* fresh) {
    if ((old[0] | old[1] | old[2] | old[3]) != 0) {
      ++counts.dropped;
      return false;
    }
    std::copy(old, old + length, fresh);
    if (++counts.records % kProgressEvery == 0 && progress) *progress << "\r" << counts.records << " records" << std::flush;
    return true;
  };
  const std::string dumpLog = isam::FileBlockFileName(name, isam::FileKind::DumpLog);
  std::error_code ec;
  std::filesystem::remove(isam::ResolvePath(dumpLog), ec);  // a log of an earlier run says nothing now
  if (length <= 0) {
    isam::ClearError();
    isam::SetError(isam::kErrBadDataHeader);
    return counts;
  }
  // A journal left by a cut-off operation is replayed first: the rebuild deletes it.
  if (std::filesystem::exists(isam::ResolvePath(isam::FileBlockFileName(name, isam::FileKind::Journal)), ec)) {
    isam::FileBlock* fb = nullptr;
    isam::OpenFileBlock(fb, name, true);
    if (fb) isam::CloseFileBlock(fb);
    isam::ClearError();
  }
  if (reindexOnly) isam::ReIndex(name, static_cast<uint16_t>(indexes.size()), indexes, keyOf, false);
  else isam::ReOrg(name, length, static_cast<uint16_t>(indexes.size()), indexes, length, keyOf, keepLive);
  if (progress && counts.records >= kProgressEvery) *progress << "\n";
  if (std::filesystem::exists(isam::ResolvePath(dumpLog), ec)) counts.dumpLog = dumpLog;
  return counts;
}

int CheckCommand(const std::string& name, std::ostream& out) {
  const isam::FileBlockCheck check(name);
  for (const std::string& f : check.findings()) out << f << '\n';
  if (check.sound()) out << "sound\n";
  return check.sound() ? 0 : 1;
}

int DumpCommand(const std::string& name, bool records, int keysOf, std::ostream& out) {
  const isam::FileBlockCheck check(name);
  const isam::FileBlockShape& s = check.shape();
  out << "data: RecordLength " << s.recordLength << ", HighRecord " << s.highRecord << ", FreeCount "
      << s.freeRecords << " (" << s.freeChain << " on the free chain), IndexCount " << s.indexCount << ", OpenFlag "
      << (s.openFlag ? 1 : 0) << '\n';
  out << "journal: " << (s.journalBytes < 0 ? std::string("none") : std::to_string(s.journalBytes) + " bytes") << '\n';
  for (size_t k = 0; k < s.indexes.size(); ++k) {
    const isam::IndexShape& ix = s.indexes[k];
    const double fill = ix.pagesInTree > 0 ? 100.0 * static_cast<double>(ix.usedItems) /
                                                 (static_cast<double>(ix.pagesInTree) * ix.pageItems)
                                           : 0.0;
    char line[200];
    std::snprintf(line, sizeof line,
                  "index %zu: key length %d%s, EntryCount %u, %u in the tree, height %d, HighPage %d, %d free, "
                  "fill %.0f%%",
                  k + 1, ix.keyLength, ix.allowDuplicates ? " (equal keys allowed)" : "", ix.entries, ix.reached,
                  ix.height, ix.highPage, ix.freePages, fill);
    out << line << '\n';
  }
  for (const std::string& f : check.findings()) out << "finding: " << f << '\n';
  if (records)
    for (const auto& [number, bytes] : check.LiveRecords())
      out << "record " << number << ": " << Hex(bytes) << "  " << Printable(bytes) << '\n';
  if (keysOf > 0)
    for (const isam::KeyEntry& e : check.Keys(keysOf)) out << "key " << e.record << " " << ansi::ToUtf8(e.key) << '\n';
  return 0;
}

int RebuildCommand(const std::string& name, const std::vector<std::string>& keyWords, bool reindexOnly,
                   std::ostream& out, std::ostream& progress) {
  std::vector<KeyField> fields;
  std::string error;
  if (!ParseKeyFields(keyWords, fields, error)) {
    progress << "isamtool: " << error << '\n';
    return 2;
  }
  // Fewer keys than the file has indexes would leave the program's file without them.
  const DiskHeader header = DataHeaderOnDisk(name);
  if (header.length > 0 && header.indexCount > static_cast<int>(fields.size())) {
    progress << "isamtool: " << ansi::ToUtf8(name) << " has " << header.indexCount
             << " indexes: give one OFF:LEN[d] for each\n";
    return 2;
  }
  if (isam::InitIsam(0, isam::kDefaultBuffers) == 0) {
    progress << "isamtool: the engine cannot start (error " << isam::IsamError << ")\n";
    return 1;
  }
  const RebuildCounts counts = Rebuild(name, fields, reindexOnly, &progress);
  const bool ok = isam::IsamSuccess;
  const int32_t failure = isam::IsamError;
  isam::ExitIsam();
  if (!ok) {
    progress << "isamtool: " << (reindexOnly ? "reindex" : "reorg") << " failed with error " << failure << " class "
             << isam::ErrorClassOf(failure) << '\n';
    return 1;
  }
  if (!reindexOnly) out << counts.records << " records kept, " << counts.dropped << " deleted slots left out\n";
  out << fields.size() << " indexes built\n";
  if (!counts.dumpLog.empty()) out << "duplicate keys are listed in " << ansi::ToUtf8(counts.dumpLog) << '\n';
  return 0;
}

}  // namespace isamtool
