// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// A memory file system where there is one, for tests that flush a great deal: a crash of the
// process, as opposed to the machine, loses nothing a flush would have kept.
inline std::string FastTempParent() {
  return std::filesystem::is_directory("/dev/shm") ? "/dev/shm"
                                                    : std::filesystem::temp_directory_path().string();
}

class TempFolder {
 public:
  TempFolder() : TempFolder(std::filesystem::temp_directory_path().string()) {}
  // In `parent`, e.g. a memory file system for tests that flush a great deal.
  explicit TempFolder(const std::string& parent) {
    std::string pattern = (std::filesystem::path(parent) / "bfnolk-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  void MakeFolder(const std::string& name) const { std::filesystem::create_directories(*this / name); }

  std::string Read(const std::string& name) const {
    std::ifstream in(*this / name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(*this / name, std::ios::binary | std::ios::trunc) << bytes;
  }

 private:
  std::string path_;
};
