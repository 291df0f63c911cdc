// How the register frame and the pick lists read the records of a register: the operations
// of FixtSelect, which each register maps onto the key operations of its own file. The
// values are those the registers have always passed.
#pragma once

namespace ereg {

enum FixtOp : int {
  kFixtFind = 0,      // the record with the given key
  kFixtNext = 2,      // the next record in key order; at end after the last
  kFixtFirst = 4,     // before the first record in key order (nothing is read)
  kFixtAtRecord = 5,  // the record with the given record number
};

}  // namespace ereg
