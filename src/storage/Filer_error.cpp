#include "storage/Filer_error.h"

namespace isam {

bool IsamSuccess = true;
int32_t IsamError = 0;
int32_t IsamDosError = 0;

int ErrorClassOf(int32_t error) {
  if (error == kNoError) return 0;
  if (error == kErrFileNotFound || (error >= kErrNotFoundFirst && error <= kErrNotFoundLast) ||
      error == kErrReorgFileNotFound)
    return 1;
  switch (error) {
    case kErrPathNotFound: case kErrRenameFailed:
    // The other path and access numbers of the engine's family, which this one never sets.
    case 10065: case 10110: case 10306: case 10330: case 10332: case 10335: case 10355:
    case 10360: case 10390: case 10397:
      return 2;
    default:
      break;
  }
  if (error >= kErrUndoneFirst && error <= kErrUndoneLast) return 3;
  return 4;
}

void ClearError() {
  IsamSuccess = true;
  IsamError = 0;
  IsamDosError = 0;
}

void SetError(int32_t error) {
  IsamSuccess = false;
  IsamError = error;
}

void SetOsError(int32_t error, int osError) {
  SetError(error);
  if (IsamDosError == 0) IsamDosError = osError;
}

}  // namespace isam
