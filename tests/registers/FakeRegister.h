// A register in memory for the tests of the frames: records by record number, read in the
// order of their keys, with the buffer a read fills as the program's registers have.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "registers/eregform_select.h"

struct FakeRecords {
  std::map<int32_t, std::string> byRecNo;  // record number -> key (and the record's text)
  std::string buffer;                      // the record read last
  int32_t bufferRecNo = 0;
  std::map<std::string, int32_t>::const_iterator cursor;
  std::map<std::string, int32_t> keys;     // key -> record number: what the index holds

  void Add(int32_t recNo, const std::string& key) {
    byRecNo[recNo] = key;
    keys[key] = recNo;
  }
  void Read(int32_t recNo, bool& found) {
    const auto r = byRecNo.find(recNo);
    found = r != byRecNo.end();
    if (found) {
      buffer = r->second;
      bufferRecNo = recNo;
    }
  }
  void Select(ereg::FixtOp op, const std::string& key, int32_t& recNo, bool& found, bool& atEnd) {
    found = false;
    atEnd = false;
    switch (op) {
      case ereg::kFixtFirst: cursor = keys.begin(); recNo = 0; return;
      case ereg::kFixtNext:
        if (cursor == keys.end()) {
          atEnd = true;
          return;
        }
        recNo = cursor->second;
        ++cursor;
        Read(recNo, found);
        return;
      case ereg::kFixtAtRecord: Read(recNo, found); return;
      case ereg::kFixtFind: {
        const auto k = keys.find(key);
        if (k == keys.end()) return;
        recNo = k->second;
        Read(recNo, found);
        return;
      }
    }
  }
};
