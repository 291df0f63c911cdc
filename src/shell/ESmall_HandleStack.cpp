#include "shell/ESmall_HandleStack.h"

namespace esmall {

void HandleStack::Push(WindowHandle handle) {
  ++depth_;
  if (depth_ >= 1 && depth_ <= kMaxHandles) handles_[depth_] = handle;
}

void HandleStack::Pop() {
  if (depth_ > 0) --depth_;
}

WindowHandle HandleStack::Top() const {
  return depth_ >= 1 && depth_ <= kMaxHandles ? handles_[depth_] : 0;
}

HandleStack& OwnerWindows() {
  static HandleStack stack;
  return stack;
}

void CursorStack::Push() {
  ++depth_;
  if (depth_ >= 1 && depth_ <= kMaxHandles) saved_[depth_] = screen_.Current();
}

void CursorStack::Pop() {
  if (depth_ <= 0) return;
  if (depth_ <= kMaxHandles) screen_.Set(saved_[depth_]);
  --depth_;
}

}  // namespace esmall
