// The reorganisation of a large file next to a plain copy of it.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

// Builds a file of `records` records in folder, then copies and reorganises it in a few
// rounds, and prints both rates of each round and the median ratio.
void ReorgRow(const std::string& folder, int64_t records);

}  // namespace bench
