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

}  // namespace isam
