// Work run beside the caller's on a thread of its own, where the system gives one.
#pragma once

#include <system_error>
#include <thread>
#include <utility>

namespace isam {

// A thread running f, or an empty one (not joinable) when the system has no thread to give;
// the caller then does the work itself or goes without it.
template <typename F>
std::thread ThreadIfAny(F&& f) {
  try {
    return std::thread(std::forward<F>(f));
  } catch (const std::system_error&) {
    return std::thread();
  }
}

}  // namespace isam
