// Only the test build of the engine carries the seam.
#ifdef BFN_FILE_SEAM
#include "storage/BTFileIO_seam.h"

#include <cerrno>

namespace isam::seam {
namespace {

Fault g_fault;
bool g_armed = false;
bool g_fired = false;
int64_t g_calls[static_cast<int>(Op::Count_)] = {};
std::function<void(const Event&)> g_observer;

}  // namespace

void Arm(const Fault& fault) {
  Disarm();
  g_fault = fault;
  g_armed = true;
}

void Disarm() {
  g_armed = false;
  g_fired = false;
  for (auto& c : g_calls) c = 0;
}

int64_t Calls(Op op) { return g_calls[static_cast<int>(op)]; }
bool Fired() { return g_fired; }
void Observe(std::function<void(const Event&)> observer) { g_observer = std::move(observer); }

bool Pass(Op op, const std::string& path, int64_t pos, int64_t& len, const void* data) {
  const int64_t n = ++g_calls[static_cast<int>(op)];
  if (g_armed && !g_fired && g_fault.op == op && g_fault.nth == n) {
    g_fired = true;
    if (op == Op::Write && g_fault.shortBy > 0) {
      len = len > g_fault.shortBy ? len - g_fault.shortBy : 0;
    } else {
      errno = g_fault.err;
      return false;
    }
  }
  if (g_observer && op != Op::Read) {
    Event e{op, path, pos, {}};
    if (op == Op::Write) e.data.assign(static_cast<const char*>(data), static_cast<size_t>(len));
    g_observer(e);
  }
  return true;
}

}  // namespace isam::seam
#endif  // BFN_FILE_SEAM
