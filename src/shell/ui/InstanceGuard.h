// The single-instance marker: a lock file named after the program in $XDG_RUNTIME_DIR (else
// the temp folder), held by flock for the life of the guard. The kernel lets the lock go
// when the process ends in any way, so a file left by a crashed run never blocks a start.
#pragma once

#include <string>

namespace shellui {

class InstanceGuard {
 public:
  // Takes the lock for program; Held() tells whether this is the first instance.
  explicit InstanceGuard(const std::string& program);
  ~InstanceGuard();
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  bool Held() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace shellui
