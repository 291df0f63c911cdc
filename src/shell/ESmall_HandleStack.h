// The owner-window stack and the screen-cursor stack. Dialogs and the print progress window
// push the window that should own the next box or dialog; the top is the current owner.
// Depth counts every push, but only positions 1..33 hold a handle, so a push too deep and
// its pop keep the stack balanced without storing anything.
#pragma once

#include <cstdint>

namespace esmall {

// A window of the window side, as an opaque number (0: none).
using WindowHandle = std::uintptr_t;

constexpr int kMaxHandles = 33;

class HandleStack {
 public:
  void Push(WindowHandle handle);
  void Pop();
  // The handle at the depth, or 0 when the depth is outside 1..33.
  WindowHandle Top() const;
  int Depth() const { return depth_; }

 private:
  WindowHandle handles_[kMaxHandles + 1] = {};  // 1-based
  int depth_ = 0;
};

// The one stack of owner windows of the program.
HandleStack& OwnerWindows();

// The screen cursor as the window side shows it (an id of its own choosing). The default
// one only remembers the id, which is all a program without windows needs.
class ScreenCursor {
 public:
  virtual ~ScreenCursor() = default;
  virtual int Current() const { return cursor_; }
  virtual void Set(int cursor) { cursor_ = cursor; }

 private:
  int cursor_ = 0;
};

// Saves the current screen cursor on push and puts it back on pop.
class CursorStack {
 public:
  explicit CursorStack(ScreenCursor& screen) : screen_(screen) {}
  void Push();
  // Restores the cursor saved at the depth, only while the depth is positive.
  void Pop();
  int Depth() const { return depth_; }

 private:
  ScreenCursor& screen_;
  int saved_[kMaxHandles + 1] = {};
  int depth_ = 0;
};

}  // namespace esmall
