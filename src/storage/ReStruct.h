// ReStruct: copies the live records of a data file into a new data file without gaps,
// through the caller's conversion function, keeping the old file as the saved copy
// ("SAV") until the new one is complete.
//
// Names: "D;X;S" as for fileblocks, S (default D) naming the saved copy. A run cut off
// after the data file became the saved copy leaves S.SAV and no D.DAT; the next run goes on
// from the saved copy.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace isam {

// Receives every slot of the old file from record 1 on, deleted ones included, and fills
// the new record; true keeps it. It may clear IsamSuccess to stop the work (kErrConvertStopped).
using ConversionFunction = std::function<bool(const unsigned char* oldRecord, unsigned char* newRecord)>;

void ReStruct(const std::string& name, int32_t newLength, int32_t oldLength, const ConversionFunction& convert);

class GatheredKeys;

class FileRemoval;

// ReOrg's form: every record written is also given to `gathered` for its keys, which are
// sorted while the new data file is closed; once it is, the saved copy is removed through
// `removal`, beside whatever the caller does next.
void ReStruct(const std::string& name, int32_t newLength, int32_t oldLength, const ConversionFunction& convert,
              GatheredKeys* gathered, FileRemoval& removal);

// The saved copy's file name of a ReStruct name.
std::string SavedFileName(const std::string& name);

}  // namespace isam
