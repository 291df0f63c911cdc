// The engine's error state, one per process, set by every operation (see Filer.h).
#pragma once

#include <cstdint>

namespace isam {

extern bool IsamSuccess;
extern int32_t IsamError;
extern int32_t IsamDosError;  // errno of the first failing system call of the last operation

// 0 no error, 1 not found, 2 path or access, 3 failed and undone, 4 any other.
int ErrorClassOf(int32_t error);
inline int IsamErrorClass() { return ErrorClassOf(IsamError); }

void ClearError();
void SetError(int32_t error);
// Records a failing system call: its errno is kept only if none was kept before.
void SetOsError(int32_t error, int osError);

// Keeps the error state while code runs whose own result the caller must not see (the
// cleanup after a failure, a read ahead), and puts it back at the end of its scope.
class ErrorKeeper {
 public:
  ErrorKeeper() : success_(IsamSuccess), error_(IsamError), dos_(IsamDosError) {}
  ~ErrorKeeper() {
    IsamSuccess = success_;
    IsamError = error_;
    IsamDosError = dos_;
  }
  ErrorKeeper(const ErrorKeeper&) = delete;
  ErrorKeeper& operator=(const ErrorKeeper&) = delete;

 private:
  bool success_;
  int32_t error_, dos_;
};

}  // namespace isam
