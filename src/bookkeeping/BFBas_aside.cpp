#include "bookkeeping/BFBas_aside.h"

#include "bookkeeping/BFFiler.h"
#include "storage/BTFileIO.h"
#include "storage/Filer_error.h"

namespace bf {

namespace {

std::string Aside(const std::string& file) { return file + "~"; }

}  // namespace

std::vector<std::string> FilesAside::BookkeepingFiles(int n, const std::string& dataDir) {
  std::vector<std::string> files;
  for (const BfFile file : {kKontoFile, kVerFile, kSumsFile}) {
    const std::string name = BfFileName(file, n, dataDir);
    files.push_back(isam::FileBlockFileName(name, isam::FileKind::Data));
    if (LayoutOf(file).keyLength != 0) files.push_back(isam::FileBlockFileName(name, isam::FileKind::Index));
  }
  return files;
}

bool FilesAside::Keep() {
  for (const std::string& f : files_) {
    if (!isam::FileExists(f)) continue;
    made_.push_back(f);  // from here on a copy of f lies aside, whole or not
    if (!isam::CopyFile(f, Aside(f), false)) return false;
    kept_.push_back(f);
  }
  return true;
}

void FilesAside::PutBack() {
  const isam::ErrorKeeper keep;
  for (const std::string& f : kept_)
    if (!isam::RenameFile(Aside(f), f)) isam::CopyFile(Aside(f), f, true);
  kept_.clear();
}

void FilesAside::Drop() {
  const isam::ErrorKeeper keep;
  for (const std::string& f : made_)
    if (isam::FileExists(Aside(f))) isam::DeleteFile(Aside(f));
}

}  // namespace bf
