// The numbered message catalogue: operating-system and run-time error texts in their classic
// numbering, the utility texts this program uses, and the storage engine's error texts.
// One fixed table, looked up by number; every text is Windows-1252 bytes of at most 255
// characters. Two texts (101, 209) and the storage text 10193 keep the DOS letters they were
// written with; EMsg shows them converted.
#pragma once

#include <string>

namespace emsgtxt {

// The text of message number n. Every number from 9500 to 10499 has a text beginning
// "Btree: "; any other number without a text gives "Okänt nummer i msgtextanrop= " and n.
std::string msgtext(int n);

}  // namespace emsgtxt
