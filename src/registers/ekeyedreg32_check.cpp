#include "registers/ekeyedreg32_check.h"

#include "registers/eetikettreg32.h"
#include "registers/egiroreg32.h"
#include "storage/BTFileIO.h"
#include "storage/FileCheck.h"

namespace ereg {

std::vector<std::string> CheckRegisterFiles(const std::string& dataDir) {
  // The giro kinds share two files: the bankgiro one and one for the rest.
  const std::string names[] = {EtikettFileName(dataDir), GiroFileName(dataDir, kPlusgiro),
                               GiroFileName(dataDir, kBankgiro)};
  std::vector<std::string> findings;
  for (const std::string& name : names) {
    if (!isam::FileExists(isam::FileBlockFileName(name, isam::FileKind::Data)) &&
        !isam::FileExists(isam::FileBlockFileName(name, isam::FileKind::Index)))
      continue;
    const isam::FileBlockCheck check(name);
    for (const std::string& f : check.findings()) findings.push_back(name + ": " + f);
  }
  return findings;
}

}  // namespace ereg
