// What the fuzzers feed to the engine, shared by the libFuzzer programs (fuzz/) and by the
// storage tests, which run every seed and every input a fuzzer once found through the same
// code. An input must never crash the engine, run out of bounds or hang; what it opens is
// then worked on a little, so damaged files also meet the operations, not only the open.
//
// Input of the open target: u16 length of the data file, u16 length of the index file, the
// data file, the index file, and the rest as the journal (cut where the input ends).
// Input of the journal target: the journal alone, beside a sound fileblock of three levels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "TempFolder.h"
#include "storage/Filer.h"

namespace fuzz {

struct InputFiles {
  std::string dat, ix, dia;
};

inline InputFiles SplitOpenInput(const uint8_t* data, size_t size) {
  InputFiles f;
  if (size < 4) return f;
  size_t datLen = data[0] | (data[1] << 8);
  size_t ixLen = data[2] | (data[3] << 8);
  const char* p = reinterpret_cast<const char*>(data) + 4;
  size_t left = size - 4;
  datLen = std::min(datLen, left);
  f.dat.assign(p, datLen);
  p += datLen;
  left -= datLen;
  ixLen = std::min(ixLen, left);
  f.ix.assign(p, ixLen);
  p += ixLen;
  left -= ixLen;
  f.dia.assign(p, left);
  return f;
}

inline std::string JoinOpenInput(const InputFiles& f) {
  std::string out;
  out.push_back(static_cast<char>(f.dat.size() & 0xFF));
  out.push_back(static_cast<char>((f.dat.size() >> 8) & 0xFF));
  out.push_back(static_cast<char>(f.ix.size() & 0xFF));
  out.push_back(static_cast<char>((f.ix.size() >> 8) & 0xFF));
  return out + f.dat + f.ix + f.dia;
}

// A short fixed script over whatever opened: reads, a walk of every index, and one change of
// each kind, so the damaged file meets the code that trusts what the open accepted.
inline void WorkOn(isam::FileBlock* fb) {
  const int32_t length = isam::RecordLength(fb);
  if (length <= 0 || length > 1 << 16) return;
  std::string record(static_cast<size_t>(length), '\0');
  const int32_t high = isam::FileLen(fb) - 1;
  for (int32_t r = 1; r <= high && r <= 8; ++r) isam::GetRec(fb, r, record.data());
  int indexes = 0;
  for (int k = 1; k <= isam::kMaxIndexes; ++k) {
    int32_t rec = 0;
    std::string key;
    isam::ClearKey(fb, k);
    if (isam::IsamError == isam::kErrBadIndexNumber) break;
    indexes = k;
    for (int step = 0; step < 300; ++step) {
      isam::NextKey(fb, k, rec, key);
      if (!isam::IsamSuccess) break;
    }
    key = "m";
    isam::SearchKey(fb, k, rec, key);
    isam::FindKey(fb, k, rec, "konto");
  }
  std::fill(record.begin(), record.end(), 'r');
  record[0] = record[1] = record[2] = record[3] = 0;
  int32_t added = 0;
  isam::AddRec(fb, added, record.data());
  if (!isam::IsamSuccess) return;
  for (int k = 1; k <= indexes; ++k) isam::AddKey(fb, k, added, "fuzz" + std::to_string(k));
  for (int k = 1; k <= indexes; ++k) isam::DeleteKey(fb, k, added, "fuzz" + std::to_string(k));
  isam::PutRec(fb, added, record.data());
  isam::DeleteRec(fb, added);
}

// Opens the files in a folder of their own, works on what opened, and closes it. The engine
// is started afresh around every input, so a fileblock that could not close leaves nothing
// behind for the next one.
inline void OpenAndWork(const InputFiles& f, bool journal = true) {
  const TempFolder dir(FastTempParent());
  dir.Write("f.DAT", f.dat);
  dir.Write("f.IX", f.ix);
  dir.Write("f.DIA", f.dia);
  if (isam::InitIsam(0, 16) == 0) return;
  isam::FileBlock* fb = nullptr;
  isam::OpenFileBlock(fb, dir / "f", journal);
  if (isam::IsamSuccess) {
    WorkOn(fb);
    isam::CloseFileBlock(fb);
  }
  isam::ExitIsam();
}

inline void RunOpenTarget(const uint8_t* data, size_t size) {
  const InputFiles f = SplitOpenInput(data, size);
  OpenAndWork(f, true);
  // Without journal the same files take the other road through the open and the close.
  if (!f.dat.empty() && (f.dat[0] & 1)) OpenAndWork(f, false);
}

// A sound fileblock whose tree has three levels, built once; the journal target replays its
// input against copies of it.
inline const InputFiles& SoundFileBlock() {
  static const InputFiles files = [] {
    InputFiles f;
    const TempFolder dir(FastTempParent());
    if (isam::InitIsam(0, 64) == 0) return f;
    const isam::IndexDescription ix[] = {{4, false}, {12, true}};
    isam::CreateFileBlock(dir / "s", 24, 2, ix);
    isam::FileBlock* fb = nullptr;
    isam::OpenFileBlock(fb, dir / "s", true);
    if (isam::IsamSuccess) {
      std::string record(24, '\0');
      for (int n = 1; n <= 2000; ++n) {
        int32_t rec = 0;
        record.replace(4, 4, std::to_string(1000 + n % 9000));
        isam::AddRec(fb, rec, record.data());
        char key[8];
        std::snprintf(key, sizeof key, "%04d", n);
        isam::AddKey(fb, 1, rec, key);
        isam::AddKey(fb, 2, rec, "grupp" + std::to_string(n % 7));
      }
      for (int n = 1; n <= 2000; n += 3) isam::DeleteRec(fb, n);
      isam::CloseFileBlock(fb);
      f.dat = dir.Read("s.DAT");
      f.ix = dir.Read("s.IX");
    }
    isam::ExitIsam();
    return f;
  }();
  return files;
}

inline void RunJournalTarget(const uint8_t* data, size_t size) {
  InputFiles f = SoundFileBlock();
  f.dia.assign(reinterpret_cast<const char*>(data), size);
  OpenAndWork(f, true);
}

}  // namespace fuzz
