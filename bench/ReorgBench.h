// The reorganisation of a large file next to a plain copy of it.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

// Builds a file of `records` records in folder, reorganises it and copies it, and prints
// both rates and their ratio.
void ReorgRow(const std::string& folder, int64_t records);

}  // namespace bench
