// Copies of a bookkeeping's files kept aside while an operation rewrites them, so that a
// failure half-way puts every file back as it was (the rebuild and the year-end reset are
// all or nothing). The copies are named after their file with "~" appended and are removed
// when the operation has gone through.
#pragma once

#include <string>
#include <vector>

namespace bf {

class FilesAside {
 public:
  // files: engine names of the files the operation will rewrite.
  explicit FilesAside(std::vector<std::string> files) : files_(std::move(files)) {}
  ~FilesAside() { Drop(); }
  FilesAside(const FilesAside&) = delete;
  FilesAside& operator=(const FilesAside&) = delete;

  // Copies every file that exists; false (with the engine's error) when one cannot be copied.
  bool Keep();
  // Every file whose copy is whole back as it was kept; the copies are used up. A copy cut
  // short never replaces its file.
  void PutBack();

  // The files of bookkeeping n that hold its records: the data and index files of the
  // account, verification and sums files.
  static std::vector<std::string> BookkeepingFiles(int n, const std::string& dataDir);

 private:
  // Removes the copies this keeper made, and none it did not.
  void Drop();
  std::vector<std::string> files_;
  std::vector<std::string> made_;  // files with a copy of this keeper aside, whole or not
  std::vector<std::string> kept_;  // files with a whole copy aside
};

}  // namespace bf
